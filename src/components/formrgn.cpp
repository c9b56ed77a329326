#include "formrgn.h"

#include "components/kitdrawing.h"
#include "components/kiterrors.h"
#include "components/kitutils.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

#include <QApplication>
#include <QBitmap>
#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>

namespace {

// A mouse press on the caption area, as the window's non-client area would
// get it. The region components of the form see it in their hook order; when
// none consumes it, the window's own caption behaviour (dragging) follows.
class NcMouseEvent : public QEvent {
public:
    static QEvent::Type eventType()
    {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }
    // Accepted by the component that consumes it.
    NcMouseEvent(QEvent::Type mouseType, Qt::MouseButton button, const QPoint& globalPos)
        : QEvent(eventType())
        , mouseType(mouseType)
        , button(button)
        , globalPos(globalPos)
    {
        ignore();
    }
    QEvent::Type mouseType; // MouseButtonPress or MouseButtonDblClick
    Qt::MouseButton button;
    QPoint globalPos;
};

template <typename T> T* formComponent(const QWidget* form)
{
    for (QObject* child : form->children()) {
        if (auto* component = qobject_cast<T*>(child))
            return component;
    }
    return nullptr;
}

// The combined hit test of the form's region components: the visible
// system-menu picture keeps its clicks, ClientDrag makes the bare client area
// caption, and so does the caption region.
bool isCaptionPoint(const QWidget* form, const QPoint& clientPos)
{
    const auto* caption = formComponent<TCaptionRegion>(form);
    if (caption && caption->Hooked() && caption->SysMenuPicture().Visible() && caption->InPicture(clientPos))
        return false;
    const auto* shape = formComponent<TFormRegion>(form);
    if (shape && shape->Hooked() && shape->ClientDrag())
        return true;
    return caption && caption->IsCaptionPoint(clientPos);
}

// The owner must be a form, and of some classes a form holds only one.
QWidget* checkedOwner(QWidget* owner, const QMetaObject& type, bool onlyOne)
{
    const QString name = QString::fromLatin1(type.className());
    if (onlyOne && owner) {
        for (QObject* child : owner->children()) {
            if (type.cast(child))
                throw EDuplicateComponent(QStringLiteral("Only one %1 component on a form is allowed").arg(name));
        }
    }
    if (!owner || !owner->isWindow())
        throw EOwnerMustBeForm(QStringLiteral("The owner of %1 component must be the TForm descendant").arg(name));
    return owner;
}

QAction* shortcutAction(const QMenu* menu, const QKeySequence& key)
{
    for (QAction* action : menu->actions()) {
        if (const QMenu* sub = action->menu()) {
            if (QAction* found = shortcutAction(sub, key))
                return found;
            continue;
        }
        for (const QKeySequence& shortcut : action->shortcuts()) {
            if (shortcut.matches(key) == QKeySequence::ExactMatch)
                return action;
        }
    }
    return nullptr;
}

int smallIconSize()
{
    return QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
}

} // namespace

RegionMetrics FormMetrics(const QWidget* form)
{
    // A window's geometry is its client area on the screen.
    const QRect frame = form->frameGeometry();
    const QPoint origin = form->geometry().topLeft();
    RegionMetrics m;
    m.X = origin.x() - frame.x();
    m.C = origin.y() - frame.y();
    m.R = m.X + form->width();
    m.B = m.C + form->height();
    m.W = frame.width();
    m.H = frame.height();
    // The window manager draws the caption: its height is the frame's top
    // above the side border, or the style's estimate where there is no frame.
    int captionHeight = m.C - m.X;
    if (captionHeight <= 0)
        captionHeight = form->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, form);
    m.Y = m.C - captionHeight;
    return m;
}

// --- TRegionComp ---

TRegionComp::TRegionComp(QWidget* owner, const QMetaObject& type)
    : QObject(checkedOwner(owner, type, true))
    , m_owner(owner)
{
    // A form deletes its components after it has said it is going; they
    // must not touch it then.
    connect(owner, &QObject::destroyed, this, [this] { m_ownerDying = true; });
    HookOwnerWindow();
}

TRegionComp::~TRegionComp()
{
    UnhookOwnerWindow();
}

QRegion TRegionComp::ClientRegion() const
{
    if (!m_regionHandle)
        return QRegion();
    const RegionMetrics m = FormMetrics(m_owner);
    return m_regionHandle->translated(-m.X, -m.C);
}

void TRegionComp::SetRegion(const QString& script)
{
    m_region = script;
    if (m_loading)
        return;
    if (TranslateRegion())
        ApplyRegion();
}

void TRegionComp::Loaded()
{
    m_loading = false;
    SetRegion(m_region);
}

bool TRegionComp::TranslateRegion()
{
    m_regionHandle.reset();
    if (m_region != m_reportedScript) {
        m_reportedScript = m_region;
        m_reportedNames.clear();
    }
    RegionScriptContext context;
    context.metrics = FormMetrics(m_owner);
    if (context.metrics.W > 0 && context.metrics.H > 0)
        context.bounds = QRect(0, 0, context.metrics.W, context.metrics.H);
    context.findExternal = [this](const QString& name) -> std::optional<ExternalShape> {
        for (QObject* child : m_owner->children()) {
            auto* external = qobject_cast<TExternalRegion*>(child);
            if (external && external->objectName().compare(name, Qt::CaseInsensitive) == 0) {
                ExternalShape shape;
                shape.region = external->GetRegionCopy();
                external->GetRegionSize(shape.width, shape.height);
                return shape;
            }
        }
        return std::nullopt;
    };
    context.externalNotFound = [this](const QString& name) {
        if (m_reportedNames.contains(name))
            return;
        m_reportedNames.append(name);
        Dialogs::showMessage(QStringLiteral("External region ") + name + QStringLiteral(" not found"));
    };
    m_regionHandle = TranslateRegionScript(m_region, context);
    return true;
}

void TRegionComp::AttachToOwner()
{
    HookOwnerWindow();
    SetRegion(m_region);
}

void TRegionComp::DetachFromOwner()
{
    UnhookOwnerWindow();
}

void TRegionComp::HookOwnerWindow()
{
    if (m_hooked || !OwnerAlive())
        return;
    m_owner->installEventFilter(this);
    m_hooked = true;
}

void TRegionComp::UnhookOwnerWindow()
{
    if (!m_hooked)
        return;
    m_owner->removeEventFilter(this);
    m_hooked = false;
    m_dragging = false;
}

bool TRegionComp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_owner || !m_hooked || m_ownerDying)
        return false;
    try {
        return OwnerWndProc(event);
    } catch (const std::exception& e) {
        ShowException(e);
    }
    return false;
}

bool TRegionComp::OwnerWndProc(QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        QString text = m_region;
        if (m_onSizeChanged)
            m_onSizeChanged(this, text);
        SetRegion(text);
        return false;
    }
    if (event->type() == WM_REGIONCHANGED) {
        const auto* message = static_cast<RegionMessage*>(event);
        if (RegionScriptNames(m_region, message->region()->objectName()))
            SetRegion(m_region);
        return false;
    }
    if (event->type() == WM_REGIONRENAMED) {
        const auto* message = static_cast<RegionMessage*>(event);
        if (!message->previousName().isEmpty() && RegionScriptNames(m_region, message->previousName()))
            SetRegion(RenameInRegionScript(m_region, message->previousName(), message->region()->objectName()));
        return false;
    }
    return ownerMouse(event);
}

// Presses on the caption area become caption presses; one that no component
// consumes drags the window: through the window manager where there is one,
// by hand otherwise.
bool TRegionComp::ownerMouse(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!isCaptionPoint(m_owner, mouse->position().toPoint()))
            return false;
        NcMouseEvent caption(event->type(), mouse->button(), mouse->globalPosition().toPoint());
        QCoreApplication::sendEvent(m_owner, &caption);
        if (caption.isAccepted() || m_ownerDying || mouse->button() != Qt::LeftButton)
            return true;
        QWindow* window = m_owner->windowHandle();
        if (!window || !window->startSystemMove()) {
            m_dragging = true;
            m_dragOffset = mouse->globalPosition().toPoint() - m_owner->pos();
        }
        return true;
    }
    case QEvent::MouseMove:
        if (!m_dragging)
            return false;
        m_owner->move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - m_dragOffset);
        return true;
    case QEvent::MouseButtonRelease:
        if (!m_dragging)
            return false;
        m_dragging = false;
        return true;
    case QEvent::ContextMenu: {
        // A right press on the caption area was a caption press already.
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        return menu->reason() == QContextMenuEvent::Mouse && isCaptionPoint(m_owner, menu->pos());
    }
    default:
        return false;
    }
}

// --- TFormRegion ---

TFormRegion::TFormRegion(QWidget* owner)
    : TRegionComp(owner, staticMetaObject)
{
}

void TFormRegion::ApplyRegion()
{
    if (!OwnerAlive())
        return;
    if (RegionHandle()) {
        // Qt takes an empty mask for none; an empty shape hides the whole
        // window, as an empty window region does.
        const QRegion mask = ClientRegion();
        Owner()->setMask(mask.isEmpty() ? QRegion(-1, -1, 1, 1) : mask);
    } else if (m_drawOnDesigning) {
        Owner()->update();
    }
}

// --- TSysMenuPicture ---

TSysMenuPicture::TSysMenuPicture(TCaptionRegion* owner)
    : m_owner(owner)
{
    if (!owner)
        throw EOwnerNotAssigned(QStringLiteral("TSysMenuPicture must have a owner"));
}

void TSysMenuPicture::changed(bool repaint) const
{
    if (repaint)
        m_owner->InvalidateOwner();
}

void TSysMenuPicture::SetGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    changed(m_visible);
}

void TSysMenuPicture::SetLeft(int value)
{
    if (value == m_left)
        return;
    m_left = value;
    changed(m_visible);
}

void TSysMenuPicture::SetTop(int value)
{
    if (value == m_top)
        return;
    m_top = value;
    changed(m_visible);
}

void TSysMenuPicture::SetTransparent(bool on)
{
    if (on == m_transparent)
        return;
    m_transparent = on;
    changed(m_visible);
}

void TSysMenuPicture::SetVisible(bool on)
{
    if (on == m_visible)
        return;
    m_visible = on;
    // Hiding repaints too, or the picture would stay drawn.
    changed(true);
}

void TSysMenuPicture::SetWidth(int value)
{
    if (value == m_width)
        return;
    m_width = value;
    changed(m_visible && m_glyph.isNull());
}

void TSysMenuPicture::SetHeight(int value)
{
    if (value == m_height)
        return;
    m_height = value;
    changed(m_visible && m_glyph.isNull());
}

int TSysMenuPicture::PictureWidth() const
{
    if (!m_glyph.isNull())
        return m_glyph.width();
    return m_width > 0 ? m_width : smallIconSize();
}

int TSysMenuPicture::PictureHeight() const
{
    if (!m_glyph.isNull())
        return m_glyph.height();
    return m_height > 0 ? m_height : smallIconSize();
}

QRect TSysMenuPicture::PictureRect() const
{
    return QRect(m_left, m_top, PictureWidth(), PictureHeight());
}

void TSysMenuPicture::Assign(const TSysMenuPicture& source)
{
    m_glyph = source.m_glyph;
    m_left = source.m_left;
    m_top = source.m_top;
    m_transparent = source.m_transparent;
    m_visible = source.m_visible;
    m_height = source.m_height;
    m_width = source.m_width;
}

void TSysMenuPicture::Paint(QPainter& painter) const
{
    if (!m_visible)
        return;
    if (m_glyph.isNull()) {
        QApplication::windowIcon().paint(&painter, PictureRect());
        return;
    }
    DrawTransparentBitmap(painter, m_left, m_top, m_glyph, m_transparent ? clDefault : clNone);
}

// --- TCaptionLabel, TCaptionLabels ---

TCaptionLabel::TCaptionLabel(TCaptionLabels* collection)
    : m_collection(collection)
    , m_font(QGuiApplication::font())
{
}

template <typename T> void TCaptionLabel::set(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    m_collection->Changed();
}

void TCaptionLabel::SetActiveColor(TColor color)
{
    set(m_activeColor, color);
}

void TCaptionLabel::SetInactiveColor(TColor color)
{
    set(m_inactiveColor, color);
}

void TCaptionLabel::SetText(const QString& text)
{
    set(m_text, text);
}

void TCaptionLabel::SetFont(const QFont& font)
{
    set(m_font, font);
}

void TCaptionLabel::SetLeft(int value)
{
    set(m_left, value);
}

void TCaptionLabel::SetTop(int value)
{
    set(m_top, value);
}

void TCaptionLabel::SetAngle(int value)
{
    set(m_angle, value);
}

void TCaptionLabel::SetVisible(bool on)
{
    set(m_visible, on);
}

QString TCaptionLabel::GetDisplayName() const
{
    return m_text.isEmpty() ? QStringLiteral("TCaptionLabel") : m_text;
}

void TCaptionLabel::Assign(const TCaptionLabel& source)
{
    m_activeColor = source.m_activeColor;
    m_inactiveColor = source.m_inactiveColor;
    m_text = source.m_text;
    m_font = source.m_font;
    m_left = source.m_left;
    m_top = source.m_top;
    m_angle = source.m_angle;
    m_visible = source.m_visible;
    m_collection->Changed();
}

void TCaptionLabel::Paint(QPainter& painter, int stateIndex) const
{
    painter.save();
    painter.setFont(m_font);
    painter.setPen(ColorToQColor(stateIndex == 1 ? m_activeColor : m_inactiveColor));
    painter.translate(m_left, m_top);
    painter.rotate(-m_angle / 10.0);
    // Text is placed by the top-left corner of its cell, not its baseline.
    painter.drawText(QPoint(0, painter.fontMetrics().ascent()), m_text);
    painter.restore();
}

TCaptionLabels::TCaptionLabels(TCaptionRegion* owner)
    : m_owner(owner)
{
}

TCaptionLabel* TCaptionLabels::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(index);
    return m_items[size_t(index)].get();
}

TCaptionLabel* TCaptionLabels::Add()
{
    m_items.push_back(std::make_unique<TCaptionLabel>(this));
    Changed();
    return m_items.back().get();
}

void TCaptionLabels::Delete(int index)
{
    Items(index);
    m_items.erase(m_items.begin() + index);
    Changed();
}

void TCaptionLabels::Clear()
{
    m_items.clear();
    Changed();
}

void TCaptionLabels::Assign(const TCaptionLabels& source)
{
    if (&source == this)
        return;
    m_items.clear();
    for (const auto& label : source.m_items) {
        m_items.push_back(std::make_unique<TCaptionLabel>(this));
        m_items.back()->Assign(*label);
    }
    Changed();
}

void TCaptionLabels::Changed() const
{
    m_owner->InvalidateOwner();
}

// --- TCaptionRegion ---

TCaptionRegion::TCaptionRegion(QWidget* owner)
    : TRegionComp(owner, staticMetaObject)
    , m_sysMenuPicture(std::make_unique<TSysMenuPicture>(this))
    , m_labels(std::make_unique<TCaptionLabels>(this))
{
}

TCaptionRegion::~TCaptionRegion()
{
    UnhookOwnerWindow();
    // The caption area goes with the component.
    InvalidateOwner();
}

int TCaptionRegion::StateIndex() const
{
    return Owner()->isActiveWindow() ? 1 : 0;
}

void TCaptionRegion::SetStateColor(int index, TColor color)
{
    if (index < 0 || index > 1 || m_colors[index] == color)
        return;
    m_colors[index] = color;
    InvalidateOwner();
}

void TCaptionRegion::SetSysMenuPicture(const TSysMenuPicture& picture)
{
    m_sysMenuPicture->Assign(picture);
    InvalidateOwner();
}

void TCaptionRegion::SetLabels(const TCaptionLabels& labels)
{
    m_labels->Assign(labels);
    InvalidateOwner();
}

bool TCaptionRegion::InPicture(const QPoint& clientPos) const
{
    return m_sysMenuPicture->PictureRect().contains(clientPos);
}

bool TCaptionRegion::IsCaptionPoint(const QPoint& clientPos) const
{
    if (!Hooked() || !RegionHandle())
        return false;
    if (m_sysMenuPicture->Visible() && InPicture(clientPos))
        return false;
    return ClientRegion().contains(clientPos);
}

void TCaptionRegion::InvalidateOwner() const
{
    if (OwnerAlive())
        Owner()->update();
}

void TCaptionRegion::ApplyRegion()
{
    InvalidateOwner();
}

void TCaptionRegion::popupUnderPicture()
{
    const QRect picture = m_sysMenuPicture->PictureRect();
    m_popupMenu->popup(Owner()->mapToGlobal(QPoint(picture.left(), picture.top() + picture.height())));
}

// A key on the form: a shortcut of the popup menu runs its item, Alt+Space
// opens the menu under the picture, any other key goes on.
bool TCaptionRegion::menuKey(QEvent* event)
{
    if (!m_popupMenu)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence sequence(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
    if (QAction* action = shortcutAction(m_popupMenu, sequence)) {
        if (action->isEnabled())
            action->trigger();
        return true;
    }
    if (key->key() == Qt::Key_Space && key->modifiers() == Qt::AltModifier && m_sysMenuPicture->Visible()) {
        popupUnderPicture();
        return true;
    }
    return false;
}

bool TCaptionRegion::OwnerWndProc(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == NcMouseEvent::eventType()) {
        const auto* caption = static_cast<NcMouseEvent*>(event);
        const Qt::WindowFlags flags = Owner()->windowFlags();
        if (caption->mouseType == QEvent::MouseButtonDblClick && caption->button == Qt::LeftButton
            && flags.testFlag(Qt::FramelessWindowHint) && flags.testFlag(Qt::WindowMaximizeButtonHint)) {
            if (Owner()->isMaximized())
                Owner()->showNormal();
            else
                Owner()->showMaximized();
            event->accept();
            return true;
        }
        if (caption->mouseType == QEvent::MouseButtonPress && caption->button == Qt::RightButton && m_popupMenu) {
            m_popupMenu->popup(caption->globalPos);
            event->accept();
            return true;
        }
        return false;
    }
    switch (type) {
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (RegionHandle())
            InvalidateOwner();
        break;
    case QEvent::Paint:
        // Ahead of the form's own painting, which lands on top of the fill.
        if (RegionHandle() && StateColor() != clNone)
            paintCaption();
        break;
    case QEvent::KeyPress:
        if (menuKey(event))
            return true;
        break;
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_popupMenu && m_sysMenuPicture->Visible()
            && InPicture(mouse->position().toPoint())) {
            const qint64 now = Clock::now().toMSecsSinceEpoch();
            const qint64 since = now - m_lastPictureClick;
            // The second press of a double click does not open the menu again.
            if (since < 0 || since > QGuiApplication::styleHints()->mouseDoubleClickInterval())
                popupUnderPicture();
            m_lastPictureClick = now;
            return true;
        }
        break;
    }
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_popupMenu && m_sysMenuPicture->Visible()
            && InPicture(mouse->position().toPoint())) {
            if (QAction* action = m_popupMenu->defaultAction(); action && action->isEnabled())
                action->trigger();
        }
        break;
    }
    default:
        break;
    }
    return TRegionComp::OwnerWndProc(event);
}

void TCaptionRegion::paintCaption()
{
    QPainter painter(Owner());
    const QRegion area = ClientRegion();
    painter.setClipRegion(area);
    painter.fillRect(area.boundingRect(), ColorToQColor(StateColor()));
    painter.setClipping(false);
    m_sysMenuPicture->Paint(painter);
    const int state = StateIndex();
    for (int i = 0; i < m_labels->Count(); ++i) {
        if (m_labels->Items(i)->Visible())
            m_labels->Items(i)->Paint(painter, state);
    }
}

// --- TExternalRegion ---

TExternalRegion::TExternalRegion(QWidget* owner, const QMetaObject& type)
    : QObject(checkedOwner(owner, type, false))
{
    connect(this, &QObject::objectNameChanged, this, &TExternalRegion::nameChanged);
}

TExternalRegion::~TExternalRegion() = default;

std::optional<QRegion> TExternalRegion::GetRegionCopy()
{
    if (m_cachedRegion)
        return m_cachedRegion;
    if (!m_ownRegion)
        return CreateRegion();
    m_cachedRegion = CreateRegion();
    return m_cachedRegion;
}

void TExternalRegion::GetRegionSize(int& width, int& height) const
{
    width = -1;
    height = -1;
}

void TExternalRegion::RegionChanged()
{
    m_cachedRegion.reset();
    if (QObject* form = parent()) {
        RegionMessage message(WM_REGIONCHANGED, this);
        QCoreApplication::sendEvent(form, &message);
    }
}

void TExternalRegion::nameChanged()
{
    const QString previous = m_name;
    m_name = objectName();
    if (QObject* form = parent()) {
        RegionMessage message(WM_REGIONRENAMED, this, previous);
        QCoreApplication::sendEvent(form, &message);
    }
}
