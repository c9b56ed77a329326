#include "kitcal.h"

#include "components/kitctrls.h"
#include "components/kitutil.h"
#include "platform/datetime.h"
#include "platform/tag.h"

#include <QAction>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <cstdlib>

namespace {

// The calendar's pictures by their resource names: single and double arrows
// and the today mark. The bottom-left pixel's colour is the see-through one.
QPixmap CalendarBitmap(const QString& name)
{
    const bool today = name == QLatin1String("ESTODAY");
    const bool left = name.contains(QLatin1String("LEFT"));
    const int arrows = name.endsWith(QLatin1String("ARROWS")) ? 2 : 1;
    QPixmap glyph(today ? 13 : 3 + 5 * arrows, 11);
    glyph.fill(Qt::magenta);
    QPainter p(&glyph);
    if (today) {
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(1, 1, 11, 9);
        p.fillRect(2, 2, 10, 2, Qt::darkRed);
        p.fillRect(7, 6, 3, 3, Qt::red);
        return glyph;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (int i = 0; i < arrows; ++i) {
        const int x = 1 + 5 * i;
        const QPolygon triangle = left ? QPolygon({ QPoint(x, 5), QPoint(x + 4, 1), QPoint(x + 4, 9) })
                                       : QPolygon({ QPoint(x + 4, 5), QPoint(x, 1), QPoint(x, 9) });
        p.drawPolygon(triangle);
    }
    return glyph;
}

QString LongMonthName(int month)
{
    return FormatDateTime(QStringLiteral("mmmm"), EncodeDate(2000, month, 1));
}

constexpr Qt::KeyboardModifiers ShiftKeys = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

// Clears a flag when the scope ends, also by an exception.
class FlagScope {
public:
    explicit FlagScope(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

TKitCalColors::TKitCalColors()
{
    m_colors = SchemeColors(TKitCalColorScheme::csWindows);
}

std::array<TColor, 6> TKitCalColors::SchemeColors(TKitCalColorScheme scheme)
{
    switch (scheme) {
    case TKitCalColorScheme::csCustom:
        break;
    case TKitCalColorScheme::csWindows:
        return { clRed, clMaroon, clBlack, clGray, clBlue, clRed };
    case TKitCalColorScheme::csGold:
        return { clBlack, clBlack, clYellow, clGray, clBlack, clTeal };
    case TKitCalColorScheme::csOcean:
        return { clBlack, clBlack, clAqua, clGray, clBlack, clNavy };
    case TKitCalColorScheme::csRose:
        return { clRed, clRed, clFuchsia, clGray, clBlue, clTeal };
    }
    return {};
}

void TKitCalColors::SetColor(int index, TColor color)
{
    if (m_colors[size_t(index)] == color)
        return;
    m_colors[size_t(index)] = color;
    if (!m_updating && OnChange)
        OnChange();
    if (!m_settingScheme)
        m_scheme = TKitCalColorScheme::csCustom;
}

void TKitCalColors::SetColorScheme(TKitCalColorScheme scheme)
{
    if (scheme == m_scheme)
        return;
    m_scheme = scheme;
    if (scheme == TKitCalColorScheme::csCustom)
        return;
    {
        const FlagScope setting(m_settingScheme);
        const FlagScope updating(m_updating);
        const std::array<TColor, 6> row = SchemeColors(scheme);
        for (int i = 0; i < 6; ++i)
            SetColor(i, row[size_t(i)]);
    }
    if (OnChange)
        OnChange();
}

void TKitCalColors::Assign(const TKitCalColors& other)
{
    m_colors = other.m_colors;
    m_scheme = other.m_scheme;
}

TKitCustomCalendar::TKitCustomCalendar(QWidget* parent)
    : TKitBase(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // A right click on the title offers the months instead.
    setContextMenuPolicy(Qt::PreventContextMenu);
    resize(200, 140);
    m_colors.OnChange = [this] { update(); };

    m_prevMonth = MakeButton("PrevMonth", QStringLiteral("ESLEFTARROW"));
    m_nextMonth = MakeButton("NextMonth", QStringLiteral("ESRIGHTARROW"));
    m_today = MakeButton("Today", QStringLiteral("ESTODAY"));
    m_nextYear = MakeButton("NextYear", QStringLiteral("ESRIGHTARROWS"));
    m_prevYear = MakeButton("PrevYear", QStringLiteral("ESLEFTARROWS"));
}

TKitSpeedButton* TKitCustomCalendar::MakeButton(const char* name, const QString& bitmap)
{
    auto* b = new TKitSpeedButton(this);
    b->setObjectName(QLatin1String(name));
    b->SetGlyph(CalendarBitmap(bitmap));
    b->installEventFilter(this);
    connect(b, &TKitSpeedButton::OnClick, this, [this, b] { ButtonClick(b); });
    return b;
}

TKitCustomCalendar::TKitCustomCalendar(QWidget* owner, bool popup)
    : TKitCustomCalendar(owner)
{
    m_popup = popup;
    if (popup)
        setWindowFlags(Qt::Popup);
}

TKitCustomCalendar::~TKitCustomCalendar() = default;

void TKitCustomCalendar::CreateWnd()
{
    if (m_created)
        return;
    m_created = true;
    CalcLayout();
    if (m_date == 0)
        SetDate(Today());
}

double TKitCustomCalendar::Today() const
{
    return ::Date();
}

void TKitCustomCalendar::SetDate(double date)
{
    if (date == m_date)
        return;
    int year, month, day;
    DecodeDate(date, year, month, day);
    // A year the calendar refuses leaves it as it was.
    KitUtil::DaysInMonth(year, month);
    int oldYear, oldMonth, oldDay;
    DecodeDate(m_date, oldYear, oldMonth, oldDay);
    if (oldYear == year && oldMonth == month)
        UpdateCell(CurrentCell());
    else
        update();
    m_year = year;
    m_month = month;
    m_day = day;
    m_date = date;
    CalcMonth();
    UpdateCell(CurrentCell());
}

void TKitCustomCalendar::CalcMonth()
{
    CreateWnd();
    DecodeDate(m_date, m_year, m_month, m_day);
    const int w = DayOfWeek(EncodeDate(m_year, m_month, 1));
    int first = w - m_weekStarts;
    if ((w - 1) - m_weekStarts < 0)
        first += 7;
    m_firstCell = first;
    const int length = KitUtil::DaysInMonth(m_year, m_month);
    m_lastCell = length + first - 1;
    // December has 31 days in any year: January of the year 100 shows too.
    const int previousLength = m_month == 1 ? 31 : KitUtil::DaysInMonth(m_year, m_month - 1);
    for (int cell = first - 1, day = previousLength; cell >= 1; --cell, --day)
        m_days[size_t(cell - 1)] = day;
    for (int cell = first; cell <= 42; ++cell) {
        const int n = cell - first + 1;
        m_days[size_t(cell - 1)] = n <= length ? n : n - length;
    }
}

void TKitCustomCalendar::CalcLayout()
{
    if (!m_created)
        return;
    m_cells = {};
    const int cw = ClientWidth();
    const int ch = ClientHeight();
    m_usableWidth = cw - 8;
    int widths[7];
    for (int j = 0; j < 7; ++j)
        widths[j] = m_usableWidth / 7 + (j < m_usableWidth % 7 ? 1 : 0);
    const int h = QFontMetrics(font()).height();
    int heights[8];
    heights[0] = int(Round(h * 1.3));
    heights[1] = int(Round(h * 1.5));
    const int week = (ch - heights[0] - heights[1] - 8) / 6;
    for (int i = 2; i < 8; ++i)
        heights[i] = week;
    int sum = 0;
    for (int height : heights)
        sum += height;
    const int rest = ch - sum - 8;
    heights[0] += rest - rest / 2;
    heights[1] += rest / 2;
    int top = 4;
    for (int i = 0; i < 8; ++i) {
        int left = 4;
        for (int j = 0; j < 7; ++j) {
            m_cells[size_t(i)][size_t(j)] = QRect(left, top, widths[j], heights[i]);
            left += widths[j];
        }
        top += heights[i];
    }
    PlaceButtons();
}

// The buttons follow the cells; whoever else moves them (a window scaling its
// contents) is overruled.
void TKitCustomCalendar::PlaceButtons()
{
    if (!m_created || m_layingOut)
        return;
    const FlagScope layingOut(m_layingOut);
    const int fw = FrameWidth();
    const int cw = ClientWidth();
    const int ch = ClientHeight();
    const auto column = [this](int j) { return m_cells[0][size_t(j)].width(); };
    const int height = std::max(0, m_cells[0][0].height() - 4);
    const auto width = [](const TKitSpeedButton* b, int w) { return std::max(w, b->Glyph().width() + 3); };

    const int prevMonthWidth = width(m_prevMonth, column(0) - 4);
    m_prevMonth->setGeometry(fw + 4, fw + 4, prevMonthWidth, height);
    const int nextMonthWidth = width(m_nextMonth, column(6) - 4);
    const int nextMonthLeft = cw - nextMonthWidth - 4;
    m_nextMonth->setGeometry(fw + nextMonthLeft, fw + 4, nextMonthWidth, height);
    const int nextYearWidth = width(m_nextYear, column(1) - 4);
    m_nextYear->setGeometry(fw + nextMonthLeft - nextYearWidth, fw + 4, nextYearWidth, height);
    const int prevYearWidth = width(m_prevYear, column(5) - 4);
    m_prevYear->setGeometry(fw + 4 + prevMonthWidth, fw + 4, prevYearWidth, height);
    if (m_today) {
        m_today->SetGlyph(CalendarBitmap(QStringLiteral("ESTODAY")));
        const int todayHeight = std::max(0, m_cells[7][0].height());
        const int todayWidth = std::max(0, column(5) + column(6) - 4);
        m_today->setGeometry(fw + cw - todayWidth - 4, fw + ch - todayHeight - 4, todayWidth, todayHeight);
    }
}

int TKitCustomCalendar::FrameWidth() const
{
    if (m_popup)
        return 3; // a border and the sunken client edge
    if (m_borderStyle == bsSingle)
        return m_ctl3D ? 2 : 1;
    return 0;
}

QRect TKitCustomCalendar::CellOnWidget(int row, int column) const
{
    const int fw = FrameWidth();
    return m_cells[size_t(row)][size_t(column)].translated(fw, fw);
}

QRect TKitCustomCalendar::CellRect(int cell) const
{
    return CellOnWidget(2 + (cell - 1) / 7, (cell - 1) % 7);
}

QRect TKitCustomCalendar::TitleRect() const
{
    const QRect from = CellOnWidget(0, 1);
    return QRect(QPoint(from.left(), from.top()), QPoint(CellOnWidget(0, 6).left() - 1, from.bottom()));
}

QString TKitCustomCalendar::TitleText() const
{
    const QString shortTitle = FormatDateTime(QStringLiteral("mmm yyyy"), m_date);
    if (m_dateFormat == dfShort)
        return shortTitle;
    const QString longTitle = FormatDateTime(QStringLiteral("mmmm yyyy"), m_date);
    return QFontMetrics(font()).horizontalAdvance(longTitle) > TitleRect().width() ? shortTitle : longTitle;
}

QString TKitCustomCalendar::DayNameText(int column) const
{
    // 2 January 2000 was a Sunday.
    const int day = (m_weekStarts + column) % 7;
    return FormatDateTime(QStringLiteral("ddd"), EncodeDate(2000, 1, 2 + day)).left(m_dayNameWidth);
}

int TKitCustomCalendar::CellAt(const QPoint& pos) const
{
    for (int cell = 1; cell <= 42; ++cell)
        if (CellRect(cell).contains(pos))
            return cell;
    return 0;
}

void TKitCustomCalendar::UpdateCell(int cell)
{
    if (cell >= 1 && cell <= 42)
        update(CellRect(cell));
}

void TKitCustomCalendar::SetBorderStyle(TBorderStyle style)
{
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    CalcLayout();
    update();
}

void TKitCustomCalendar::SetCtl3D(bool on)
{
    if (on == m_ctl3D)
        return;
    m_ctl3D = on;
    CalcLayout();
    update();
}

void TKitCustomCalendar::SetDayNameWidth(TKitDayNameWidth width)
{
    m_dayNameWidth = std::clamp(width, 1, 3);
    update();
}

void TKitCustomCalendar::SetDateFormat(TKitDateFormat format)
{
    m_dateFormat = format;
    update();
}

void TKitCustomCalendar::SetFontColor(TColor color)
{
    m_fontColor = color;
    update();
}

void TKitCustomCalendar::SetShowDate(bool on)
{
    m_showDate = on;
    update();
}

void TKitCustomCalendar::SetShowInactive(bool on)
{
    m_showInactive = on;
    update();
}

void TKitCustomCalendar::SetShowToday(bool on)
{
    if (on == m_showToday)
        return;
    m_showToday = on;
    if (on) {
        m_today = MakeButton("Today", QStringLiteral("ESTODAY"));
        m_today->show();
    } else {
        delete m_today.data();
    }
    CalcLayout();
    update();
}

void TKitCustomCalendar::SetWeekStarts(TKitDayType day)
{
    m_weekStarts = day;
    CalcMonth();
    update();
}

void TKitCustomCalendar::FireChange(double date)
{
    const FlagScope changing(m_changing);
    emit OnChange(date);
}

double TKitCustomCalendar::MonthStep(int months) const
{
    const int total = m_year * 12 + (m_month - 1) + months;
    const int year = total / 12;
    const int month = total % 12 + 1;
    return EncodeDate(year, month, std::min(m_day, KitUtil::DaysInMonth(year, month)));
}

bool TKitCustomCalendar::KeyAction(int key, Qt::KeyboardModifiers shift)
{
    const Qt::KeyboardModifiers mods = shift & ShiftKeys;
    const bool plain = mods == Qt::NoModifier;
    double date = m_date;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (plain)
            date += key == Qt::Key_Left ? -1 : 1;
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (plain)
            date += key == Qt::Key_Up ? -7 : 7;
        break;
    case Qt::Key_Home:
        if (plain)
            date = EncodeDate(m_year, m_month, 1);
        break;
    case Qt::Key_End:
        if (plain)
            date = EncodeDate(m_year, m_month, KitUtil::DaysInMonth(m_year, m_month));
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int sign = key == Qt::Key_PageUp ? -1 : 1;
        if (mods & Qt::ControlModifier)
            date = MonthStep(12 * sign);
        else if (plain)
            date = MonthStep(sign);
        break;
    }
    case Qt::Key_Backspace:
        if (mods & Qt::AltModifier)
            date = Today();
        break;
    default:
        return false;
    }
    if (date != m_date) {
        SetDate(date);
        FireChange(m_date);
    }
    return true;
}

void TKitCustomCalendar::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ShiftKeys;
    if (KeyAction(event->key(), mods))
        return;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!(mods & (Qt::ControlModifier | Qt::AltModifier))) {
            emit OnChange(m_date);
            return;
        }
        break;
    case Qt::Key_Z:
        if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier)) {
            SetDate(Today());
            return;
        }
        break;
    default:
        break;
    }
    TKitBase::keyPressEvent(event);
}

void TKitCustomCalendar::DoMouseWheel(Qt::KeyboardModifiers shift, int delta, int xPos, int yPos)
{
    TKitBase::DoMouseWheel(shift, delta, xPos, yPos);
    const int size = std::abs(delta);
    if (size == 0)
        return;
    const bool forward = delta > 0;
    if (size == 120)
        KeyAction(forward ? Qt::Key_PageUp : Qt::Key_PageDown, Qt::NoModifier);
    else if (size > 120)
        KeyAction(forward ? Qt::Key_PageUp : Qt::Key_PageDown, Qt::ControlModifier);
    else
        KeyAction(forward ? Qt::Key_Up : Qt::Key_Down, Qt::NoModifier);
}

void TKitCustomCalendar::ButtonClick(TKitSpeedButton* button)
{
    if (button == m_prevMonth)
        KeyAction(Qt::Key_PageUp, Qt::NoModifier);
    else if (button == m_nextMonth)
        KeyAction(Qt::Key_PageDown, Qt::NoModifier);
    else if (button == m_prevYear)
        KeyAction(Qt::Key_PageUp, Qt::ControlModifier);
    else if (button == m_nextYear)
        KeyAction(Qt::Key_PageDown, Qt::ControlModifier);
    else if (button == m_today) {
        if (m_date != Today())
            SetDate(Today());
        emit OnChange(m_date);
    }
}

void TKitCustomCalendar::mousePressEvent(QMouseEvent* event)
{
    if (m_menuActive)
        return;
    setFocus(Qt::MouseFocusReason);
    TKitBase::mousePressEvent(event);
    const int cell = CellAt(event->position().toPoint());
    if (cell == 0)
        return;
    const int current = CurrentCell();
    if (cell != current && !m_showInactive && (cell < m_firstCell || cell > m_lastCell))
        return;
    SetDate(m_date + (cell - current));
    if (event->button() == Qt::LeftButton)
        emit OnChange(m_date);
}

void TKitCustomCalendar::mouseReleaseEvent(QMouseEvent* event)
{
    if (!hasFocus() && focusPolicy() != Qt::NoFocus && isEnabled())
        setFocus(Qt::MouseFocusReason);
    TKitBase::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::RightButton)
        return;
    // An assigned menu pops up as any control's would; without one the title
    // offers the months.
    if (m_popupMenu)
        m_popupMenu->popup(mapToGlobal(at));
    else if (at.y() < CellOnWidget(0, 0).bottom() + 1 && at.x() > m_prevYear->x() + m_nextYear->width()
        && at.x() < m_nextYear->x())
        ShowMonthMenu(at);
}

void TKitCustomCalendar::ShowMonthMenu(const QPoint& at)
{
    QMenu menu;
    menu.setObjectName(QStringLiteral("MonthMenu"));
    for (int position = 0; position < 7; ++position) {
        const int month = (m_month - 1 + position - 3 + 12) % 12 + 1;
        QAction* item = menu.addAction(LongMonthName(month));
        item->setEnabled(isEnabled());
        setTag(item, month);
        item->setData(position);
    }
    menu.adjustSize();
    const int itemHeight = menu.actionGeometry(menu.actions().constFirst()).height();
    const QPoint global = mapToGlobal(QPoint(at.x() - 20, at.y() - 7 * itemHeight / 2));
    const QPointer<TKitCustomCalendar> self(this);
    m_menuActive = true;
    QAction* chosen = menu.exec(global);
    if (!self)
        return;
    m_menuActive = false;
    if (chosen)
        MonthChosen(tag(chosen), chosen->data().toInt());
}

void TKitCustomCalendar::MonthChosen(int month, int position)
{
    int year = m_year;
    if (month > m_month && position < 3)
        --year;
    else if (month < m_month && position > 3)
        ++year;
    SetDate(EncodeDate(year, month, std::min(m_day, KitUtil::DaysInMonth(year, month))));
}

void TKitCustomCalendar::resizeEvent(QResizeEvent* event)
{
    TKitBase::resizeEvent(event);
    CalcLayout();
}

void TKitCustomCalendar::showEvent(QShowEvent* event)
{
    TKitBase::showEvent(event);
    CreateWnd();
}

void TKitCustomCalendar::changeEvent(QEvent* event)
{
    TKitBase::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        CalcLayout();
        update();
    } else if (event->type() == QEvent::EnabledChange) {
        update();
    }
}

void TKitCustomCalendar::focusInEvent(QFocusEvent* event)
{
    TKitBase::focusInEvent(event);
    UpdateCell(CurrentCell());
}

void TKitCustomCalendar::focusOutEvent(QFocusEvent* event)
{
    TKitBase::focusOutEvent(event);
    UpdateCell(CurrentCell());
}

bool TKitCustomCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && watched->parent() == this)
        PlaceButtons();
    return TKitBase::eventFilter(watched, event);
}

void TKitCustomCalendar::PaintFrame(QPainter& p)
{
    QRect r = rect().adjusted(0, 0, -1, -1);
    const auto edge = [&](TColor topLeft, TColor bottomRight) {
        p.setPen(ColorToQColor(topLeft));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(ColorToQColor(bottomRight));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    };
    if (m_popup || !m_ctl3D)
        edge(clWindowFrame, clWindowFrame);
    if (m_popup || m_ctl3D) {
        edge(clBtnShadow, clBtnHighlight);
        edge(cl3DDkShadow, cl3DLight);
    }
}

void TKitCustomCalendar::PaintCurrentDay(QPainter& p, const QRect& r)
{
    p.fillRect(r, ColorToQColor(clBtnFace));
    const bool pressed = hasFocus();
    const QRect b = r.adjusted(0, 0, -1, -1);
    p.setPen(ColorToQColor(pressed ? clBtnShadow : clBtnHighlight));
    p.drawLine(b.topLeft(), b.topRight());
    p.drawLine(b.topLeft(), b.bottomLeft());
    p.setPen(ColorToQColor(pressed ? clBtnHighlight : clBtnShadow));
    p.drawLine(b.bottomLeft(), b.bottomRight());
    p.drawLine(b.topRight(), b.bottomRight());
    p.setPen(ColorToQColor(m_colors.ActiveDay()));
    p.drawText(r.translated(pressed ? 1 : 0, pressed ? 1 : 0), Qt::AlignCenter | Qt::TextSingleLine,
        QString::number(CellDay(CurrentCell())));
}

void TKitCustomCalendar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (FrameWidth() > 0)
        PaintFrame(p);
    const int fw = FrameWidth();
    p.setClipRect(fw, fw, ClientWidth(), ClientHeight());
    p.setFont(font());
    p.fillRect(fw, fw, ClientWidth(), ClientHeight(), ColorToQColor(clBtnFace));
    if (!m_created)
        return;

    if (m_showDate) {
        const QRect title = TitleRect();
        p.setPen(ColorToQColor(m_colors.MonthAndYear()));
        if (OnDrawDate)
            OnDrawDate(p, m_date, title);
        else
            p.drawText(title, Qt::AlignCenter | Qt::TextSingleLine, TitleText());
    }

    int saturday = -1;
    int sunday = -1;
    p.setPen(ColorToQColor(m_colors.DayNames()));
    for (int column = 0; column < 7; ++column) {
        const int day = (m_weekStarts + column) % 7;
        if (day == dtSaturday)
            saturday = column;
        else if (day == dtSunday)
            sunday = column;
        p.drawText(CellOnWidget(1, column), Qt::AlignCenter | Qt::TextSingleLine, DayNameText(column));
    }

    const int y = CellOnWidget(1, 0).bottom() + 1;
    if (m_ctl3D) {
        p.setPen(ColorToQColor(clBtnHighlight));
        p.drawLine(fw, y - 3, fw + ClientWidth(), y - 3);
        p.setPen(ColorToQColor(clBtnShadow));
        p.drawLine(fw, y - 2, fw + ClientWidth(), y - 2);
    } else if (m_borderStyle == bsSingle) {
        p.setPen(ColorToQColor(m_fontColor));
        p.drawLine(fw, y - 3, fw + ClientWidth(), y - 3);
    }

    const int current = CurrentCell();
    for (int cell = 1; cell <= 42; ++cell) {
        const int column = (cell - 1) % 7;
        const bool active = cell >= m_firstCell && cell <= m_lastCell;
        TColor color = column == saturday || column == sunday ? m_colors.Weekend() : m_colors.Days();
        if (!active)
            color = m_colors.InactiveDays();
        p.setPen(ColorToQColor(color));
        const QRect r = CellRect(cell);
        if (OnDrawItem && (active || m_showInactive))
            OnDrawItem(p, m_date + (cell - current), r);
        else
            p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, QString::number(CellDay(cell)));
    }
    PaintCurrentDay(p, CellRect(current));
}
