#include "kitstatusbar.h"

#include "components/kitdrawing.h"
#include "components/kiterrors.h"
#include "components/kitkb.h"
#include "components/kitutils.h"
#include "components/maxmin.h"
#include "platform/application.h"
#include "platform/datetime.h"
#include "platform/lockkeys.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QSizeGrip>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolTip>

#include <iterator>

namespace {

[[maybe_unused]] const char* const UnitName = "KitStatusBar"; // only the checks of debug builds name it

// Placement of the panels: the bevel rectangles start this far below the
// bar's top edge and lie this far apart.
constexpr int PanelTop = 2;
constexpr int PanelSpacing = 2;
constexpr int GripSize = 16;

constexpr int DateInterval = 60000;
constexpr int TimeInterval = 1000;
constexpr int GaugeInterval = 50;

const QString Ellipsis = QStringLiteral("...");

QString LockText(TKitStatusPanelType type)
{
    switch (type) {
    case sptCapsLock:
        return QStringLiteral(" CAPS ");
    case sptNumLock:
        return QStringLiteral(" NUM ");
    case sptScrollLock:
        return QStringLiteral(" SCROLL ");
    default:
        return {};
    }
}

int RightOf(const QRect& r)
{
    return r.x() + r.width();
}

int AlignmentFlag(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    case taLeftJustify:
        break;
    }
    return Qt::AlignLeft;
}

constexpr int LineFlags = Qt::AlignVCenter | Qt::TextSingleLine;

// Sees every key event of the program for the lock-key panels of all bars.
// The redraws are queued: the key's new state can be read only after the
// press has been handled, and an event passed on from a widget to its parents
// comes by more than once.
class LockKeyHook : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Schedule(quint32 mask);
    void Flush();

    static constexpr quint32 AllPanels = 0x80000000u;
    quint32 m_pending = 0;
};

// The unit's state shared by all bars.
struct UnitState {
    QList<TKitStatusPanel*> lockPanels;
    QPointer<LockKeyHook> hook;
    bool refreshAll = false;
    int timerRegistrations = 0;
    // Bars with panels in monitor mode; the last one to leave unloads the
    // library.
    int monitorUsers = 0;
    LockKeyStateReader reader;

    ~UnitState()
    {
        Q_ASSERT_X(lockPanels.isEmpty(), UnitName, "TKitStatusBar: Keyboard hook still installed");
        Q_ASSERT_X(timerRegistrations == 0, UnitName, "TKitStatusBar: Unbalanced timer registrations");
    }
};

UnitState& Unit()
{
    static UnitState state;
    return state;
}

quint32 TypeBit(TKitStatusPanelType type)
{
    return 1u << type;
}

bool LockKeyHook::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    UnitState& unit = Unit();
    if (unit.refreshAll) {
        unit.refreshAll = false;
        Schedule(AllPanels);
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() != QEvent::KeyPress || key->isAutoRepeat())
        return false;
    switch (key->key()) {
    case Qt::Key_CapsLock:
        Schedule(TypeBit(sptCapsLock));
        break;
    case Qt::Key_NumLock:
        Schedule(TypeBit(sptNumLock));
        break;
    case Qt::Key_ScrollLock:
        Schedule(TypeBit(sptScrollLock));
        break;
    default:
        break;
    }
    return false;
}

void LockKeyHook::Schedule(quint32 mask)
{
    if (m_pending == 0)
        QMetaObject::invokeMethod(this, &LockKeyHook::Flush, Qt::QueuedConnection);
    m_pending |= mask;
}

void LockKeyHook::Flush()
{
    const quint32 mask = m_pending;
    m_pending = 0;
    const QList<TKitStatusPanel*> panels = Unit().lockPanels;
    for (TKitStatusPanel* panel : panels) {
        // A redraw's handler may have freed panels further on.
        if (!Unit().lockPanels.contains(panel))
            continue;
        if ((mask & AllPanels) || (mask & TypeBit(panel->PanelType())))
            panel->Redraw();
    }
}

void HookLockPanel(TKitStatusPanel* panel)
{
    UnitState& unit = Unit();
    if (!unit.hook && QCoreApplication::instance()) {
        unit.hook = new LockKeyHook(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(unit.hook);
    }
    if (!unit.lockPanels.contains(panel))
        unit.lockPanels.append(panel);
}

void UnhookLockPanel(TKitStatusPanel* panel)
{
    UnitState& unit = Unit();
    unit.lockPanels.removeAll(panel);
    if (unit.lockPanels.isEmpty() && unit.hook) {
        QCoreApplication::instance()->removeEventFilter(unit.hook);
        // Not deleted at once: the last panel may leave inside the hook's
        // own queued redraw.
        unit.hook->deleteLater();
        unit.hook = nullptr;
    }
}

// The bar's size grip: the style's own on the standard face colour; on any
// other colour the classic grip lines over the bar's colour.
class KitSizeGrip : public QSizeGrip {
public:
    explicit KitSizeGrip(TKitStatusBar* bar)
        : QSizeGrip(bar)
        , m_bar(bar)
    {
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (m_bar->Color() == clBtnFace) {
            QSizeGrip::paintEvent(event);
            return;
        }
        QPainter p(this);
        const int right = width() - 1;
        const int bottom = height() - 1;
        p.fillRect(QRect(0, 0, right, bottom), ColorToQColor(m_bar->Color()));
        p.setPen(ColorToQColor(clBtnHighlight));
        for (const int n : { 2, 13, 9, 5, 1 })
            p.drawLine(right - n, bottom, right, bottom - n);
        p.setPen(ColorToQColor(clBtnShadow));
        for (const int n : { 11, 7, 3 })
            p.drawLine(right - n, bottom, right, bottom - n);
        p.drawLine(0, 0, right, 0);
    }

private:
    TKitStatusBar* m_bar;
};

// Restores the painter's state however the painting ends.
class PainterState {
public:
    explicit PainterState(QPainter& p)
        : m_p(p)
    {
        m_p.save();
    }
    ~PainterState() { m_p.restore(); }
    PainterState(const PainterState&) = delete;
    PainterState& operator=(const PainterState&) = delete;

private:
    QPainter& m_p;
};

} // namespace

void SetLockKeyStateReader(LockKeyStateReader reader)
{
    Unit().reader = std::move(reader);
}

bool LockKeyToggled(int virtualKey)
{
    if (const LockKeyStateReader& reader = Unit().reader)
        return reader(virtualKey);
    switch (virtualKey) {
    case VK_CAPITAL:
        return LockKeys::isOn(LockKeys::Key::CapsLock);
    case VK_NUMLOCK:
        return LockKeys::isOn(LockKeys::Key::NumLock);
    case VK_SCROLL:
        return LockKeys::isOn(LockKeys::Key::ScrollLock);
    }
    return false;
}

QString PanelTypeName(TKitStatusPanelType type)
{
    static const char* const names[]
        = { "sptNormal", "sptCapsLock", "sptNumLock", "sptScrollLock", "sptDate", "sptTime", "sptDateTime",
              "sptTimeDate", "sptEllipsisText", "sptEllipsisPath", "sptGlyph", "sptGauge", "sptOwnerDraw" };
    return type < std::size(names) ? QString::fromLatin1(names[type]) : QString();
}

QString PathEllipsisText(const QString& text, const QFontMetrics& metrics, int maxWidth)
{
    if (metrics.horizontalAdvance(text) <= maxWidth)
        return text;
    const qsizetype sep = qMax(text.lastIndexOf(u'\\'), text.lastIndexOf(u'/'));
    if (sep < 0)
        return FitTextWithEllipsis(text, metrics, maxWidth);
    const QString tail = Ellipsis + text.mid(sep);
    if (metrics.horizontalAdvance(tail) > maxWidth)
        return FitTextWithEllipsis(tail, metrics, maxWidth);
    // The longest start of the folder part that still fits before the tail.
    qsizetype lo = 0;
    qsizetype hi = sep;
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (metrics.horizontalAdvance(text.left(mid) + tail) <= maxWidth)
            lo = mid;
        else
            hi = mid - 1;
    }
    return text.left(lo) + tail;
}

// ---------------------------------------------------------------- gauge attrs

TKitGaugeAttrs::TKitGaugeAttrs(TKitStatusPanel* owner)
    : m_owner(owner)
{
}

void TKitGaugeAttrs::Assign(const TKitGaugeAttrs& source)
{
    SetPosition(source.Position());
    SetStyle(source.Style());
}

void TKitGaugeAttrs::SetStyle(TKitGaugeStyle style)
{
    if (style == m_style)
        return;
    const bool gauge = m_owner->PanelType() == sptGauge;
    if (gauge)
        m_owner->LeaveService();
    m_style = style;
    if (gauge) {
        m_owner->Redraw();
        if (m_owner->Enabled())
            m_owner->JoinService();
    }
}

void TKitGaugeAttrs::SetPosition(int percent)
{
    percent = qBound(0, percent, 100);
    if (percent == m_position)
        return;
    m_position = percent;
    m_owner->Redraw();
}

void TKitGaugeAttrs::SetSpeed(int speed)
{
    // The direction lies in the sign of the step, so the amount must be one
    // pixel at least for the animation to move.
    m_speed = IntMax(speed, 1);
    m_owner->m_gaugeStep = m_owner->m_gaugeStep < 0 ? -m_speed : m_speed;
}

void TKitGaugeAttrs::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    m_owner->m_gaugeBitmap = QPixmap();
    m_owner->Redraw();
}

void TKitGaugeAttrs::SetTextColor(TColor color)
{
    if (color == m_textColor)
        return;
    m_textColor = color;
    m_owner->Redraw();
}

// ---------------------------------------------------------------- panel

TKitStatusPanel::TKitStatusPanel(QObject* collection)
    : m_gaugeAttrs(this)
{
    auto* panels = qobject_cast<TKitStatusPanels*>(collection);
    if (!panels)
        throw EKitStatusPanelOwner(QStringLiteral("TKitStatusPanel owner must be TKitStatusPanesls"));
    setParent(panels);
    m_collection = panels;
    panels->Added(this);
}

TKitStatusPanel::~TKitStatusPanel()
{
    LeaveService();
    m_collection->Removed(this);
}

TKitStatusBar* TKitStatusPanel::StatusBar() const
{
    return m_collection->m_bar;
}

int TKitStatusPanel::Index() const
{
    return int(m_collection->m_items.indexOf(this));
}

void TKitStatusPanel::SetIndex(int index)
{
    if (index != Index())
        m_collection->Move(this, index);
}

void TKitStatusPanel::Assign(const TKitStatusPanel& source)
{
    m_gaugeAttrs.Assign(source.m_gaugeAttrs);
    SetAlignment(source.Alignment());
    SetBevel(source.Bevel());
    SetGlyph(source.Glyph());
    SetText(source.Text());
    SetDateFormat(source.DateFormat());
    SetTimeFormat(source.TimeFormat());
    SetEnabled(source.Enabled());
    SetWidth(source.Width());
    SetAutoFit(source.AutoFit());
    SetHint(source.Hint());
    OnDrawPanel = source.OnDrawPanel;
    OnHintText = source.OnHintText;
    SetPanelType(source.PanelType());
}

QString TKitStatusPanel::DisplayName() const
{
    QString name;
    switch (m_panelType) {
    case sptNormal:
    case sptEllipsisText:
    case sptEllipsisPath:
        name = m_text;
        break;
    default:
        name = PanelTypeName(m_panelType);
        break;
    }
    return name.isEmpty() ? QStringLiteral("TKitStatusPanel") : name;
}

void TKitStatusPanel::SetAlignment(TAlignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    Redraw();
}

void TKitStatusPanel::SetBevel(TStatusPanelBevel bevel)
{
    if (bevel == m_bevel)
        return;
    m_bevel = bevel;
    StatusBar()->LayoutChanged();
}

void TKitStatusPanel::SetBorderWidth(int width)
{
    width = IntMax(width, 0);
    if (width == m_borderWidth)
        return;
    m_borderWidth = width;
    AutoFitWidth();
}

void TKitStatusPanel::SetPanelType(TKitStatusPanelType type)
{
    if (type == m_panelType)
        return;
    LeaveService();
    m_panelType = type;
    const bool enabled = Enabled();
    switch (type) {
    case sptCapsLock:
    case sptNumLock:
    case sptScrollLock:
        SetText(LockText(type));
        SetAutoFit(true);
        if (enabled)
            JoinService();
        break;
    case sptDate:
    case sptTime:
    case sptDateTime:
    case sptTimeDate:
        SetAutoFit(false);
        if (enabled)
            JoinService();
        UpdateDateTimeText();
        break;
    case sptEllipsisText:
    case sptEllipsisPath:
        SetAutoFit(false);
        if (Hint().isEmpty())
            m_hint = Ellipsis;
        break;
    case sptGlyph:
        SetAutoFit(true);
        break;
    case sptGauge:
        SetAutoFit(false);
        SetAlignment(taCenter);
        if (m_gaugeAttrs.Indeterminate()) {
            SetEnabled(false);
            RestartGauge();
        }
        break;
    case sptNormal:
    case sptOwnerDraw:
        SetAutoFit(false);
        break;
    }
    Redraw();
}

void TKitStatusPanel::SetGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    GlyphChanged();
}

void TKitStatusPanel::SetText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    // Re-fitting ends with the redraw.
    AutoFitWidth();
}

void TKitStatusPanel::SetDateFormat(const QString& format)
{
    if (format == m_dateFormat)
        return;
    m_dateFormat = format;
    UpdateDateTimeText();
}

void TKitStatusPanel::SetTimeFormat(const QString& format)
{
    if (format == m_timeFormat)
        return;
    m_timeFormat = format;
    UpdateDateTimeText();
}

bool TKitStatusPanel::Enabled() const
{
    return m_enabled && StatusBar()->isEnabled();
}

void TKitStatusPanel::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    EnabledChanged();
}

void TKitStatusPanel::SetWidth(int width)
{
    if (m_autoFit)
        return;
    width = IntMax(width, 0);
    if (width == m_width)
        return;
    m_width = width;
    StatusBar()->LayoutChanged();
    if (IsIndeterminateGauge()) {
        RestartGauge();
        Redraw();
    }
}

void TKitStatusPanel::SetAutoFit(bool on)
{
    if (on == m_autoFit)
        return;
    m_autoFit = on;
    AutoFitWidth();
}

QString TKitStatusPanel::Hint() const
{
    QString hint = m_hint;
    if ((m_panelType == sptEllipsisText || m_panelType == sptEllipsisPath) && hint == Ellipsis)
        hint = m_text;
    DoHintText(hint);
    return hint;
}

void TKitStatusPanel::Redraw()
{
    StatusBar()->RedrawPanel(Index());
}

void TKitStatusPanel::TimerRefresh()
{
    if (IsDateTimeType())
        UpdateDateTimeText();
    else if (IsIndeterminateGauge())
        StatusBar()->RepaintRegion(StatusBar()->GetPanelRect(Index()));
}

TKitStatusPanel::Service TKitStatusPanel::ServiceOfType() const
{
    if (IsLockType())
        return StatusBar()->UseMonitorDLL() ? Service::Monitor : Service::KeyHook;
    if (IsDateTimeType() || IsIndeterminateGauge())
        return Service::Timer;
    return Service::None;
}

void TKitStatusPanel::JoinService()
{
    const Service service = ServiceOfType();
    if (service == m_service)
        return;
    LeaveService();
    switch (service) {
    case Service::Timer:
        m_collection->RegisterTimer(this);
        break;
    case Service::KeyHook:
        HookLockPanel(this);
        StatusBar()->RegisterMainWinHook(this);
        break;
    case Service::Monitor:
        StatusBar()->RegisterWithMonitor();
        m_lockState = LockKeyToggled(LockKey());
        break;
    case Service::None:
        break;
    }
    m_service = service;
}

void TKitStatusPanel::LeaveService()
{
    const Service service = m_service;
    m_service = Service::None;
    switch (service) {
    case Service::Timer:
        m_collection->DeregisterTimer(this);
        break;
    case Service::KeyHook:
        UnhookLockPanel(this);
        StatusBar()->DeregisterMainWinHook(this);
        break;
    case Service::Monitor:
        StatusBar()->DeregisterFromMonitor();
        break;
    case Service::None:
        break;
    }
}

int TKitStatusPanel::LockKey() const
{
    switch (m_panelType) {
    case sptNumLock:
        return VK_NUMLOCK;
    case sptScrollLock:
        return VK_SCROLL;
    default:
        return VK_CAPITAL;
    }
}

void TKitStatusPanel::RestartGauge()
{
    m_gaugePosition = 0;
    m_gaugeStep = m_gaugeAttrs.Speed();
}

void TKitStatusPanel::AutoFitWidth()
{
    TKitStatusBar* bar = StatusBar();
    if (m_autoFit) {
        const int w = QFontMetrics(bar->font()).horizontalAdvance(m_text);
        int width;
        if (m_panelType != sptGlyph)
            width = w + m_borderWidth + 6;
        else if (m_text.isEmpty())
            width = m_glyph.width() + m_borderWidth + 4;
        else
            width = w + 2 * m_borderWidth + m_glyph.width() + 6;
        if (width != m_width) {
            m_width = width;
            bar->LayoutChanged();
        }
    }
    Redraw();
}

void TKitStatusPanel::UpdateDateTimeText()
{
    if (!IsDateTimeType())
        return;
    const QString date = m_dateFormat.isEmpty() ? FormatSettings::ShortDateFormat : m_dateFormat;
    const QString time = m_timeFormat.isEmpty() ? FormatSettings::LongTimeFormat : m_timeFormat;
    QString format;
    switch (m_panelType) {
    case sptDate:
        format = date;
        break;
    case sptTime:
        format = time;
        break;
    case sptDateTime:
        format = date + u' ' + time;
        break;
    default:
        format = time + u' ' + date;
        break;
    }
    SetText(FormatDateTime(format, Now()));
}

void TKitStatusPanel::GlyphChanged()
{
    if (m_panelType != sptGlyph)
        return;
    Redraw();
    AutoFitWidth();
}

void TKitStatusPanel::DrawPanel(QPainter& canvas, const QRect& rect)
{
    if (m_panelType != sptOwnerDraw || !OnDrawPanel)
        PaintPanel(canvas, StatusBar()->GetPanelRect(Index()));
    else
        OnDrawPanel(StatusBar(), this, canvas, rect);
}

void TKitStatusPanel::EnabledChanged()
{
    if (Enabled())
        JoinService();
    else
        LeaveService();
    Redraw();
    if (!Enabled())
        RestartGauge();
}

void TKitStatusPanel::DoHintText(QString& hint) const
{
    if (OnHintText)
        OnHintText(StatusBar(), const_cast<TKitStatusPanel*>(this), hint);
}

void TKitStatusPanel::PaintPanel(QPainter& canvas, const QRect& rect)
{
    const QRect inner = rect.adjusted(1, 1, -1, -1);
    if (inner.isEmpty())
        return;
    TKitStatusBar* bar = StatusBar();
    // Painted off-screen and copied in one piece, so a panel never flickers.
    const qreal ratio = canvas.device() ? canvas.device()->devicePixelRatioF() : 1.0;
    QPixmap bitmap(inner.size() * ratio);
    bitmap.setDevicePixelRatio(ratio);
    QRect area(QPoint(0, 0), inner.size());
    {
        QPainter p(&bitmap);
        p.setFont(canvas.font());
        p.fillRect(area, ColorToQColor(bar->Color()));
        area.adjust(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
        if (Enabled() && !area.isEmpty()) {
            switch (m_panelType) {
            case sptCapsLock:
            case sptNumLock:
            case sptScrollLock:
                DrawKeyLock(p, area);
                break;
            case sptGlyph:
                DrawGlyphPanel(p, area);
                break;
            case sptGauge:
                if (m_gaugeAttrs.Indeterminate())
                    DrawIndeterminateGauge(p, area);
                else
                    DrawPercentGauge(p, area);
                break;
            case sptOwnerDraw:
                // Left to the bar's OnDrawPanel, which has painted already.
                return;
            default:
                DrawTextPanel(p, area);
                break;
            }
        }
    }
    canvas.drawPixmap(inner.topLeft(), bitmap);
}

int TKitStatusPanel::TextFlags() const
{
    return LineFlags | (m_autoFit ? int(Qt::AlignHCenter) : AlignmentFlag(m_alignment));
}

void TKitStatusPanel::DrawKeyLock(QPainter& p, const QRect& area)
{
    TKitStatusBar* bar = StatusBar();
    const bool on = bar->UseMonitorDLL() ? m_lockState : LockKeyToggled(LockKey());
    p.setPen(ColorToQColor(on ? bar->FontColor() : clGrayText));
    p.drawText(area, TextFlags(), m_text);
}

void TKitStatusPanel::DrawTextPanel(QPainter& p, QRect area)
{
    const int flags = TextFlags();
    if (flags & Qt::AlignRight)
        area.setWidth(area.width() - 1);
    QString text = m_text;
    if (m_panelType == sptEllipsisText)
        text = FitTextWithEllipsis(text, p.fontMetrics(), area.width());
    else if (m_panelType == sptEllipsisPath)
        text = PathEllipsisText(text, p.fontMetrics(), area.width());
    p.setPen(ColorToQColor(StatusBar()->FontColor()));
    p.drawText(area, flags, text);
}

void TKitStatusPanel::DrawGlyphPanel(QPainter& p, const QRect& area)
{
    const int textWidth = m_text.isEmpty() ? 0 : p.fontMetrics().horizontalAdvance(m_text) + 2;
    const int gw = m_glyph.width();
    int x;
    if (m_alignment == taCenter || m_autoFit)
        x = area.left() + (area.width() - gw - textWidth) / 2;
    else if (m_alignment == taRightJustify)
        x = RightOf(area) - gw;
    else
        x = area.left();
    const int y = area.top() + (area.height() - m_glyph.height()) / 2;
    if (!m_glyph.isNull()) {
        if (m_glyph.hasAlphaChannel())
            p.drawPixmap(x, y, m_glyph);
        else
            DrawTransparentBitmap(p, x, y, m_glyph, clDefault);
    }
    if (m_text.isEmpty())
        return;
    const int textX = m_alignment == taRightJustify && !m_autoFit ? x - textWidth - 2 : x + gw + 2;
    p.setPen(ColorToQColor(StatusBar()->FontColor()));
    p.drawText(
        QRect(textX, area.top(), IntMax(RightOf(area) - textX, 0), area.height()), LineFlags | Qt::AlignLeft, m_text);
}

void TKitStatusPanel::DrawPercentGauge(QPainter& p, const QRect& area)
{
    TKitStatusBar* bar = StatusBar();
    const int split = area.left() + MulDiv(area.width(), m_gaugeAttrs.Position(), 100);
    const QRect filled(area.left(), area.top(), split - area.left(), area.height());
    const QRect rest(split, area.top(), RightOf(area) - split, area.height());
    p.fillRect(filled, ColorToQColor(m_gaugeAttrs.Color()));
    p.fillRect(rest, ColorToQColor(bar->Color()));
    const QString text = m_text.isEmpty() ? QString::number(m_gaugeAttrs.Position()) + u'%' : m_text;
    const int flags = LineFlags | AlignmentFlag(m_alignment);
    p.setClipRect(filled);
    p.setPen(ColorToQColor(m_gaugeAttrs.TextColor()));
    p.drawText(area, flags, text);
    p.setClipRect(rest);
    p.setPen(ColorToQColor(bar->FontColor()));
    p.drawText(area, flags, text);
    p.setClipping(false);
}

void TKitStatusPanel::DrawIndeterminateGauge(QPainter& p, const QRect& area)
{
    m_gaugePosition += m_gaugeStep;
    const int speed = m_gaugeAttrs.Speed();
    const QColor color = ColorToQColor(m_gaugeAttrs.Color());
    p.setClipRect(area);
    if (m_gaugeAttrs.Style() == gsIndeterminate) {
        const int cut = area.height() / 3;
        const QRect band = area.adjusted(0, cut, 0, -cut);
        const int d = band.height();
        if (m_gaugeStep > 0 && m_gaugePosition + d + 1 >= area.width())
            m_gaugeStep = -speed;
        if (m_gaugeStep < 0 && m_gaugePosition <= 1)
            m_gaugeStep = speed;
        // The box from position to position + d, one pixel larger all round;
        // the pen's own pixel is the box's last column and row.
        const QRect box(area.left() + m_gaugePosition - 1, band.top() - 1, d + 2, d + 2);
        p.setPen(color);
        p.setBrush(color);
        p.drawEllipse(box.adjusted(0, 0, -1, -1));
    } else {
        const QPixmap& bitmap = GaugeBitmap();
        const int bw = bitmap.width();
        if (m_gaugeStep > 0 && m_gaugePosition + 1 >= area.width())
            m_gaugeStep = -speed;
        if (m_gaugeStep < 0 && -bw >= m_gaugePosition)
            m_gaugeStep = speed;
        const int x = area.left() + m_gaugePosition;
        const int space = RightOf(area) - x;
        QRect source(0, 0, bw, bitmap.height());
        int targetWidth = bw;
        if (bw > space) {
            targetWidth = IntMax(space, 0);
            source = m_gaugeStep > 0 ? QRect(0, 0, targetWidth, bitmap.height())
                                     : QRect(bw - targetWidth, 0, targetWidth, bitmap.height());
        }
        QImage part = bitmap.copy(source).toImage();
        // Moving left, the gauge-coloured end leads.
        if (m_gaugeStep <= 0)
            part = part.mirrored(true, true);
        p.drawImage(QRect(x, area.top(), targetWidth, area.height()), part);
    }
    p.setClipping(false);
}

const QPixmap& TKitStatusPanel::GaugeBitmap()
{
    if (m_gaugeBitmap.isNull())
        CreateGaugeBitmap();
    return m_gaugeBitmap;
}

void TKitStatusPanel::CreateGaugeBitmap()
{
    const TColor from = ColorToRGB(StatusBar()->Color());
    const TColor to = ColorToRGB(m_gaugeAttrs.Color());
    QImage image(100, IntMax(StatusBar()->height(), 1), QImage::Format_RGB32);
    QPainter p(&image);
    auto mix = [](int a, int b, int x) { return int(Trunc(a + (b - a) * x / 99.0)); };
    for (int x = 0; x < 100; ++x) {
        p.setPen(QColor(mix(GetRValue(from), GetRValue(to), x), mix(GetGValue(from), GetGValue(to), x),
            mix(GetBValue(from), GetBValue(to), x)));
        p.drawLine(x, 0, x, image.height() - 1);
    }
    p.end();
    m_gaugeBitmap = QPixmap::fromImage(image);
}

void TKitStatusPanel::Click()
{
    if (OnClick)
        OnClick(this);
}

// ---------------------------------------------------------------- panels

TKitStatusPanels::TKitStatusPanels(TKitStatusBar* bar)
    : QObject(bar)
    , m_bar(bar)
{
}

TKitStatusPanels::~TKitStatusPanels()
{
    Clear();
}

TKitStatusPanel* TKitStatusPanels::Add()
{
    return new TKitStatusPanel(this);
}

TKitStatusPanel* TKitStatusPanels::Items(int index) const
{
    if (index < 0 || index >= m_items.size())
        throw EListError(index);
    return m_items.at(index);
}

void TKitStatusPanels::Delete(int index)
{
    delete Items(index);
}

void TKitStatusPanels::Clear()
{
    BeginUpdate();
    while (!m_items.isEmpty())
        delete m_items.last();
    EndUpdate();
}

void TKitStatusPanels::Assign(const TKitStatusPanels& source)
{
    if (&source == this)
        return;
    BeginUpdate();
    Clear();
    for (const TKitStatusPanel* panel : source.m_items)
        Add()->Assign(*panel);
    EndUpdate();
}

void TKitStatusPanels::BeginUpdate()
{
    ++m_updateCount;
}

void TKitStatusPanels::EndUpdate()
{
    if (m_updateCount == 0 || --m_updateCount > 0 || m_pendingRedraw.isEmpty())
        return;
    const QRegion region = m_pendingRedraw;
    m_pendingRedraw = QRegion();
    m_bar->RepaintRegion(region);
}

void TKitStatusPanels::Added(TKitStatusPanel* panel)
{
    m_items.append(panel);
    m_bar->LayoutChanged();
    panel->Redraw();
}

void TKitStatusPanels::Removed(TKitStatusPanel* panel)
{
    m_items.removeOne(panel);
    m_bar->LayoutChanged();
}

void TKitStatusPanels::Move(TKitStatusPanel* panel, int index)
{
    const qsizetype from = m_items.indexOf(panel);
    if (index < 0 || index >= m_items.size())
        throw EListError(index);
    m_items.move(from, index);
    m_bar->LayoutChanged();
}

void TKitStatusPanels::RegisterTimer(TKitStatusPanel* panel)
{
    if (!m_timer) {
        m_timer = new QTimer(m_bar);
        m_lastDate = Date();
        connect(m_timer, &QTimer::timeout, this, &TKitStatusPanels::TimerTick);
    }
    if (m_timedPanels.contains(panel))
        return;
    const bool first = m_timedPanels.isEmpty();
    m_timedPanels.append(panel);
    ++Unit().timerRegistrations;
    int interval = m_timer->interval();
    if (panel->IsIndeterminateGauge())
        interval = GaugeInterval;
    else if (panel->PanelType() == sptDate)
        interval = first ? DateInterval : interval;
    else if (first || interval > TimeInterval)
        interval = TimeInterval;
    if (interval != m_timer->interval())
        m_timer->setInterval(interval);
    // A tick under way arms the timer itself when it ends.
    if (!m_inTick && !m_timer->isActive())
        m_timer->start();
}

void TKitStatusPanels::DeregisterTimer(TKitStatusPanel* panel)
{
    if (m_timedPanels.removeOne(panel))
        --Unit().timerRegistrations;
    if (!m_timer)
        return;
    if (m_timedPanels.isEmpty()) {
        m_timer->stop();
        // The tick that runs may be the one that lets the last panel go.
        m_timer->deleteLater();
        m_timer = nullptr;
        return;
    }
    int interval = DateInterval;
    for (const TKitStatusPanel* p : std::as_const(m_timedPanels)) {
        if (p->IsIndeterminateGauge()) {
            interval = GaugeInterval;
            break;
        }
        if (p->PanelType() != sptDate)
            interval = TimeInterval;
    }
    if (interval != m_timer->interval())
        m_timer->setInterval(interval);
}

void TKitStatusPanels::TimerTick()
{
    if (!m_timer)
        return;
    m_timer->stop();
    m_inTick = true;
    const double today = Date();
    const bool dayChanged = today != m_lastDate;
    if (dayChanged)
        m_lastDate = today;
    const QList<TKitStatusPanel*> panels = m_timedPanels;
    for (TKitStatusPanel* panel : panels) {
        // An earlier panel's refresh may have freed or retyped this one.
        if (!m_timedPanels.contains(panel))
            continue;
        if (panel->PanelType() == sptDate && !dayChanged)
            continue;
        try {
            panel->TimerRefresh();
        } catch (const std::exception& e) {
            ShowException(e);
        }
    }
    m_inTick = false;
    if (m_timer && !m_timedPanels.isEmpty())
        m_timer->start();
}

// ---------------------------------------------------------------- bar

TKitStatusBar::TKitStatusBar(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_panels = new TKitStatusPanels(this);
    m_grip = new KitSizeGrip(this);
    WatchWindow();
}

TKitStatusBar::~TKitStatusBar()
{
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    // The panels leave their services while the bar is still whole.
    delete m_panels;
    m_panels = nullptr;
    Q_ASSERT_X(m_mainWinHookPanels.isEmpty(), UnitName, "Unbalanced MainWinHook registrations");
}

void TKitStatusBar::SetUseMonitorDLL(bool on)
{
    if (on == m_useMonitorDLL)
        return;
    auto moveService = [this](bool monitor) {
        m_useMonitorDLL = monitor;
        const QList<TKitStatusPanel*> panels = m_panels->m_items;
        for (TKitStatusPanel* panel : panels) {
            if (panel->IsLockType() && panel->Enabled()) {
                panel->LeaveService();
                panel->JoinService();
            }
        }
    };
    moveService(on);
    // Without the library the program's own key events serve, silently.
    if (on && !KeyboardMonitorLoaded())
        moveService(false);
}

void TKitStatusBar::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
    m_grip->update();
}

void TKitStatusBar::SetFontColor(TColor color)
{
    if (color == m_fontColor)
        return;
    m_fontColor = color;
    update();
}

void TKitStatusBar::SetSizeGrip(bool on)
{
    if (on == m_sizeGrip)
        return;
    m_sizeGrip = on;
    m_grip->setVisible(on);
    LayoutChanged();
}

void TKitStatusBar::SetHintPanel(int index)
{
    m_hintPanel = index;
    WatchWindow();
}

void TKitStatusBar::RedrawPanel(int index)
{
    if (index < 0 || index >= m_panels->Count())
        throw EListError(index);
    RepaintRegion(GetPanelRect(index));
}

QRect TKitStatusBar::GetPanelRect(int index) const
{
    const int count = m_panels ? m_panels->Count() : 0;
    if (index < 0 || index >= count)
        return {};
    int left = 0;
    int edge = 0;
    for (int i = 0; i <= index; ++i) {
        left = i == 0 ? 0 : edge + PanelSpacing;
        edge += m_panels->m_items.at(i)->m_width;
    }
    const int right = index == count - 1 ? width() - GripWidth() : edge;
    return QRect(left, PanelTop, IntMax(right - left, 0), IntMax(height() - PanelTop, 0));
}

bool TKitStatusBar::HandleMonitorMessage(qint32 message, quint32 wParam, qint32 lParam)
{
    // 0 is the number of an export-less monitor, which never notifies.
    if (message == 0 || message != m_monitorMessage)
        return false;
    const int key = int(wParam & 0xFF);
    const TKitStatusPanelType type = key == VK_NUMLOCK ? sptNumLock : key == VK_SCROLL ? sptScrollLock : sptCapsLock;
    const QList<TKitStatusPanel*> panels = m_panels->m_items;
    for (TKitStatusPanel* panel : panels) {
        if (panel->PanelType() == type) {
            panel->m_lockState = (lParam & 1) != 0;
            panel->Redraw();
        }
    }
    return true;
}

QSize TKitStatusBar::sizeHint() const
{
    return QSize(200, IntMax(19, fontMetrics().height() + 6));
}

QSize TKitStatusBar::minimumSizeHint() const
{
    return QSize(GripSize, sizeHint().height());
}

bool TKitStatusBar::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        QString hint = toolTip();
        QRect cursorRect = rect();
        try {
            HintShow(help->pos(), hint, cursorRect);
        } catch (const std::exception& e) {
            ShowException(e);
            return true;
        }
        if (hint.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), hint, this, cursorRect);
        }
        return true;
    }
    case QEvent::ParentChange:
        WatchWindow();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TKitStatusBar::HintShow(const QPoint& pos, QString& hint, QRect& cursorRect) const
{
    const int count = m_panels->Count();
    QList<QRect> rects;
    for (int i = 0; i < count; ++i)
        rects.append(GetPanelRect(i));
    auto hasHint = [this](int i) { return !m_panels->m_items.at(i)->Hint().isEmpty(); };
    for (int i = 0; i < count; ++i) {
        if (!rects.at(i).contains(pos))
            continue;
        const QString panelHint = m_panels->m_items.at(i)->Hint();
        if (!panelHint.isEmpty()) {
            hint = panelHint;
            cursorRect = rects.at(i);
            return;
        }
        break;
    }
    // The bar's own hint stays; it is asked for again on entering the next
    // panel to either side that has a hint of its own.
    auto lastLeftBelow = [&](int limit) {
        for (int j = count - 1; j >= 0; --j)
            if (rects.at(j).left() < limit)
                return j;
        return -1;
    };
    auto firstRightAbove = [&](int limit) {
        for (int j = 0; j < count; ++j)
            if (RightOf(rects.at(j)) > limit)
                return j;
        return -1;
    };
    for (int i = lastLeftBelow(pos.x()); i >= 0; i = lastLeftBelow(rects.at(i).left())) {
        if (hasHint(i)) {
            cursorRect.setLeft(RightOf(rects.at(i)));
            break;
        }
    }
    for (int i = firstRightAbove(pos.x()); i >= 0; i = firstRightAbove(RightOf(rects.at(i)))) {
        if (hasHint(i)) {
            cursorRect.setRight(rects.at(i).left() - 1);
            break;
        }
    }
}

void TKitStatusBar::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.fillRect(event->rect(), ColorToQColor(m_color));
    p.setFont(font());
    const QRegion region = event->region();
    m_painting = true;
    for (int i = 0; i < m_panels->Count(); ++i) {
        const QRect r = GetPanelRect(i);
        if (r.isEmpty() || !region.intersects(r))
            continue;
        PaintBevel(p, r, m_panels->m_items.at(i)->Bevel());
        try {
            DrawPanel(p, m_panels->m_items.at(i), r);
        } catch (const std::exception&) {
            if (!m_paintError)
                m_paintError = std::current_exception();
        }
    }
    m_painting = false;
    if (m_paintError)
        ReportPaintError();
}

void TKitStatusBar::ReportPaintError()
{
    // Shown after the paint: a message box must not run its loop inside one.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const std::exception_ptr error = m_paintError;
            m_paintError = nullptr;
            if (!error)
                return;
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                ShowException(e);
            }
        },
        Qt::QueuedConnection);
}

void TKitStatusBar::DrawPanel(QPainter& canvas, TKitStatusPanel* panel, const QRect& rect)
{
    const PainterState state(canvas);
    canvas.setFont(font());
    if (OnDrawPanel)
        OnDrawPanel(this, panel, canvas, rect);
    panel->DrawPanel(canvas, rect);
}

void TKitStatusBar::PaintBevel(QPainter& canvas, const QRect& r, TStatusPanelBevel bevel) const
{
    if (bevel == pbNone)
        return;
    const QColor topLeft = ColorToQColor(bevel == pbLowered ? clBtnShadow : clBtnHighlight);
    const QColor bottomRight = ColorToQColor(bevel == pbLowered ? clBtnHighlight : clBtnShadow);
    canvas.setPen(topLeft);
    canvas.drawLine(r.topLeft(), r.topRight());
    canvas.drawLine(r.topLeft(), r.bottomLeft());
    canvas.setPen(bottomRight);
    canvas.drawLine(r.bottomLeft(), r.bottomRight());
    canvas.drawLine(r.topRight(), r.bottomRight());
}

void TKitStatusBar::RepaintRegion(const QRegion& region)
{
    if (region.isEmpty())
        return;
    if (m_panels && m_panels->m_updateCount > 0) {
        m_panels->m_pendingRedraw += region;
        return;
    }
    // A redraw asked for by a panel's own painting waits for the next paint.
    if (m_painting)
        update(region);
    else
        repaint(region);
}

void TKitStatusBar::LayoutChanged()
{
    update();
}

void TKitStatusBar::UpdateMeasureFont()
{
    m_panels->BeginUpdate();
    const QList<TKitStatusPanel*> panels = m_panels->m_items;
    for (TKitStatusPanel* panel : panels)
        if (panel->AutoFit())
            panel->AutoFitWidth();
    m_panels->EndUpdate();
}

void TKitStatusBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_leftDown = true;
    QWidget::mousePressEvent(event);
}

void TKitStatusBar::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = event->button() == Qt::LeftButton && m_leftDown && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_leftDown = false;
    if (click) {
        try {
            Click(event->position().toPoint());
        } catch (const std::exception& e) {
            ShowException(e);
        }
    }
    QWidget::mouseReleaseEvent(event);
}

void TKitStatusBar::Click(const QPoint& pos)
{
    for (int i = 0; i < m_panels->Count(); ++i) {
        if (GetPanelRect(i).contains(pos)) {
            m_panels->m_items.at(i)->Click();
            break;
        }
    }
    if (OnClick)
        OnClick(this);
}

void TKitStatusBar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        UpdateMeasureFont();
        updateGeometry();
        break;
    case QEvent::EnabledChange: {
        update();
        const QList<TKitStatusPanel*> panels = m_panels->m_items;
        for (TKitStatusPanel* panel : panels)
            panel->EnabledChanged();
        break;
    }
    default:
        break;
    }
}

void TKitStatusBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_grip->setGeometry(width() - GripSize, PanelTop, GripSize, IntMax(height() - PanelTop, 0));
}

void TKitStatusBar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    WatchWindow();
    UpdateMeasureFont();
    if (m_monitorRegistrations > 0 && m_monitorWindow == 0)
        RegisterMonitorWindowNow();
}

bool TKitStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::StatusTip && m_hintPanel >= 0
        && m_hintPanel < m_panels->Count()) {
        m_panels->m_items.at(m_hintPanel)->SetText(static_cast<QStatusTipEvent*>(event)->tip());
    }
    return QWidget::eventFilter(watched, event);
}

void TKitStatusBar::WatchWindow()
{
    QWidget* window = this->window();
    if (window == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = window;
    window->installEventFilter(this);
}

void TKitStatusBar::RefreshLockPanels()
{
    m_panels->BeginUpdate();
    const QList<TKitStatusPanel*> panels = m_panels->m_items;
    for (TKitStatusPanel* panel : panels)
        if (panel->IsLockType())
            panel->Redraw();
    m_panels->EndUpdate();
}

void TKitStatusBar::RegisterMainWinHook(TKitStatusPanel* panel)
{
    if (m_mainWinHookPanels.contains(panel))
        return;
    m_mainWinHookPanels.append(panel);
    if (m_mainWinHookPanels.size() == 1) {
        if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            m_appStateConnection
                = connect(app, &QGuiApplication::applicationStateChanged, this, &TKitStatusBar::MainWindowHook);
    }
}

void TKitStatusBar::DeregisterMainWinHook(TKitStatusPanel* panel)
{
    const bool listed = m_mainWinHookPanels.removeOne(panel);
    Q_ASSERT_X(listed, UnitName, "Unbalanced MainWinHook registrations");
    Q_UNUSED(listed);
    if (m_mainWinHookPanels.isEmpty())
        disconnect(m_appStateConnection);
}

void TKitStatusBar::MainWindowHook(Qt::ApplicationState state)
{
    if (m_useMonitorDLL)
        return;
    // Lock keys pressed in another program went unseen: the next key event
    // refreshes every lock panel.
    if (state != Qt::ApplicationActive)
        Unit().refreshAll = true;
    QMetaObject::invokeMethod(this, &TKitStatusBar::RefreshLockPanels, Qt::QueuedConnection);
}

void TKitStatusBar::RegisterWithMonitor()
{
    if (++m_monitorRegistrations != 1)
        return;
    ++Unit().monitorUsers;
    if (!KeyboardMonitorLoaded())
        LoadMonitor();
    RegisterMonitorWindowNow();
}

void TKitStatusBar::DeregisterFromMonitor()
{
    if (--m_monitorRegistrations > 0)
        return;
    if (KeyboardMonitorLoaded() && m_monitorWindow != 0)
        DeregisterMonitorWindow(m_monitorWindow);
    m_monitorWindow = 0;
    m_monitorMessage = 0;
    m_monitorRegistrations = 0;
    // The library serves every bar of the program; the last one unloads it.
    if (--Unit().monitorUsers <= 0) {
        Unit().monitorUsers = 0;
        if (KeyboardMonitorLoaded())
            UnloadKeyboardMonitor();
    }
}

void TKitStatusBar::RegisterMonitorWindowNow()
{
    const WId window = effectiveWinId();
    if (window == 0 || !KeyboardMonitorLoaded())
        return;
    m_monitorWindow = quint32(window);
    m_monitorMessage = RegisterMonitorWindow(m_monitorWindow);
}

int TKitStatusBar::GripWidth() const
{
    return m_grip && m_grip->isVisibleTo(this) ? GripSize : 0;
}
