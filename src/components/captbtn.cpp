#include "captbtn.h"

#include "components/kitcolors.h"
#include "platform/application.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>

namespace {

quint16 NextHitTestCode = 666;

// Distance of the button from the form's top and right edges when it has no
// menu bar to sit in.
constexpr int Inset = 2;

// The face: a raised 3-D frame around the glyph, sunken while pressed.
class CaptionButtonFace : public QAbstractButton {
public:
    explicit CaptionButtonFace(QWidget* parent)
        : QAbstractButton(parent)
    {
        setFocusPolicy(Qt::NoFocus);
        // Sized as the caption's own buttons were: caption height - 8 high,
        // caption button width - 5 wide (the caption buttons were square).
        const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        setFixedSize(caption - 5 + 3, caption - 8 + 4);
    }

    QSize sizeHint() const override { return size(); }

    void SetGlyph(const QPixmap& glyph)
    {
        m_glyph = glyph;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int b = width() - 3;
        const int h = height() - 4;
        const int x = 0;
        const int t = 1;
        const auto line = [&p](TColor color, std::initializer_list<QPoint> points) {
            p.setPen(QPen(ColorToQColor(color), 0, Qt::SolidLine, Qt::FlatCap));
            p.drawPolyline(QPolygon(points));
        };
        if (isDown()) {
            line(clBlack, { { x, t + h + 1 }, { x, t }, { x + b + 3, t } });
            line(clWhite, { { x, t + h + 2 }, { x + b + 2, t + h + 2 }, { x + b + 2, t - 1 } });
            line(clGray, { { x + b, t + 1 }, { x + 1, t + 1 }, { x + 1, t + h + 1 } });
            line(clSilver, { { x + b + 1, t + 1 }, { x + b + 1, t + h + 1 }, { x, t + h + 1 } });
        } else {
            line(clWhite, { { x, t + h + 1 }, { x, t }, { x + b + 3, t } });
            line(clBlack, { { x, t + h + 2 }, { x + b + 2, t + h + 2 }, { x + b + 2, t - 1 } });
            line(clGray, { { x + b + 1, t + 1 }, { x + b + 1, t + h + 1 }, { x, t + h + 1 } });
        }
        const int offset = isDown() ? 2 : 1;
        if (!m_glyph.isNull())
            p.drawPixmap(QRect(x + offset, t + offset, b, h), m_glyph);
    }

private:
    QPixmap m_glyph;
};

QMenuBar* MenuBarOf(QWidget* form)
{
    for (QObject* child : form->children())
        if (auto* bar = qobject_cast<QMenuBar*>(child))
            return bar;
    return nullptr;
}

} // namespace

TCaptionButton::TCaptionButton(QWidget* owner)
    : QObject(owner)
    , m_form(owner)
    , m_hitTestCode(NextHitTestCode++)
{
    owner->installEventFilter(this);
    Place();
}

TCaptionButton::~TCaptionButton()
{
    if (!m_face)
        return;
    if (auto* bar = qobject_cast<QMenuBar*>(m_face->parentWidget());
        bar && bar->cornerWidget(Qt::TopRightCorner) == m_face)
        bar->setCornerWidget(nullptr, Qt::TopRightCorner);
    // The face may be the one whose click is being handled.
    m_face->hide();
    m_face->deleteLater();
}

void TCaptionButton::SetGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    if (m_face)
        static_cast<CaptionButtonFace*>(m_face.data())->SetGlyph(m_glyph);
}

void TCaptionButton::SetRightMargin(int margin)
{
    if (margin == m_rightMargin)
        return;
    m_rightMargin = margin;
    if (m_face)
        m_face->update();
}

void TCaptionButton::SetVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    Place();
}

QRect TCaptionButton::ButtonRect() const
{
    if (!m_visible || !m_face || !m_form)
        return {};
    return { m_face->mapTo(m_form, QPoint(0, 0)), m_face->size() };
}

bool TCaptionButton::Pressed() const
{
    return m_face && m_face->isDown();
}

void TCaptionButton::Place()
{
    if (!m_form)
        return;
    if (!m_face) {
        // Made again when it went down with a menu bar it sat in.
        auto* face = new CaptionButtonFace(m_form);
        face->SetGlyph(m_glyph);
        connect(face, &QAbstractButton::clicked, this, &TCaptionButton::Click);
        m_face = face;
    }
    QMenuBar* bar = MenuBarOf(m_form);
    if (bar && (!bar->cornerWidget(Qt::TopRightCorner) || bar->cornerWidget(Qt::TopRightCorner) == m_face)) {
        if (bar->cornerWidget(Qt::TopRightCorner) != m_face)
            bar->setCornerWidget(m_face, Qt::TopRightCorner);
    } else {
        if (m_face->parentWidget() != m_form)
            m_face->setParent(m_form);
        m_face->move(m_form->width() - m_face->width() - Inset, Inset);
        // Children added later lie above it.
        m_face->raise();
    }
    m_face->setVisible(m_visible);
}

void TCaptionButton::Click()
{
    try {
        emit OnClick();
    } catch (const std::exception& e) {
        ShowException(e);
    }
}

bool TCaptionButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_form)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (m_visible && key->key() == Qt::Key_F1 && key->modifiers() == Qt::ShiftModifier) {
            Click();
            return true;
        }
        break;
    }
    case QEvent::Show:
    case QEvent::Resize:
    case QEvent::ChildPolished:
    case QEvent::ChildRemoved:
        Place();
        break;
    default:
        break;
    }
    return false;
}
