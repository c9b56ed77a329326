#include "kitspin.h"

#include "components/kitcolors.h"
#include "components/kitdrawing.h"
#include "components/maxmin.h"
#include "platform/application.h"
#include "platform/dialogs.h"

#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include <cfloat>
#include <climits>
#include <cmath>

namespace {

constexpr int FirstRepeatDelay = 400;
constexpr int RepeatInterval = 100;

int DefaultButtonWidth(const QWidget* w)
{
    return IntMin(w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w), 15);
}

// The built-in arrows: 7 x 4 pixels, black on transparent.
QPixmap ArrowGlyph(bool up)
{
    QImage img(7, 4, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int row = 0; row < 4; ++row) {
        const int y = up ? row : 3 - row;
        for (int x = 3 - row; x <= 3 + row; ++x)
            img.setPixel(x, y, qRgb(0, 0, 0));
    }
    return QPixmap::fromImage(img);
}

// Lines of one pixel that leave out their end point, as the system's pens did.
QPen GdiPen(TColor color)
{
    return QPen(ColorToQColor(color), 0, Qt::SolidLine, Qt::FlatCap);
}

// Numbers as FloatToStrF and StrToFloat saw them: the locale's decimal
// separator, never a group separator.
QLocale NumberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace

// ---------------------------------------------------------------- TKitSpinButton

TKitSpinButton::TKitSpinButton(QWidget* parent)
    : QWidget(parent)
    , m_upGlyph(ArrowGlyph(true))
    , m_downGlyph(ArrowGlyph(false))
{
    resize(20, 20);
}

void TKitSpinButton::SetUpGlyph(const QPixmap& glyph)
{
    m_upGlyph = glyph.isNull() ? ArrowGlyph(true) : TransparentByCorner(glyph);
    update();
}

void TKitSpinButton::SetDownGlyph(const QPixmap& glyph)
{
    m_downGlyph = glyph.isNull() ? ArrowGlyph(false) : TransparentByCorner(glyph);
    update();
}

TKitSpinButton::State TKitSpinButton::HalfAt(QPointF pos) const
{
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return NoHalf;
    const QPoint p = pos.toPoint();
    return p.y() > h - (double(h) / w) * p.x() ? BottomHalf : TopHalf;
}

void TKitSpinButton::SetState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    repaint();
}

void TKitSpinButton::FireTopClick()
{
    emit OnTopClick();
    AfterClick();
}

void TKitSpinButton::FireBottomClick()
{
    emit OnBottomClick();
    AfterClick();
}

void TKitSpinButton::AfterClick()
{
    // The handler may have run a loop of its own in which the button came up.
    if (!m_leftDown) {
        m_state = NoHalf;
        update();
    }
}

void TKitSpinButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_leftDown = true;
    try {
        QWidget* focus = m_focusControl;
        if (focus && (focus->focusPolicy() & Qt::TabFocus) && focus->isEnabled() && focus->isVisible()
            && !focus->hasFocus())
            focus->setFocus(Qt::MouseFocusReason);
        if (m_state == NoHalf) {
            m_lastPressed = NoHalf;
            const State half = HalfAt(event->position());
            if (half != NoHalf) {
                m_state = half;
                if (half == BottomHalf)
                    FireBottomClick();
                else
                    FireTopClick();
                if (m_state != m_lastPressed) {
                    m_lastPressed = m_state;
                    repaint();
                }
            }
        }
        if (!m_repeatTimer) {
            m_repeatTimer = new QTimer(this);
            connect(m_repeatTimer, &QTimer::timeout, this, &TKitSpinButton::RepeatTick);
        }
        m_repeatTimer->start(FirstRepeatDelay);
        m_dragging = true;
    } catch (const std::exception& e) {
        // Not left pressed: the next press would find a half down and step
        // nothing.
        m_state = m_lastPressed = NoHalf;
        update();
        ShowException(e);
    }
}

void TKitSpinButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const QPoint p = event->position().toPoint();
    const bool inside = p.x() >= 0 && p.x() <= width() && p.y() >= 0 && p.y() <= height();
    SetState(inside && HalfAt(event->position()) == m_lastPressed ? m_lastPressed : NoHalf);
}

void TKitSpinButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_leftDown = false;
    if (!m_dragging)
        return;
    m_dragging = false;
    // Nothing is pressed any more, so the repeat has nothing left to do.
    if (m_repeatTimer)
        m_repeatTimer->stop();
    const QPoint p = event->position().toPoint();
    if (p.x() >= 0 && p.x() <= width() && p.y() >= 0 && p.y() <= height()) {
        m_lastPressed = NoHalf;
        SetState(NoHalf);
    }
}

void TKitSpinButton::RepeatTick()
{
    m_repeatTimer->setInterval(RepeatInterval);
    if (m_state == NoHalf || !m_dragging)
        return;
    try {
        if (m_state == BottomHalf)
            FireBottomClick();
        else
            FireTopClick();
    } catch (const std::exception& e) {
        // Stopped first: the error box runs its own loop, in which the timer
        // would go on firing.
        m_repeatTimer->stop();
        ShowException(e);
    }
}

void TKitSpinButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

void TKitSpinButton::paintEvent(QPaintEvent*)
{
    if (!isEnabled())
        m_dragging = false;
    QPainter p(this);
    DrawImage(p, m_state);
}

void TKitSpinButton::DrawImage(QPainter& p, State kind) const
{
    const int w = width();
    const int h = height();
    p.setPen(GdiPen(clWindowFrame));
    p.setBrush(ColorToQColor(clBtnFace));
    p.drawRect(0, 0, w - 1, h - 1);
    p.setBrush(Qt::NoBrush);
    p.drawLine(-1, h, w, -1);

    p.setPen(GdiPen(kind == TopHalf ? clBtnShadow : clBtnHighlight));
    p.drawPolyline(QPolygon({ QPoint(1, h - 4), QPoint(1, 1), QPoint(w - 3, 1) }));
    if (kind != TopHalf) {
        p.setPen(GdiPen(clBtnShadow));
        p.drawLine(1, h - 3, w - 2, 0);
    }
    p.setPen(GdiPen(kind == BottomHalf ? clBtnHighlight : clBtnShadow));
    p.drawPolyline(QPolygon({ QPoint(2, h - 2), QPoint(w - 2, h - 2), QPoint(w - 2, 1) }));
    p.setPen(GdiPen(kind == BottomHalf ? clBtnShadow : clBtnHighlight));
    p.drawLine(2, h - 2, w - 1, 1);

    const int d = kind == TopHalf ? 2 : 1;
    p.drawPixmap(int(Round(w * 0.25 - m_upGlyph.width() * 0.5)) + d,
        int(Round(h * 0.25 - m_upGlyph.height() * 0.5)) + d, m_upGlyph);
    p.drawPixmap(int(Round(3 * w * 0.25 - m_downGlyph.width() * 0.5)) - 1,
        int(Round(3 * h * 0.25 - m_downGlyph.height() * 0.5)) - 1, m_downGlyph);
    if (kind == BottomHalf) {
        p.setPen(GdiPen(clBtnShadow));
        p.drawLine(3, h - 2, w - 1, 2);
    }
}

// ---------------------------------------------------------------- TKitUpDown

TKitUpDown::TKitUpDown(QWidget* parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    for (QToolButton* b : { m_up, m_down }) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(FirstRepeatDelay);
        b->setAutoRepeatInterval(RepeatInterval);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { Click(btNext); });
    connect(m_down, &QToolButton::clicked, this, [this] { Click(btPrev); });
    resize(DefaultButtonWidth(this), 20);
}

void TKitUpDown::Click(TUDBtnType button)
{
    // A handler that runs a loop of its own must not see the repeat of the
    // click it is handling.
    if (m_inClick)
        return;
    QScopedValueRollback<bool> guard(m_inClick, true);
    try {
        emit OnClick(button);
    } catch (const std::exception& e) {
        ShowException(e);
    }
}

void TKitUpDown::resizeEvent(QResizeEvent*)
{
    const int bw = DefaultButtonWidth(this);
    if (width() != bw) {
        resize(bw, height());
        return;
    }
    const int half = height() / 2;
    m_up->setGeometry(0, 0, bw, half);
    m_down->setGeometry(0, half, bw, height() - half);
}

// ---------------------------------------------------------------- TKitSpinEdit

TKitSpinEdit::TKitSpinEdit(QWidget* parent)
    : QLineEdit(QStringLiteral("0"), parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (m_changing)
            return;
        try {
            emit OnChange();
        } catch (const std::exception& e) {
            ShowException(e);
        }
    });
    BuildSpinButton();
    UpdateMinimumHeight();
}

void TKitSpinEdit::SetButtonKind(TSpinButtonKind kind)
{
    // The new-style look is always on here, so the effective kind is the kind.
    if (kind == m_buttonKind)
        return;
    m_buttonKind = kind;
    BuildSpinButton();
}

void TKitSpinEdit::SetDecimal(int decimal)
{
    decimal = qBound(0, decimal, 255);
    if (decimal == m_decimal)
        return;
    m_decimal = decimal;
    SetValue(Value());
}

void TKitSpinEdit::SetEditorEnabled(bool on)
{
    m_editorEnabled = on;
    ApplyReadOnly();
}

void TKitSpinEdit::SetReadOnly(bool on)
{
    m_readOnly = on;
    ApplyReadOnly();
}

void TKitSpinEdit::SetValueType(TValueType type)
{
    if (type == m_valueType)
        return;
    m_valueType = type;
    SetValue(Value());
    if (m_valueType == vtInteger) {
        m_increment = std::nearbyint(m_increment);
        if (m_increment == 0)
            m_increment = 1;
    }
}

double TKitSpinEdit::TextValue(bool* isNumber) const
{
    bool ok = false;
    double v = 0;
    if (m_valueType == vtFloat) {
        v = NumberLocale().toDouble(text(), &ok);
        ok = ok && std::isfinite(v);
    } else {
        v = text().toInt(&ok);
    }
    if (isNumber)
        *isNumber = ok;
    if (ok)
        return v;
    return m_valueType == vtFloat ? m_minValue : std::trunc(m_minValue);
}

double TKitSpinEdit::Value() const
{
    bool isNumber = false;
    const double v = TextValue(&isNumber);
    return isNumber ? ClampToRange(v) : v;
}

void TKitSpinEdit::SetValue(double value)
{
    if (std::isnan(value))
        value = m_minValue;
    double v = ClampToRange(value);
    if (m_valueType == vtFloat) {
        v = qBound(-DBL_MAX, v, DBL_MAX);
        if (v == 0)
            v = 0; // no "-0"
        const QLocale locale = NumberLocale();
        // FloatToStrF's ffFixed with precision 15 turns to the exponent form
        // for more than 15 digits before the separator.
        setText(std::fabs(v) >= 1e15 ? locale.toString(v, 'E', 14) : locale.toString(v, 'f', m_decimal));
        return;
    }
    // An integer text beyond 32 bits would read back as MinValue, so the
    // value stops at the ends of the range instead of jumping.
    v = qBound(double(INT_MIN), v, double(INT_MAX));
    setText(QString::number(Round(v)));
}

int TKitSpinEdit::ValueAsInteger() const
{
    return int(Trunc(qBound(double(INT_MIN), Value(), double(INT_MAX))));
}

double TKitSpinEdit::ClampToRange(double x) const
{
    if (m_maxValue == m_minValue)
        return x;
    if (x < m_minValue)
        return m_minValue;
    if (x > m_maxValue)
        return m_maxValue;
    return x;
}

bool TKitSpinEdit::AcceptsChar(QChar key) const
{
    const ushort c = key.unicode();
    bool ok = c < 32 || key == u'+' || key == u'-' || (key >= u'0' && key <= u'9');
    if (!ok && m_valueType == vtFloat) {
        const QString separator = QLocale().decimalPoint();
        if (QString(key) == separator && !text().contains(separator))
            ok = true;
        else if ((key == u'E' || key == u'e') && !text().toUpper().contains(u'E'))
            ok = true;
    }
    if (ok && !m_editorEnabled && (c >= 32 || c == 8))
        ok = false;
    return ok;
}

void TKitSpinEdit::StepUp()
{
    Step(m_increment, true);
}

void TKitSpinEdit::StepDown()
{
    Step(-m_increment, false);
}

void TKitSpinEdit::Step(double delta, bool up)
{
    if (m_readOnly) {
        Dialogs::messageBeep(MsgDlgType::Custom);
        return;
    }
    const QString before = text();
    {
        QScopedValueRollback<bool> quiet(m_changing, true);
        SetValue(Value() + delta);
    }
    if (QString::compare(before, text(), Qt::CaseInsensitive) != 0) {
        setModified(true);
        emit OnChange();
    }
    if (up)
        emit OnTopClick();
    else
        emit OnBottomClick();
}

void TKitSpinEdit::keyPressEvent(QKeyEvent* event)
{
    try {
        if (m_arrowKeys && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
            event->accept();
            if (event->key() == Qt::Key_Up)
                StepUp();
            else
                StepDown();
            return;
        }
        const QString typed = event->text();
        // Delete is a key, not a character (its text is DEL on some systems);
        // with Ctrl a letter is a control character, which always passes.
        const bool character = typed.size() == 1 && event->key() != Qt::Key_Delete && typed[0] != QChar(0x7f)
            && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
        if (character) {
            if (!AcceptsChar(typed[0])) {
                event->accept();
                Dialogs::messageBeep(MsgDlgType::Custom);
                return;
            }
            const int key = event->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                // Not inserted: the form takes them as its dialog keys.
                QLineEdit::keyPressEvent(event);
                event->ignore();
                return;
            }
        }
        QLineEdit::keyPressEvent(event);
    } catch (const std::exception& e) {
        ShowException(e);
    }
}

void TKitSpinEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // Entering by the mouse (on the text or on the button) keeps the caret
    // where the click put it; an application switch or a menu is no entry.
    switch (event->reason()) {
    case Qt::MouseFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        break;
    default:
        selectAll();
    }
}

void TKitSpinEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        return;
    default:
        break;
    }
    const double typed = TextValue();
    if (ClampToRange(typed) != typed)
        SetValue(typed);
}

void TKitSpinEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    LayoutSpinButton();
}

void TKitSpinEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        UpdateMinimumHeight();
        LayoutSpinButton();
        break;
    case QEvent::ReadOnlyChange:
        if (!m_applyingReadOnly) {
            m_readOnly = isReadOnly();
            ApplyReadOnly();
        }
        break;
    default:
        break;
    }
}

void TKitSpinEdit::ApplyReadOnly()
{
    // Read-only text blocks every way of editing at once: typing, Delete,
    // paste and cut by key or menu, middle-click paste and drops.
    const bool effective = m_readOnly || !m_editorEnabled;
    if (isReadOnly() == effective)
        return;
    QScopedValueRollback<bool> guard(m_applyingReadOnly, true);
    setReadOnly(effective);
}

void TKitSpinEdit::UpdateMinimumHeight()
{
    setMinimumHeight(fontMetrics().height() + 4 * 1 + 1);
}

void TKitSpinEdit::BuildSpinButton()
{
    // The old button may be the one whose click is being handled.
    for (QWidget* old : { static_cast<QWidget*>(m_spinButton), static_cast<QWidget*>(m_upDown) }) {
        if (old) {
            old->hide();
            old->deleteLater();
        }
    }
    m_spinButton = nullptr;
    m_upDown = nullptr;
    if (m_buttonKind == bkStandard) {
        m_upDown = new TKitUpDown(this);
        connect(m_upDown, &TKitUpDown::OnClick, this, &TKitSpinEdit::HandleUpDownClick);
        m_upDown->show();
    } else {
        m_spinButton = new TKitSpinButton(this);
        m_spinButton->SetFocusControl(this);
        m_spinButton->setCursor(Qt::ArrowCursor);
        connect(m_spinButton, &TKitSpinButton::OnTopClick, this, [this] { StepUp(); });
        connect(m_spinButton, &TKitSpinButton::OnBottomClick, this, [this] { StepDown(); });
        m_spinButton->show();
    }
    LayoutSpinButton();
}

void TKitSpinEdit::LayoutSpinButton()
{
    const int f = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
    const int w = width();
    const int h = height();
    if (m_upDown) {
        const int bw = DefaultButtonWidth(this);
        m_upDown->setGeometry(w - f - bw, f, bw, h - 2 * f);
    } else if (m_spinButton) {
        if (f > 0) {
            // Flush with the inner right and bottom edges, one pixel over the
            // top frame line.
            const int side = h - 2 * f + 1;
            m_spinButton->setGeometry(w - f - side, f - 1, side, side);
        } else {
            m_spinButton->setGeometry(w - h, 0, h, h);
        }
    }
    ApplyTextRect();
}

void TKitSpinEdit::ApplyTextRect()
{
    const int bw = m_upDown ? m_upDown->width() : m_spinButton ? m_spinButton->width() : DefaultButtonWidth(this);
    setTextMargins(0, 0, bw + 2, 0);
}

void TKitSpinEdit::HandleUpDownClick(TUDBtnType button)
{
    if ((focusPolicy() & Qt::TabFocus) && isEnabled() && isVisible() && !hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (button == btNext)
        StepUp();
    else
        StepDown();
}
