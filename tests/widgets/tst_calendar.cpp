// The month calendar on real widgets: the cells of months that begin on each
// weekday, moves by key, button, click, wheel and month menu across month and
// year ends, the colours as painted, the layout; the shaded label and how an
// attached label follows its control; the calendar window of the program.
#include "components/contexthelp.h"
#include "components/kitcal.h"
#include "components/kiterrors.h"
#include "components/kitlabel.h"
#include "components/kitutil.h"
#include "platform/datetime.h"
#include "platform/tag.h"
#include "reminders/ruvo_kalendar.h"
#include "reminders/ruvo_zaklad.h"
#include "shared/commands.h"

#include "components/forms.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <functional>
#include <memory>

namespace {

const QDateTime T0(QDate(2024, 6, 10), QTime(9, 0));

double D(int y, int m, int d)
{
    return EncodeDate(y, m, d);
}

QDate Q(double dt)
{
    return DateTimeToQDate(dt);
}

// Text without blending, so that painted colours can be compared exactly.
QFont CrispFont(int pixels = 15)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

int CountColor(const QImage& image, const QRect& area, const QColor& color)
{
    int n = 0;
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += image.pixelColor(x, y).rgb() == color.rgb();
    return n;
}

// The extent of the pixels of one colour.
QRect Extent(const QImage& image, const QColor& color)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == color.rgb())
                r |= QRect(x, y, 1, 1);
    return r;
}

void SaveArtifact(const QImage& image, const QString& name)
{
    image.save(artifactPath(name));
}

// A shown calendar on a form of its own.
struct Shown {
    Shown()
    {
        form.resize(360, 320);
        calendar = new TKitCalendar(&form);
        calendar->setObjectName(QStringLiteral("Cal1"));
        calendar->setFont(CrispFont());
        calendar->setGeometry(20, 60, 280, 220);
        form.show();
    }
    QWidget form;
    TKitCalendar* calendar;
};

void Wheel(QWidget* w, int delta)
{
    const QPointF at(w->width() / 2, w->height() / 2);
    QWheelEvent event(
        at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

// Picks the item at position p of the month menu as soon as it is open.
void PickMonthItem(int position, QStringList* captions)
{
    QTimer::singleShot(0, [position, captions] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* a : menu->actions())
            captions->append(a->text() + QLatin1Char('=') + QString::number(tag(a)));
        menu->setActiveAction(menu->actions().at(position));
        QTest::keyClick(menu, Qt::Key_Return);
    });
}

} // namespace

class TestCalendar : public QObject {
    Q_OBJECT

    std::unique_ptr<FixedClock> m_clock;

private slots:
    void init() { m_clock = std::make_unique<FixedClock>(T0); }
    void cleanup() { m_clock.reset(); }

    void theDateIsTodayOnceShownAndTheVersionReads111()
    {
        QWidget form;
        auto* c = new TKitCalendar(&form);
        QCOMPARE(c->Date(), 0.0);
        QCOMPARE(c->Version(), QStringLiteral("1.11"));
        QCOMPARE(c->size(), QSize(200, 140));
        QCOMPARE(c->WeekStarts(), dtSunday);
        QCOMPARE(c->DateFormat(), dfLong);
        QCOMPARE(c->Colors().ColorScheme(), TKitCalColorScheme::csCustom);
        QCOMPARE(c->Colors().Weekend(), clRed);
        QVERIFY(!c->KitLabelInfo().Visible());
        form.show();
        QCOMPARE(Q(c->Date()), QDate(2024, 6, 10));
    }

    void aPopUpCalendarIsAWindowWithABorder()
    {
        QWidget owner;
        TKitCalendar popup(&owner, true);
        QVERIFY(popup.isWindow());
        QVERIFY(popup.windowFlags().testFlag(Qt::Popup));
        popup.show();
        QCOMPARE(Q(popup.Date()), QDate(2024, 6, 10));
        // A border and a sunken edge.
        QCOMPARE(popup.PrevMonthButton()->pos(), QPoint(7, 7));
        QCOMPARE(popup.CellRect(42).bottom() + 1 + 7, popup.height());
        popup.close();
    }

    void monthLayout_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("weekStarts");
        QTest::addColumn<int>("firstCell");
        QTest::addColumn<int>("lastCell");
        QTest::addColumn<int>("cell1");
        QTest::addColumn<int>("afterLast");
        // 2024: September begins on a Sunday, April a Monday, October a
        // Tuesday, May a Wednesday, August a Thursday, March a Friday and
        // June a Saturday.
        QTest::newRow("Sun-start Sunday") << 2024 << 9 << int(dtSunday) << 1 << 30 << 1 << 1;
        QTest::newRow("Sun-start Monday") << 2024 << 4 << int(dtSunday) << 2 << 31 << 31 << 1;
        QTest::newRow("Sun-start Saturday") << 2024 << 6 << int(dtSunday) << 7 << 36 << 26 << 1;
        QTest::newRow("Mon-start Sunday") << 2024 << 9 << int(dtMonday) << 7 << 36 << 26 << 1;
        QTest::newRow("Mon-start Monday") << 2024 << 4 << int(dtMonday) << 1 << 30 << 1 << 1;
        QTest::newRow("Mon-start Tuesday") << 2024 << 10 << int(dtMonday) << 2 << 32 << 30 << 1;
        QTest::newRow("Mon-start Wednesday") << 2024 << 5 << int(dtMonday) << 3 << 33 << 29 << 1;
        QTest::newRow("Mon-start Thursday") << 2024 << 8 << int(dtMonday) << 4 << 34 << 29 << 1;
        // The cells before it hold the 29 days of a leap February.
        QTest::newRow("Mon-start Friday") << 2024 << 3 << int(dtMonday) << 5 << 35 << 26 << 1;
        QTest::newRow("Mon-start Saturday") << 2024 << 6 << int(dtMonday) << 6 << 35 << 27 << 1;
        QTest::newRow("leap February") << 2024 << 2 << int(dtMonday) << 4 << 32 << 29 << 1;
        QTest::newRow("common February") << 2023 << 2 << int(dtMonday) << 3 << 30 << 30 << 1;
        QTest::newRow("four whole weeks") << 2021 << 2 << int(dtMonday) << 1 << 28 << 1 << 1;
        QTest::newRow("January after December") << 2022 << 1 << int(dtMonday) << 6 << 36 << 27 << 1;
        QTest::newRow("1900 is no leap year") << 1900 << 3 << int(dtSunday) << 5 << 35 << 25 << 1;
        QTest::newRow("Sat-start Saturday") << 2024 << 6 << int(dtSaturday) << 1 << 30 << 1 << 1;
        QTest::newRow("Wed-start Tuesday") << 2024 << 10 << int(dtWednesday) << 7 << 37 << 25 << 1;
    }
    void monthLayout()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, weekStarts);
        QFETCH(int, firstCell);
        QFETCH(int, lastCell);
        QFETCH(int, cell1);
        QFETCH(int, afterLast);
        Shown s;
        TKitCalendar* c = s.calendar;
        c->SetWeekStarts(TKitDayType(weekStarts));
        c->SetDate(D(year, month, 15));
        QCOMPARE(c->FirstCell(), firstCell);
        QCOMPARE(c->LastCell(), lastCell);
        QCOMPARE(c->CellDay(1), cell1);
        QCOMPARE(c->CellDay(firstCell), 1);
        QCOMPARE(c->CellDay(lastCell), KitUtil::DaysInMonth(year, month));
        QCOMPARE(c->CellDay(lastCell + 1), afterLast);
        QCOMPARE(c->CurrentCell(), firstCell + 14);
        // Days before the first run down to the cell before it, days after
        // the last count up to cell 42.
        for (int cell = 2; cell < firstCell; ++cell)
            QCOMPARE(c->CellDay(cell), c->CellDay(cell - 1) + 1);
        QCOMPARE(c->CellDay(42), 42 - lastCell);
    }

    void dayNamesFollowTheFirstDayOfTheWeek()
    {
        Shown s;
        TKitCalendar* c = s.calendar;
        QCOMPARE(c->DayNameText(0), QStringLiteral("ne"));
        QCOMPARE(c->DayNameText(6), QStringLiteral("so"));
        c->SetWeekStarts(dtMonday);
        QStringList names;
        for (int column = 0; column < 7; ++column)
            names << c->DayNameText(column);
        QCOMPARE(names, QStringList({ "po", "út", "st", "čt", "pá", "so", "ne" }));
        c->SetDayNameWidth(1);
        QCOMPARE(c->DayNameText(1), QStringLiteral("ú"));
        c->SetDayNameWidth(9);
        QCOMPARE(c->DayNameWidth(), 3);
    }

    void keys_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QDate>("to");
        const int none = Qt::NoModifier;
        const int ctrl = Qt::ControlModifier;
        const int shift = Qt::ShiftModifier;
        const int alt = Qt::AltModifier;
        QTest::newRow("31 Jan PgDn, leap") << QDate(2024, 1, 31) << int(Qt::Key_PageDown) << none << QDate(2024, 2, 29);
        QTest::newRow("31 Jan PgDn") << QDate(2023, 1, 31) << int(Qt::Key_PageDown) << none << QDate(2023, 2, 28);
        QTest::newRow("31 Mar PgUp") << QDate(2024, 3, 31) << int(Qt::Key_PageUp) << none << QDate(2024, 2, 29);
        QTest::newRow("31 May PgDn") << QDate(2024, 5, 31) << int(Qt::Key_PageDown) << none << QDate(2024, 6, 30);
        QTest::newRow("January PgUp") << QDate(2024, 1, 15) << int(Qt::Key_PageUp) << none << QDate(2023, 12, 15);
        QTest::newRow("December PgDn") << QDate(2023, 12, 31) << int(Qt::Key_PageDown) << none << QDate(2024, 1, 31);
        QTest::newRow("29 Feb Ctrl+PgDn") << QDate(2000, 2, 29) << int(Qt::Key_PageDown) << ctrl << QDate(2001, 2, 28);
        QTest::newRow("29 Feb Ctrl+Shift+PgUp")
            << QDate(2000, 2, 29) << int(Qt::Key_PageUp) << (ctrl | shift) << QDate(1999, 2, 28);
        QTest::newRow("Ctrl+PgUp over 1900") << QDate(1904, 2, 29) << int(Qt::Key_PageUp) << ctrl << QDate(1903, 2, 28);
        QTest::newRow("Right at year end") << QDate(2023, 12, 31) << int(Qt::Key_Right) << none << QDate(2024, 1, 1);
        QTest::newRow("Left at year start") << QDate(2024, 1, 1) << int(Qt::Key_Left) << none << QDate(2023, 12, 31);
        QTest::newRow("Right into leap day") << QDate(2024, 2, 28) << int(Qt::Key_Right) << none << QDate(2024, 2, 29);
        QTest::newRow("Down over year end") << QDate(2023, 12, 28) << int(Qt::Key_Down) << none << QDate(2024, 1, 4);
        QTest::newRow("Up over year end") << QDate(2024, 1, 3) << int(Qt::Key_Up) << none << QDate(2023, 12, 27);
        QTest::newRow("Home") << QDate(2024, 2, 17) << int(Qt::Key_Home) << none << QDate(2024, 2, 1);
        QTest::newRow("End of a leap February") << QDate(2024, 2, 17) << int(Qt::Key_End) << none << QDate(2024, 2, 29);
        QTest::newRow("End of a common February")
            << QDate(2100, 2, 1) << int(Qt::Key_End) << none << QDate(2100, 2, 28);
        QTest::newRow("Alt+Backspace") << QDate(2020, 5, 5) << int(Qt::Key_Backspace) << alt << QDate(2024, 6, 10);
        QTest::newRow("Ctrl+Alt+Backspace")
            << QDate(2020, 5, 5) << int(Qt::Key_Backspace) << (ctrl | alt) << QDate(2024, 6, 10);
        // Keys without modifiers do nothing with one.
        QTest::newRow("Shift+Left") << QDate(2024, 2, 17) << int(Qt::Key_Left) << shift << QDate(2024, 2, 17);
        QTest::newRow("Ctrl+Home") << QDate(2024, 2, 17) << int(Qt::Key_Home) << ctrl << QDate(2024, 2, 17);
        QTest::newRow("Shift+PgDn") << QDate(2024, 2, 17) << int(Qt::Key_PageDown) << shift << QDate(2024, 2, 17);
        QTest::newRow("Backspace") << QDate(2020, 5, 5) << int(Qt::Key_Backspace) << none << QDate(2020, 5, 5);
        QTest::newRow("Home on the 1st") << QDate(2024, 2, 1) << int(Qt::Key_Home) << none << QDate(2024, 2, 1);
    }
    void keys()
    {
        QFETCH(QDate, from);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QDate, to);
        Shown s;
        TKitCalendar* c = s.calendar;
        c->SetDate(QDateToDateTime(from));
        QList<bool> changing;
        connect(c, &TKitCustomCalendar::OnChange, c, [&changing, c] { changing << c->Changing(); });
        QSignalSpy changes(c, &TKitCustomCalendar::OnChange);
        QTest::keyClick(c, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(Q(c->Date()), to);
        if (to == from) {
            QCOMPARE(changes.size(), 0);
        } else {
            QCOMPARE(changes.size(), 1);
            QCOMPARE(Q(changes.first().first().toDouble()), to);
            QCOMPARE(changing, QList<bool>({ true }));
            QVERIFY(!c->Changing());
        }
    }

    void enterAndSpaceReportTheDateCtrlZGoesHomeSilently()
    {
        Shown s;
        TKitCalendar* c = s.calendar;
        c->SetDate(D(2023, 3, 3));
        QSignalSpy changes(c, &TKitCustomCalendar::OnChange);
        QTest::keyClick(c, Qt::Key_Return);
        QTest::keyClick(c, Qt::Key_Space);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(Q(changes.at(1).first().toDouble()), QDate(2023, 3, 3));
        QTest::keyClick(c, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Q(c->Date()), QDate(2024, 6, 10));
        QCOMPARE(changes.size(), 2);
    }

    void yearsBelow100AreRefusedAndLeaveTheDate()
    {
        Shown s;
        TKitCalendar* c = s.calendar;
        // January of the year 100 shows; the days before it are December's.
        c->SetDate(D(100, 1, 1));
        QCOMPARE(c->CellDay(c->FirstCell()), 1);
        if (c->FirstCell() > 1)
            QCOMPARE(c->CellDay(c->FirstCell() - 1), 31);
        try {
            c->SetDate(D(99, 12, 31));
            QFAIL("year 99 accepted");
        } catch (const EKitError& e) {
            QCOMPARE(e.message(), QStringLiteral("Invalid year \"99\""));
        }
        QCOMPARE(Q(c->Date()), QDate(100, 1, 1));
    }

    void arrowButtonsActAsKeysTodayAlwaysReports()
    {
        Shown s;
        TKitCalendar* c = s.calendar;
        c->SetDate(D(2024, 1, 31));
        QSignalSpy changes(c, &TKitCustomCalendar::OnChange);
        c->NextMonthButton()->Click();
        QCOMPARE(Q(c->Date()), QDate(2024, 2, 29));
        c->PrevMonthButton()->Click();
        QCOMPARE(Q(c->Date()), QDate(2024, 1, 29));
        c->NextYearButton()->Click();
        QCOMPARE(Q(c->Date()), QDate(2025, 1, 29));
        c->PrevYearButton()->Click();
        QCOMPARE(Q(c->Date()), QDate(2024, 1, 29));
        QCOMPARE(changes.size(), 4);
        c->TodayButton()->Click();
        QCOMPARE(Q(c->Date()), QDate(2024, 6, 10));
        c->TodayButton()->Click();
        QCOMPARE(changes.size(), 6);
        QCOMPARE(Q(changes.last().first().toDouble()), QDate(2024, 6, 10));

        c->SetShowToday(false);
        QVERIFY(!c->TodayButton());
        c->SetShowToday(true);
        QVERIFY(c->TodayButton());
        QVERIFY(c->TodayButton()->isVisible());
        c->SetDate(D(2020, 1, 1));
        c->TodayButton()->Click();
        QCOMPARE(Q(c->Date()), QDate(2024, 6, 10));
    }

    void clicksOnDays()
    {
        Shown s;
        QVERIFY(QTest::qWaitForWindowActive(&s.form));
        TKitCalendar* c = s.calendar;
        c->SetWeekStarts(dtMonday);
        c->SetDate(D(2024, 2, 10)); // cells 4..32 are February
        QSignalSpy changes(c, &TKitCustomCalendar::OnChange);
        // A greyed day of the next month takes no click.
        QTest::mouseClick(c, Qt::LeftButton, {}, c->CellRect(34).center());
        QCOMPARE(Q(c->Date()), QDate(2024, 2, 10));
        QCOMPARE(changes.size(), 0);
        // An active day: moves there and reports.
        QTest::mouseClick(c, Qt::LeftButton, {}, c->CellRect(32).center());
        QCOMPARE(Q(c->Date()), QDate(2024, 2, 29));
        QCOMPARE(changes.size(), 1);
        QVERIFY(c->hasFocus());
        // The current day reports again.
        QTest::mouseClick(c, Qt::LeftButton, {}, c->CellRect(32).center());
        QCOMPARE(changes.size(), 2);
        // The right button moves without a report.
        QTest::mouseClick(c, Qt::RightButton, {}, c->CellRect(10).center());
        QCOMPARE(Q(c->Date()), QDate(2024, 2, 7));
        QCOMPARE(changes.size(), 2);
        // With inactive days on, a greyed day of the month before counts.
        c->SetShowInactive(true);
        QTest::mouseClick(c, Qt::LeftButton, {}, c->CellRect(1).center());
        QCOMPARE(Q(c->Date()), QDate(2024, 1, 29));
        QCOMPARE(changes.size(), 3);
        QCOMPARE(c->FirstCell(), 1);
        // Outside every cell (the title) nothing moves.
        QTest::mouseClick(c, Qt::LeftButton, {}, c->TitleRect().center());
        QCOMPARE(Q(c->Date()), QDate(2024, 1, 29));
    }

    void wheel()
    {
        Shown s;
        TKitCalendar* c = s.calendar;
        c->SetDate(D(2024, 3, 31));
        QSignalSpy wheels(c, &TKitBase::OnMouseWheel);
        QSignalSpy changes(c, &TKitCustomCalendar::OnChange);
        Wheel(c, 120);
        QCOMPARE(Q(c->Date()), QDate(2024, 2, 29));
        Wheel(c, -120);
        QCOMPARE(Q(c->Date()), QDate(2024, 3, 29));
        Wheel(c, -240);
        QCOMPARE(Q(c->Date()), QDate(2025, 3, 29));
        Wheel(c, 360);
        QCOMPARE(Q(c->Date()), QDate(2024, 3, 29));
        // Fine wheels move by a week.
        Wheel(c, 40);
        QCOMPARE(Q(c->Date()), QDate(2024, 3, 22));
        Wheel(c, -15);
        QCOMPARE(Q(c->Date()), QDate(2024, 3, 29));
        QCOMPARE(wheels.size(), 6);
        QCOMPARE(wheels.at(2).at(1).toInt(), -240);
        QCOMPARE(changes.size(), 6);

        // A sideways wheel is no wheel: nothing moves, and the parent gets it.
        for (const QPoint angle : { QPoint(120, 0), QPoint(-120, 0), QPoint(15, 0) }) {
            const QPointF at(c->width() / 2, c->height() / 2);
            QWheelEvent event(
                at, c->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(c, &event);
            QVERIFY(!event.isAccepted());
        }
        // Alt turns the vertical wheel sideways; it still steps the month.
        const QPointF at(c->width() / 2, c->height() / 2);
        QWheelEvent alt(
            at, c->mapToGlobal(at), QPoint(), QPoint(120, 0), Qt::NoButton, Qt::AltModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(c, &alt);
        QCOMPARE(Q(c->Date()), QDate(2024, 2, 29));
        QCOMPARE(wheels.size(), 7);
        QCOMPARE(changes.size(), 7);
    }

    void monthMenu_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("position");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("October before January") << QDate(2024, 1, 31) << 0 << QDate(2023, 10, 31) << "říjen=10"
                                                << "duben=4";
        QTest::newRow("April after January") << QDate(2024, 1, 31) << 6 << QDate(2024, 4, 30) << "říjen=10"
                                             << "duben=4";
        QTest::newRow("February after November") << QDate(2023, 11, 30) << 6 << QDate(2024, 2, 29) << "srpen=8"
                                                 << "únor=2";
        QTest::newRow("the month itself") << QDate(2023, 11, 30) << 3 << QDate(2023, 11, 30) << "srpen=8"
                                          << "únor=2";
        QTest::newRow("September in the same year") << QDate(2023, 11, 30) << 1 << QDate(2023, 9, 30) << "srpen=8"
                                                    << "únor=2";
    }
    void monthMenu()
    {
        QFETCH(QDate, from);
        QFETCH(int, position);
        QFETCH(QDate, to);
        QFETCH(QString, first);
        QFETCH(QString, last);
        Shown s;
        TKitCalendar* c = s.calendar;
        c->SetDate(QDateToDateTime(from));
        QSignalSpy changes(c, &TKitCustomCalendar::OnChange);
        QStringList captions;
        PickMonthItem(position, &captions);
        QTest::mouseClick(c, Qt::RightButton, {}, c->TitleRect().center());
        QCOMPARE(captions.size(), 7);
        QCOMPARE(captions.first(), first);
        QCOMPARE(captions.last(), last);
        QCOMPARE(Q(c->Date()), to);
        QCOMPARE(changes.size(), 0);
    }

    void noMonthMenuBesideTheTitleOrWithAPopupMenu()
    {
        Shown s;
        TKitCalendar* c = s.calendar;
        c->SetDate(D(2024, 1, 31));
        QStringList captions;
        PickMonthItem(0, &captions);
        // Over an arrow button's column, left of the title's middle.
        QTest::mouseClick(c, Qt::RightButton, {}, QPoint(c->PrevYearButton()->x() + 2, c->TitleRect().center().y()));
        QCOMPARE(captions.size(), 0);
        QCOMPARE(Q(c->Date()), QDate(2024, 1, 31));
        QCoreApplication::processEvents(); // the pick finds no menu
    }

    // An assigned menu pops up where the right button was released, over the
    // title as over a day (which the press moved to without OnChange).
    void assignedPopupMenuPopsUp()
    {
        Shown s;
        TKitCalendar* c = s.calendar;
        c->SetDate(D(2024, 1, 31));
        QMenu popup;
        popup.addAction(QStringLiteral("dnes"));
        c->SetPopupMenu(&popup);
        QSignalSpy changes(c, &TKitCustomCalendar::OnChange);
        for (const QPoint at : { c->TitleRect().center(), c->CellRect(10).center() }) {
            QTest::mouseClick(c, Qt::RightButton, {}, at);
            QTRY_VERIFY(popup.isVisible());
            QCOMPARE(QApplication::activePopupWidget(), &popup);
            QCOMPARE(popup.pos(), c->mapToGlobal(at));
            popup.close();
        }
        QCOMPARE(changes.size(), 0);
        QCOMPARE(Q(c->Date()).month(), 1);
        // A left click opens nothing.
        QTest::mouseClick(c, Qt::LeftButton, {}, c->CellRect(12).center());
        QCoreApplication::processEvents();
        QVERIFY(!popup.isVisible());
    }

    void layout()
    {
        Shown s;
        TKitCalendar* c = s.calendar;
        for (const QSize size : { QSize(280, 220), QSize(203, 147), QSize(500, 431) }) {
            c->resize(size);
            // Columns share the width less 8; the first (width - 8) % 7 are a pixel wider.
            const int usable = size.width() - 8;
            for (int column = 0; column < 7; ++column) {
                const QRect cell = c->CellRect(1 + column);
                QCOMPARE(cell.width(), usable / 7 + (column < usable % 7 ? 1 : 0));
                QCOMPARE(cell.left(), column == 0 ? 4 : c->CellRect(column).right() + 1);
            }
            // The rows fill the height less 8, the weeks equal.
            QCOMPARE(c->TitleRect().top(), 4);
            QCOMPARE(c->CellRect(42).bottom() + 1 + 4, size.height());
            for (int cell = 8; cell <= 42; cell += 7)
                QCOMPARE(c->CellRect(cell).height(), c->CellRect(1).height());
            // Arrows: month outside, year inside; today over the last two cells.
            const QRect prevMonth = c->PrevMonthButton()->geometry();
            const QRect nextMonth = c->NextMonthButton()->geometry();
            QCOMPARE(prevMonth.topLeft(), QPoint(4, 4));
            QCOMPARE(c->PrevYearButton()->x(), prevMonth.right() + 1);
            QCOMPARE(nextMonth.right() + 1, size.width() - 4);
            QCOMPARE(c->NextYearButton()->geometry().right() + 1, nextMonth.left());
            QCOMPARE(prevMonth.height(), c->TitleRect().height() - 4);
            const QRect today = c->TodayButton()->geometry();
            QCOMPARE(today.bottomRight(), QPoint(size.width() - 5, size.height() - 5));
            QCOMPARE(today.height(), c->CellRect(42).height());
            QCOMPARE(today.width(), c->CellRect(41).width() + c->CellRect(42).width() - 4);
            QCOMPARE(c->TitleRect().left(), c->CellRect(2).left());
            QCOMPARE(c->TitleRect().right() + 1, c->CellRect(7).left());
        }
        // A frame takes its width from every side.
        c->SetBorderStyle(bsSingle);
        QCOMPARE(c->PrevMonthButton()->pos(), QPoint(6, 6));
        QCOMPARE(c->CellRect(42).bottom() + 1 + 6, c->height());
        c->SetCtl3D(false);
        QCOMPARE(c->PrevMonthButton()->pos(), QPoint(5, 5));
    }

    void longTitleFallsBackToShortWhenNarrow()
    {
        Shown s;
        TKitCalendar* c = s.calendar;
        c->SetDate(D(2024, 9, 1));
        QCOMPARE(c->TitleText(), QStringLiteral("září 2024"));
        c->SetDateFormat(dfShort);
        QCOMPARE(c->TitleText(), QStringLiteral("zář 2024"));
        c->SetDateFormat(dfLong);
        c->resize(90, 140);
        QVERIFY(QFontMetrics(c->font()).horizontalAdvance(QStringLiteral("září 2024")) > c->TitleRect().width());
        QCOMPARE(c->TitleText(), QStringLiteral("zář 2024"));
    }

    void colourSchemes_data()
    {
        QTest::addColumn<int>("scheme");
        QTest::newRow("windows") << int(TKitCalColorScheme::csWindows);
        QTest::newRow("gold") << int(TKitCalColorScheme::csGold);
        QTest::newRow("ocean") << int(TKitCalColorScheme::csOcean);
        QTest::newRow("rose") << int(TKitCalColorScheme::csRose);
    }
    void colourSchemes()
    {
        QFETCH(int, scheme);
        Shown s;
        TKitCalendar* c = s.calendar;
        c->SetWeekStarts(dtMonday);
        c->SetDate(D(2024, 5, 15)); // cells 3..33; the 15th in cell 17
        c->Colors().SetColorScheme(TKitCalColorScheme(scheme));
        QCOMPARE(c->Colors().ColorScheme(), TKitCalColorScheme(scheme));
        const auto row = TKitCalColors::SchemeColors(TKitCalColorScheme(scheme));
        for (int i = 0; i < 6; ++i)
            QCOMPARE(c->Colors().Color(i), row[size_t(i)]);
        c->clearFocus();
        const QImage shot = c->grab().toImage();
        const auto color = [](TColor tc) { return ColorToQColor(tc); };
        const auto painted = [&](const QRect& r, TColor tc) { return CountColor(shot, r, color(tc)); };
        const TKitCalColors& k = c->Colors();
        QVERIFY(painted(c->TitleRect(), k.MonthAndYear()) > 0);
        const QRect names(
            4, c->TitleRect().bottom() + 1, c->width() - 8, c->CellRect(1).top() - c->TitleRect().bottom() - 1);
        QVERIFY(painted(names, k.DayNames()) > 0);
        // Weekday, weekend (Saturday the 18th, Sunday the 19th), greyed days.
        QVERIFY(painted(c->CellRect(8), k.Days()) > 0);
        QVERIFY(painted(c->CellRect(20), k.Weekend()) > 0);
        QVERIFY(painted(c->CellRect(21), k.Weekend()) > 0);
        QVERIFY(painted(c->CellRect(1), k.InactiveDays()) > 0);
        QVERIFY(painted(c->CellRect(35), k.InactiveDays()) > 0);
        QCOMPARE(painted(c->CellRect(35), k.Weekend()), 0); // a greyed Sunday
        QVERIFY(painted(c->CellRect(17), k.ActiveDay()) > 0);
        QVERIFY(painted(c->CellRect(17), clBtnHighlight) > 0); // the raised face
        SaveArtifact(shot, QStringLiteral("calendar-scheme-%1.png").arg(scheme));
    }

    void colourByHandMakesTheSchemeCustom()
    {
        TKitCalColors colors;
        int changes = 0;
        colors.OnChange = [&changes] { ++changes; };
        colors.SetColorScheme(TKitCalColorScheme::csGold);
        QCOMPARE(changes, 1);
        QCOMPARE(colors.Days(), clYellow);
        colors.SetDays(clYellow);
        QCOMPARE(changes, 1);
        QCOMPARE(colors.ColorScheme(), TKitCalColorScheme::csGold);
        colors.SetDays(clLime);
        QCOMPARE(changes, 2);
        QCOMPARE(colors.ColorScheme(), TKitCalColorScheme::csCustom);
        TKitCalColors copy;
        copy.OnChange = [&changes] { ++changes; };
        copy.Assign(colors);
        QCOMPARE(changes, 2);
        QCOMPARE(copy.Days(), clLime);
        QCOMPARE(copy.Weekend(), clTeal);
        // Back to custom keeps the colours.
        colors.SetColorScheme(TKitCalColorScheme::csOcean);
        colors.SetColorScheme(TKitCalColorScheme::csCustom);
        QCOMPARE(colors.Days(), clAqua);
    }

    void drawHandlersReplaceTheDrawing()
    {
        Shown s;
        TKitCalendar* c = s.calendar;
        c->SetDate(D(2024, 5, 15));
        QList<QDate> items;
        QList<QRect> rects;
        c->OnDrawItem = [&](QPainter&, double date, const QRect& r) {
            items << Q(date);
            rects << r;
        };
        QDate title;
        c->OnDrawDate = [&](QPainter& p, double date, const QRect& r) {
            title = Q(date);
            p.fillRect(r, Qt::green);
        };
        const QImage shot = c->grab().toImage();
        QCOMPARE(title, QDate(2024, 5, 15));
        const QRect middle(c->TitleRect().center().x() - 5, c->TitleRect().top(), 10, c->TitleRect().height());
        QCOMPARE(CountColor(shot, middle, Qt::green), 10 * middle.height());
        // Only the days of the month are asked for while greyed days are off.
        QCOMPARE(items.size(), 31);
        QCOMPARE(items.first(), QDate(2024, 5, 1));
        QCOMPARE(rects.first(), c->CellRect(c->FirstCell()));
        items.clear();
        c->SetShowInactive(true);
        c->grab();
        QCOMPARE(items.size(), 42);
        QCOMPARE(items.first(), QDate(2024, 4, 28));
        QCOMPARE(items.last(), QDate(2024, 6, 8));
    }

    void attachedLabelFollowsItsControl()
    {
        Shown s;
        TKitCalendar* c = s.calendar;
        c->move(20, 80);
        TKitLabelInfo& info = c->KitLabelInfo();
        info.SetVisible(true);
        QPointer<TKitAttachedLabel> label = info.Label();
        QVERIFY(label);
        QCOMPARE(label->parentWidget(), &s.form);
        QCOMPARE(label->KitControl(), c);
        QCOMPARE(label->Caption(), QStringLiteral("Cal1Label"));
        QCOMPARE(label->ColorScheme(), TKitColorScheme::csText);
        QCOMPARE(label->Appearance(), apNone);
        QVERIFY(label->isVisible());
        QCOMPARE(label->x(), 20);
        QCOMPARE(label->y() + label->height(), 80);

        // The control moves: the label goes with it.
        c->move(30, 90);
        QTRY_COMPARE(label->pos(), QPoint(30, 90 - label->height()));
        QCOMPARE(info.OffsetX(), 0);
        QCOMPARE(info.OffsetY(), 0);

        // The label moves: its place becomes the offsets.
        label->move(50, 40);
        QTRY_COMPARE(info.OffsetX(), 20);
        QCOMPARE(info.OffsetY(), 40 + label->height() - 90);
        QCOMPARE(label->pos(), QPoint(50, 40));
        c->move(0, 100);
        QTRY_COMPARE(label->pos(), QPoint(20, 50));

        // Below the control the offset counts from its bottom edge.
        c->SetLabelBelow(true);
        QCOMPARE(label->pos(), QPoint(20, 100 + c->height() + info.OffsetY()));
        info.SetOffsetY(3);
        QCOMPARE(label->y(), 100 + c->height() + 3);
        c->SetLabelBelow(false);

        // Freed by the form: the control forgets it.
        delete label.data();
        QVERIFY(!info.Visible());
        QVERIFY(!info.Label());
        info.SetVisible(true);
        label = info.Label();
        QVERIFY(label);
        info.SetVisible(false);
        QVERIFY(!label);
        // Gone with the control.
        info.SetVisible(true);
        label = info.Label();
        delete c;
        QVERIFY(!label);
    }

    void shadedLabelSchemesAndAppearances()
    {
        QWidget form;
        form.resize(200, 80);
        TKitCustomLabel label(&form);
        label.SetCaption(QStringLiteral("Ab"));
        form.show();
        QCOMPARE(label.ColorScheme(), TKitColorScheme::csWindows);
        QCOMPARE(label.Appearance(), apRaised);
        QCOMPARE(label.size(), QSize(150, 35));
        QCOMPARE(label.FontColor(), clGray);
        label.SetTransparent(false);
        label.SetColor(RGB(200, 220, 240));

        // Raised: white up-left, black down-right, gray text on top.
        QImage raised = label.Render();
        const QRect text = Extent(raised, ColorToQColor(clGray));
        QVERIFY(!text.isEmpty());
        QCOMPARE(Extent(raised, ColorToQColor(clWhite)).topLeft(), text.topLeft() - QPoint(1, 1));
        QCOMPARE(Extent(raised, ColorToQColor(clBlack)).bottomRight(), text.bottomRight() + QPoint(1, 1));

        // None: one plain text in the font colour over itself.
        label.SetAppearance(apNone);
        QCOMPARE(label.ColorScheme(), TKitColorScheme::csWindows);
        const QImage plain = label.Render();
        QCOMPARE(CountColor(plain, plain.rect(), ColorToQColor(clWhite)), 0);
        QCOMPARE(CountColor(plain, plain.rect(), ColorToQColor(clBlack)), 0);
        QCOMPARE(Extent(plain, ColorToQColor(clGray)), text.translated(-1, -1));

        // Gold shadow: olive text, its black shadow two pixels down-right.
        label.SetColorScheme(TKitColorScheme::csGold);
        QCOMPARE(label.Appearance(), apNone);
        label.SetAppearance(apShadow);
        QCOMPARE(label.ColorScheme(), TKitColorScheme::csGold);
        QCOMPARE(label.SchemeRow(TKitColorScheme::csCustom).text, clOlive);
        const QImage shadow = label.Render();
        const QRect olive = Extent(shadow, ColorToQColor(clOlive));
        QCOMPARE(Extent(shadow, ColorToQColor(clBlack)).bottomRight(), olive.bottomRight() + QPoint(2, 2));
        QCOMPARE(CountColor(shadow, shadow.rect(), ColorToQColor(clYellow)), 0);
        SaveArtifact(shadow, QStringLiteral("label-gold-shadow.png"));

        // By hand: a colour leaves the scheme, a depth the appearance.
        label.CustomSettings().SetHighlightColor(clRed);
        QCOMPARE(label.ColorScheme(), TKitColorScheme::csCustom);
        QCOMPARE(label.Appearance(), apShadow);
        label.CustomSettings().SetShadowDepth(4);
        QCOMPARE(label.Appearance(), apCustom);
        QCOMPARE(label.CustomSettings().HighlightColor(), clRed);

        // Graded layers run from the shadow colour out to the font colour in.
        label.SetColorScheme(TKitColorScheme::csSteel);
        label.CustomSettings().SetShadowStyle(ssGraduated);
        const QImage graded = label.Render();
        const TColor navy = clNavy;
        const TColor teal = clTeal;
        const auto mix = [&](int step) {
            const auto one = [&](int a, int b) { return a + int(Round(double(step) * (b - a) / 3)); };
            return QColor(one(GetRValue(navy), GetRValue(teal)), one(GetGValue(navy), GetGValue(teal)),
                one(GetBValue(navy), GetBValue(teal)));
        };
        for (int step = 0; step < 3; ++step)
            QVERIFY2(CountColor(graded, graded.rect(), mix(step)) > 0, qPrintable(QString::number(step)));
    }

    void gradedTextRunsAcrossTheTextItself()
    {
        QWidget form;
        form.resize(300, 80);
        TKitCustomLabel label(&form);
        label.resize(280, 40);
        label.SetCaption(QStringLiteral("MMMM"));
        label.SetAlignment(taRightJustify);
        label.SetAppearance(apNone);
        label.SetTransparent(false);
        label.SetColor(clWhite);
        label.SetFontColor(clBlue);
        label.CustomSettings().SetGraduateFromColor(clRed);
        label.CustomSettings().SetGraduateStyle(TKitGraduateStyle::gsHorizontal);
        form.show();
        const QImage image = label.Render();
        // The text stands at the right; its leftmost pixels take the first
        // band's red, its rightmost the blue of the last bands.
        int left = image.width();
        int right = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) != QColor(Qt::white)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        QVERIFY(left > image.width() / 2);
        const auto columnColors = [&](int x) {
            QSet<QRgb> colors;
            for (int y = 0; y < image.height(); ++y)
                if (image.pixelColor(x, y) != QColor(Qt::white))
                    colors << image.pixel(x, y);
            return colors;
        };
        QCOMPARE(columnColors(left), QSet<QRgb>({ QColor(Qt::red).rgb() }));
        const QSet<QRgb> last = columnColors(right);
        QCOMPARE(last.size(), 1);
        const QColor end = QColor::fromRgb(*last.begin());
        QVERIFY2(end.blue() > 200 && end.red() < 40, qPrintable(end.name()));
    }

    void calendarWindowFromTheHub()
    {
        TempProgramFolder folder;
        ScriptedDialogs dialogs;
        TFZaklad hub(QStringList { QStringLiteral("ruvo") });
        hub.HandleReminderCommand(rcCalendar);
        QPointer<TFKalendar> f = qobject_cast<TFKalendar*>(FindForm(QStringLiteral("FKalendar")));
        QVERIFY(f);
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QCOMPARE(f->windowTitle(), QStringLiteral("Kalendář"));
        QCOMPARE(HelpContext(f), 900);
        TKitCalendar* c = f->KitCalendar1;
        QCOMPARE(c->WeekStarts(), dtMonday);
        QCOMPARE(c->Colors().ColorScheme(), TKitCalColorScheme::csCustom);
        QCOMPARE(c->Colors().Days(), clBlack);
        QCOMPARE(c->Colors().Weekend(), clRed);
        QCOMPARE(c->Colors().MonthAndYear(), clBlue);
        QCOMPARE(c->font().pixelSize(), 15);
        QVERIFY(!c->KitLabelInfo().Visible());
        QCOMPARE(Q(c->Date()), QDate(2024, 6, 10));
        QCOMPARE(c->DayNameText(0), QStringLiteral("po"));
        // It fills the client area between the menu and the status bar.
        QCOMPARE(c->width(), f->Client()->width());
        QVERIFY(c->height() > 100);

        const QImage shot = f->grab().toImage();
        SaveArtifact(shot, QStringLiteral("fkalendar.png"));
        const QImage cal = c->grab().toImage();
        const auto reddish = [&](int cell) {
            int n = 0;
            const QRect r = c->CellRect(cell);
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QColor p = cal.pixelColor(x, y);
                    n += p.red() > 180 && p.green() < 90 && p.blue() < 90;
                }
            return n;
        };
        // June 2024 begins on a Saturday: cell 6 is the 1st, 7 the 2nd (Sunday).
        QVERIFY(reddish(6) > 0);
        QVERIFY(reddish(7) > 0);
        QCOMPARE(reddish(8), 0);
        QCOMPARE(reddish(12), 0);
        QVERIFY(reddish(13) > 0);

        // Scaling the window keeps the buttons where the layout puts them.
        f->resize(f->width() * 2, f->height() * 2);
        QTRY_VERIFY(c->width() > 400);
        QCOMPARE(c->PrevYearButton()->x(), c->PrevMonthButton()->geometry().right() + 1);
        QCOMPARE(c->NextMonthButton()->geometry().right() + 1, c->width() - 4);
        QCOMPARE(c->TodayButton()->geometry().bottom() + 1, c->height() - 4);
        SaveArtifact(f->grab().toImage(), QStringLiteral("fkalendar-large.png"));

        // Keys reach it; a second request replaces the window; Esc closes it.
        c->setFocus();
        QTest::keyClick(c, Qt::Key_PageDown);
        QCOMPARE(Q(c->Date()), QDate(2024, 7, 10));
        hub.HandleReminderCommand(rcCalendar);
        QTRY_VERIFY(!f);
        f = qobject_cast<TFKalendar*>(FindForm(QStringLiteral("FKalendar")));
        QVERIFY(f);
        QCOMPARE(Q(f->KitCalendar1->Date()), QDate(2024, 6, 10));
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QTest::keyClick(f->KitCalendar1, Qt::Key_Escape);
        QTRY_VERIFY(!f);
    }
};

QTEST_MAIN(TestCalendar)
#include "tst_calendar.moc"
