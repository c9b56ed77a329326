#pragma once

// The kit's month calendar: its colours, day names and date formats, and the
// calendar control with its attached labels.

#include "components/kitbase.h"
#include "components/kitcolors.h"
#include "components/kitctrls.h"
#include "components/kitsplit.h"

#include <QPointer>
#include <QRect>

#include <array>
#include <cstdint>
#include <functional>

class QMenu;
class QPainter;

// Scoped: the attached label's colour schemes share some of the names.
enum class TKitCalColorScheme : uint8_t { csCustom, csWindows, csGold, csOcean, csRose };
enum TKitDateFormat : uint8_t { dfShort, dfLong };
enum TKitDayType : uint8_t { dtSunday, dtMonday, dtTuesday, dtWednesday, dtThursday, dtFriday, dtSaturday };
// 1..3 characters of the day names.
using TKitDayNameWidth = int;

// The six colours of a calendar, by index 0..5 as the named accessors give
// them. Setting a colour by hand makes the scheme csCustom; setting a scheme
// other than csCustom copies its row of colours.
class TKitCalColors {
public:
    enum Index { ActiveDayIndex, DayNamesIndex, DaysIndex, InactiveDaysIndex, MonthAndYearIndex, WeekendIndex };

    TKitCalColors();

    TColor Color(int index) const { return m_colors[size_t(index)]; }
    void SetColor(int index, TColor color);

    TColor ActiveDay() const { return Color(ActiveDayIndex); }
    void SetActiveDay(TColor c) { SetColor(ActiveDayIndex, c); }
    TColor DayNames() const { return Color(DayNamesIndex); }
    void SetDayNames(TColor c) { SetColor(DayNamesIndex, c); }
    TColor Days() const { return Color(DaysIndex); }
    void SetDays(TColor c) { SetColor(DaysIndex, c); }
    TColor InactiveDays() const { return Color(InactiveDaysIndex); }
    void SetInactiveDays(TColor c) { SetColor(InactiveDaysIndex, c); }
    TColor MonthAndYear() const { return Color(MonthAndYearIndex); }
    void SetMonthAndYear(TColor c) { SetColor(MonthAndYearIndex, c); }
    TColor Weekend() const { return Color(WeekendIndex); }
    void SetWeekend(TColor c) { SetColor(WeekendIndex, c); }

    TKitCalColorScheme ColorScheme() const { return m_scheme; }
    void SetColorScheme(TKitCalColorScheme scheme);

    // The six colours and the scheme, without telling anyone.
    void Assign(const TKitCalColors& other);

    // The colours of a scheme's row (csCustom's row is zeros, never applied).
    static std::array<TColor, 6> SchemeColors(TKitCalColorScheme scheme);

    // Called after a change (the calendar repaints).
    std::function<void()> OnChange;

private:
    std::array<TColor, 6> m_colors {};
    TKitCalColorScheme m_scheme = TKitCalColorScheme::csCustom;
    bool m_updating = false;
    bool m_settingScheme = false;
};

// A month calendar drawn by the control itself: a title with the month and
// year between four arrow buttons (month and year back and forth), a row of
// day names, six week rows and a "today" button in the bottom-right corner.
// Keys, clicks and the wheel move the date; OnChange reports a chosen date.
//
// Keys without modifiers: Left/Right a day, Up/Down a week, Home/End the
// month's first and last day, PgUp/PgDn a month (the day clamped to the
// month's length); Ctrl+PgUp/PgDn a year; Alt+Backspace today. OnChange fires
// when a key changed the date, on Enter and Space, on a left click on a day
// and from the today button; Ctrl+Z goes to today silently. A right click on
// the middle of the title offers the three months before and after.
//
// Dates are whole days since 1899-12-30 (0 until the calendar is first shown
// or a date is set; then today). Years below 100 are refused with EKitError.
class TKitCustomCalendar : public TKitBase {
    Q_OBJECT
public:
    explicit TKitCustomCalendar(QWidget* parent = nullptr);
    // A pop-up calendar: a window of its own with a thin border.
    TKitCustomCalendar(QWidget* owner, bool popup);
    ~TKitCustomCalendar() override;

    double Date() const { return m_date; }
    // True while OnChange runs for a key (or a button or the wheel acting as
    // one).
    bool Changing() const { return m_changing; }
    // The one way the date changes; fires nothing.
    void SetDate(double date);

    // Replace the drawing of the title and of each day number; they draw with
    // the calendar's painter into the rectangle given.
    using DrawDateEvent = std::function<void(QPainter& painter, double date, const QRect& rect)>;
    DrawDateEvent OnDrawDate;
    DrawDateEvent OnDrawItem;

    // Cells 1..42, row by row; the day number each shows and its rectangle.
    int CellDay(int cell) const { return m_days[size_t(cell - 1)]; }
    QRect CellRect(int cell) const;
    int FirstCell() const { return m_firstCell; }
    int LastCell() const { return m_lastCell; }
    int CurrentCell() const { return m_firstCell + m_day - 1; }
    QRect TitleRect() const;
    // The title as it is drawn (long or short month name).
    QString TitleText() const;
    // The day name over column 0..6.
    QString DayNameText(int column) const;

    TKitSpeedButton* PrevMonthButton() const { return m_prevMonth; }
    TKitSpeedButton* NextMonthButton() const { return m_nextMonth; }
    TKitSpeedButton* PrevYearButton() const { return m_prevYear; }
    TKitSpeedButton* NextYearButton() const { return m_nextYear; }
    TKitSpeedButton* TodayButton() const { return m_today; }

signals:
    void OnChange(double date);

protected:
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);
    TKitCalColors& Colors() { return m_colors; }
    bool Ctl3D() const { return m_ctl3D; }
    void SetCtl3D(bool on);
    TKitDayNameWidth DayNameWidth() const { return m_dayNameWidth; }
    void SetDayNameWidth(TKitDayNameWidth width);
    TKitDateFormat DateFormat() const { return m_dateFormat; }
    void SetDateFormat(TKitDateFormat format);
    // The colour of the font (the separator line without Ctl3D).
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color);
    // While one is set, a right click on the title offers no months.
    QMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu* menu) { m_popupMenu = menu; }
    bool ShowDate() const { return m_showDate; }
    void SetShowDate(bool on);
    bool ShowInactive() const { return m_showInactive; }
    void SetShowInactive(bool on);
    bool ShowToday() const { return m_showToday; }
    void SetShowToday(bool on);
    QString Version() const { return QStringLiteral("1.11"); }
    TKitDayType WeekStarts() const { return m_weekStarts; }
    void SetWeekStarts(TKitDayType day);

    void DoMouseWheel(Qt::KeyboardModifiers shift, int delta, int xPos, int yPos) override;

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TKitSpeedButton* MakeButton(const char* name, const QString& bitmap);
    void CreateWnd();
    void CalcMonth();
    void CalcLayout();
    void PlaceButtons();
    // A key's date change; fires OnChange when the date changed. False for a
    // key the calendar does not move by.
    bool KeyAction(int key, Qt::KeyboardModifiers shift);
    void FireChange(double date);
    void ButtonClick(TKitSpeedButton* button);
    void ShowMonthMenu(const QPoint& at);
    void MonthChosen(int month, int position);
    double Today() const;
    // Day day of month months from the current one, the day clamped.
    double MonthStep(int months) const;
    int FrameWidth() const;
    int ClientWidth() const { return width() - 2 * FrameWidth(); }
    int ClientHeight() const { return height() - 2 * FrameWidth(); }
    QRect CellOnWidget(int row, int column) const;
    int CellAt(const QPoint& pos) const;
    void UpdateCell(int cell);
    void PaintFrame(QPainter& p);
    void PaintCurrentDay(QPainter& p, const QRect& r);

    bool m_changing = false;
    double m_date = 0;
    TKitCalColors m_colors;
    TKitDateFormat m_dateFormat = dfLong;
    TKitDayNameWidth m_dayNameWidth = 3;
    bool m_showDate = true;
    bool m_showInactive = false;
    bool m_showToday = true;
    bool m_ctl3D = true;
    TColor m_fontColor = clWindowText;
    TBorderStyle m_borderStyle = bsNone;
    TKitDayType m_weekStarts = dtSunday;
    QPointer<QMenu> m_popupMenu;
    TKitSpeedButton* m_prevMonth;
    TKitSpeedButton* m_nextMonth;
    QPointer<TKitSpeedButton> m_today;
    TKitSpeedButton* m_nextYear;
    TKitSpeedButton* m_prevYear;
    bool m_menuActive = false;
    std::array<int, 42> m_days {};
    int m_day = 1;
    int m_month = 1;
    int m_year = 1900;
    int m_firstCell = 1;
    int m_lastCell = 31;
    // Row 0 the title, row 1 the day names, rows 2..7 the weeks; in the
    // coordinates of the area inside the border.
    std::array<std::array<QRect, 7>, 8> m_cells {};
    int m_usableWidth = 0;
    bool m_popup = false;
    bool m_created = false;
    bool m_layingOut = false;
};

// The calendar as forms place it.
class TKitCalendar : public TKitCustomCalendar {
    Q_OBJECT
public:
    using TKitCustomCalendar::TKitCustomCalendar;

    using TKitCustomCalendar::BorderStyle;
    using TKitCustomCalendar::Colors;
    using TKitCustomCalendar::Ctl3D;
    using TKitCustomCalendar::DateFormat;
    using TKitCustomCalendar::DayNameWidth;
    using TKitCustomCalendar::FontColor;
    using TKitCustomCalendar::PopupMenu;
    using TKitCustomCalendar::SetBorderStyle;
    using TKitCustomCalendar::SetCtl3D;
    using TKitCustomCalendar::SetDateFormat;
    using TKitCustomCalendar::SetDayNameWidth;
    using TKitCustomCalendar::SetFontColor;
    using TKitCustomCalendar::SetPopupMenu;
    using TKitCustomCalendar::SetShowDate;
    using TKitCustomCalendar::SetShowInactive;
    using TKitCustomCalendar::SetShowToday;
    using TKitCustomCalendar::SetWeekStarts;
    using TKitCustomCalendar::ShowDate;
    using TKitCustomCalendar::ShowInactive;
    using TKitCustomCalendar::ShowToday;
    using TKitCustomCalendar::Version;
    using TKitCustomCalendar::WeekStarts;
};
