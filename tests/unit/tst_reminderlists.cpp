#include "shared/contactfile.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"
#include "shared/reminderlists.h"

#include "platform/datetime.h"

#include "testsupport.h"

#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

namespace {

// The clock of every case: Thursday 12 March 2026, 10:00.
const QDateTime TestNow(QDate(2026, 3, 12), QTime(10, 0));

double at(int y, int mo, int d, int h = 0, int mi = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, 0, 0);
}

ReminderRecord reminder(const QString& title, const QString& date, const QString& time)
{
    ReminderRecord r;
    r.Title = title;
    r.EventDate = date;
    r.EventTime = time;
    r.RemindDate = date;
    r.RemindTime = time;
    r.AdvanceKind = 1;
    r.OverdueAction = 2;
    r.Created = 46000 + title.size();
    return r;
}

// Writes the records in order; each keeps the ID it was given (position when 0).
QString writeFile(const TempProgramFolder& dir, QList<ReminderRecord> records)
{
    const QString path = dir.file("korvel.da1");
    QFile::remove(path);
    for (int i = 0; i < records.size(); ++i) {
        if (records[i].ID == 0)
            records[i].ID = i + 1;
        WriteReminder(i + 1, path, records[i]);
    }
    return path;
}

QStringList column(const QList<QStringList>& rows, int c)
{
    QStringList texts;
    for (const QStringList& row : rows)
        texts << row.value(c);
    return texts;
}

QStringList rowTexts(const QTreeWidgetItem* item)
{
    QStringList texts;
    for (int c = 0; c < item->columnCount(); ++c)
        texts << item->text(c);
    return texts;
}

} // namespace

class TestReminderLists : public QObject {
    Q_OBJECT
private slots:
    void mainListRowsFromFile();
    void emptyAndMissingFiles();
    void unreadableRecordsNeverStopTheList();
    void nextChangeIsTheEarliestStartWithinTheHour();
    void onlyErasedAndLimitToDay();
    void dateColumnSortsAsTime();
    void warnedList();
    void fillersAndSelection();
    void importReminderByKey();
    void importContactByKey();
};

void TestReminderLists::mainListRowsFromFile()
{
    TempProgramFolder dir;
    const double now = QDateTimeToDateTime(TestNow);

    ReminderRecord soon = reminder("Porada", "12.3.2026", "10:30");
    soon.Length = 1.0 / 24;
    soon.SoundOnly = true;
    soon.Transferable = true;
    ReminderRecord started = reminder("Oběd", "12.3.2026", "09:59");
    ReminderRecord erased = reminder("Smazané", "20.3.2026", "08:00");
    erased.Erased = true;
    ReminderRecord later = reminder("Zubař", "14.3.2026", "12:05");
    later.Length = 15.0 / 1440 + 1; // a day and a quarter of an hour: ends the next day
    later.ID = 17; // IDs are shown as stored, whatever the position
    ReminderRecord farAway = reminder("Výročí", "12.3.2027", "09:59");

    const QString path = writeFile(dir, { soon, started, erased, later, farAway });
    const ReminderListRows list = BuildReminderList(path, false, now, now, false);
    QVERIFY(list.anyRecord);
    QCOMPARE(list.rows.size(), 5);
    QCOMPARE(
        list.rows[0], QStringList({ "Porada", "2026.03.12 10:30", "11:30", "00:30", "ANO", "NE", "ANO", "NE", "1" }));
    // A minute past its start: nothing remains, and it has passed.
    QCOMPARE(list.rows[1], QStringList({ "Oběd", "2026.03.12 09:59", "", "", "NE", "NE", "NE", "ANO", "2" }));
    // An erased one is "-" in "prošlé", whatever its time.
    QCOMPARE(list.rows[2].at(5), QString("ANO"));
    QCOMPARE(list.rows[2].at(7), QString("-"));
    QCOMPARE(list.rows[3],
        QStringList({ "Zubař", "2026.03.14 12:05", "03.15 12:20", "2dny 02:05", "NE", "NE", "NE", "NE", "17" }));
    // Within a year the days are counted; beyond it, "> rok".
    QCOMPARE(list.rows[4].at(3), QString("364dnů 23:59"));
    QCOMPARE(BuildReminderList(path, false, now - 1, now, false).rows[4].at(3), QString("> rok"));
}

void TestReminderLists::emptyAndMissingFiles()
{
    TempProgramFolder dir;
    const FixedClock clock(TestNow);
    const double now = QDateTimeToDateTime(TestNow);

    QTreeWidget view;
    view.setHeaderLabels(ReminderListCaptions());
    view.addTopLevelItem(new QTreeWidgetItem(QStringList({ "stale", "", "", "", "", "", "", "", "9" })));
    double next = 0;
    QVERIFY(!FillReminderList(&view, dir.file("missing.da1"), false, next, now, false));
    QCOMPARE(view.topLevelItemCount(), 0);
    QCOMPARE(next, now + 1.0 / 24);

    writeFileBytes(dir.file("empty.da1"), {});
    next = 0;
    QVERIFY(!FillReminderList(&view, dir.file("empty.da1"), false, next, now, false));
    QCOMPARE(next, now + 1.0 / 24);
    QVERIFY(!FillWarnedList(&view, dir.file("empty.da1"), now));

    // A file with records of which none is listed is not "empty".
    const QString path = writeFile(dir, { reminder("A", "1.1.2020", "10:00") });
    QVERIFY(FillReminderList(&view, path, true, next, now, false));
    QCOMPARE(view.topLevelItemCount(), 0);
}

void TestReminderLists::unreadableRecordsNeverStopTheList()
{
    TempProgramFolder dir;
    const double now = QDateTimeToDateTime(TestNow);

    ReminderRecord badDate = reminder("Datum", "31.2.2026", "10:30"); // no such day
    badDate.Length = 0.5;
    ReminderRecord badTime = reminder("Čas", "12.3.2026", "25:99");
    badTime.Length = 0.5;
    ReminderRecord foreign = reminder("Cizí", "2026-03-12", "10:20"); // another machine's date format
    ReminderRecord truncated = reminder("Useknuté", "12.3.2026", "1"); // cut short
    ReminderRecord erasedBad = reminder("Pryč", "", "");
    erasedBad.Erased = true;
    ReminderRecord good = reminder("Dobré", "12.3.2026", "10:40");

    for (const ReminderRecord& r : { badDate, badTime, foreign, truncated, erasedBad })
        QVERIFY2(!StoredDateTime(r.EventDate, r.EventTime), qPrintable(r.Title));
    const QString path = writeFile(dir, { badDate, badTime, foreign, truncated, erasedBad, good });
    const ReminderListRows list = BuildReminderList(path, false, now, now, false);
    QCOMPARE(list.rows.size(), 6);
    for (int i : { 0, 1, 2, 3 }) {
        // "akce do", "zbývá" and "prošlé" stay empty; the stored texts and the rest are shown.
        QCOMPARE(list.rows[i].at(2), QString());
        QCOMPARE(list.rows[i].at(3), QString());
        QCOMPARE(list.rows[i].at(7), QString());
        QCOMPARE(list.rows[i].at(8), QString::number(i + 1));
    }
    QCOMPARE(list.rows[0].at(1), QString("2026.02.31 10:30"));
    QCOMPARE(list.rows[4].at(7), QString("-"));
    QCOMPARE(list.rows[5].at(3), QString("00:40"));
    // The unreadable ones take no part in the next refresh time.
    QCOMPARE(list.nextChange, at(2026, 3, 12, 10, 40));

    // Limited to the day: a readable date is placed even when its time is
    // not; the others cannot be placed on any day.
    const ReminderListRows day = BuildReminderList(path, false, now, now, true);
    QCOMPARE(column(day.rows, 0), QStringList({ "Čas", "Useknuté", "Dobré" }));
    QCOMPARE(day.rows[0].at(1), QString("25:99"));

    bool any = false;
    QCOMPARE(BuildWarnedList(path, now - 1, any).size(), 0);
    QVERIFY(any);
}

void TestReminderLists::nextChangeIsTheEarliestStartWithinTheHour()
{
    TempProgramFolder dir;
    const double now = QDateTimeToDateTime(TestNow);

    // Starts now (not after it), in the past, and beyond the hour: one hour ahead.
    QString path = writeFile(dir,
        { reminder("a", "12.3.2026", "10:00"), reminder("b", "12.3.2026", "09:00"), reminder("c", "12.3.2026", "11:01"),
            reminder("d", "13.3.2026", "10:30") });
    QCOMPARE(BuildReminderList(path, false, now, now, false).nextChange, now + 1.0 / 24);

    // The earliest start inside the hour wins, whatever the file order; a
    // later start inside the hour does not move it back.
    path = writeFile(dir,
        { reminder("e", "12.3.2026", "10:50"), reminder("f", "12.3.2026", "10:01"),
            reminder("g", "12.3.2026", "10:20") });
    QCOMPARE(BuildReminderList(path, false, now, now, false).nextChange, at(2026, 3, 12, 10, 1));

    // Only listed records count: with only the erased ones listed, "f" does not.
    QList<ReminderRecord> records = { reminder("e", "12.3.2026", "10:50"), reminder("f", "12.3.2026", "10:01") };
    records[0].Erased = true;
    path = writeFile(dir, records);
    QCOMPARE(BuildReminderList(path, true, now, now, false).nextChange, at(2026, 3, 12, 10, 50));

    // Across midnight.
    const double lateNow = at(2026, 3, 12, 23, 30);
    path = writeFile(dir, { reminder("i", "13.3.2026", "00:10") });
    const ReminderListRows late = BuildReminderList(path, false, lateNow, lateNow, false);
    QCOMPARE(late.nextChange, at(2026, 3, 13, 0, 10));
    QCOMPARE(late.rows[0].at(3), QString("00:40"));
}

void TestReminderLists::onlyErasedAndLimitToDay()
{
    TempProgramFolder dir;
    const double now = QDateTimeToDateTime(TestNow);

    QList<ReminderRecord> records
        = { reminder("dnes ráno", "12.3.2026", "07:00"), reminder("zítra", "13.3.2026", "07:00"),
              reminder("dnes večer", "12.3.2026", "21:15"), reminder("loni", "12.3.2025", "07:00") };
    records[2].Erased = true;
    records[3].Erased = true;
    const QString path = writeFile(dir, records);

    QCOMPARE(column(BuildReminderList(path, false, now, now, false).rows, 0),
        QStringList({ "dnes ráno", "zítra", "dnes večer", "loni" }));
    QCOMPARE(column(BuildReminderList(path, true, now, now, false).rows, 0), QStringList({ "dnes večer", "loni" }));

    // The day given with a time of day still means the whole day.
    const ReminderListRows today = BuildReminderList(path, false, now, at(2026, 3, 12, 23, 59), true);
    QCOMPARE(column(today.rows, 0), QStringList({ "dnes ráno", "dnes večer" }));
    QCOMPARE(column(today.rows, 1), QStringList({ "07:00", "21:15" }));
    QCOMPARE(column(BuildReminderList(path, true, now, now, true).rows, 0), QStringList({ "dnes večer" }));
    QCOMPARE(BuildReminderList(path, false, now, at(2026, 3, 14), true).rows.size(), 0);
}

void TestReminderLists::dateColumnSortsAsTime()
{
    TempProgramFolder dir;
    const double now = QDateTimeToDateTime(TestNow);

    // Written as the short date format writes them: no leading zeros.
    const QList<ReminderRecord> records = {
        reminder("a", "9.3.2026", "09:05"),
        reminder("b", "10.3.2026", "08:00"),
        reminder("c", "1.12.2025", "23:59"),
        reminder("d", "10.3.2026", "10:00"),
        reminder("e", "29.2.2024", "00:00"),
        reminder("f", "9.10.2026", "07:30"),
    };
    const QString path = writeFile(dir, records);
    const QList<QStringList> rows = BuildReminderList(path, false, now, now, false).rows;

    QList<std::pair<QString, double>> byText;
    for (int i = 0; i < rows.size(); ++i)
        byText.append({ rows[i].at(1), *StoredDateTime(records[i].EventDate, records[i].EventTime) });
    std::sort(byText.begin(), byText.end());
    for (int i = 1; i < byText.size(); ++i)
        QVERIFY2(byText[i - 1].second < byText[i].second, qPrintable(byText[i].first));
    QCOMPARE(byText.first().first, QString("2024.02.29 00:00"));
}

void TestReminderLists::warnedList()
{
    TempProgramFolder dir;
    const double day = at(2026, 3, 12);

    // The pop-up is not before the event: the advance (one day) gives 12.3 09:00.
    ReminderRecord byAdvance = reminder("záloha", "13.3.2026", "09:00");
    byAdvance.AdvanceKind = 3;
    byAdvance.AdvanceAmount = 1;
    byAdvance.Length = 1.0 / 24;
    byAdvance.Transferable = true;
    // A stored pop-up at least a minute ahead of the event is shown as stored.
    ReminderRecord byStored = reminder("uložené", "14.3.2026", "10:00");
    byStored.RemindDate = "12.3.2026";
    byStored.RemindTime = "07:15";
    // A pop-up postponed past the event counts as none of its own.
    ReminderRecord almost = reminder("těsně", "13.3.2026", "09:00");
    almost.RemindDate = "13.3.2026";
    almost.RemindTime = "09:30";
    almost.AdvanceKind = 2;
    almost.AdvanceAmount = 23.9; // whole hours: 23
    // Event on the day itself: not "a later day".
    ReminderRecord sameDay = reminder("týž den", "12.3.2026", "18:00");
    sameDay.AdvanceKind = 2;
    sameDay.AdvanceAmount = 2;
    ReminderRecord erased = byAdvance;
    erased.Title = "smazané";
    erased.Erased = true;
    // Warns on another day.
    ReminderRecord otherDay = byAdvance;
    otherDay.Title = "jindy";
    otherDay.AdvanceAmount = 2;
    // An unreadable pop-up falls back to the advance: 30 hours before 13.3 16:00.
    ReminderRecord badRemind = reminder("vadné", "13.3.2026", "16:00");
    badRemind.RemindDate = "32.13.2026";
    badRemind.AdvanceKind = 2;
    badRemind.AdvanceAmount = 30;
    ReminderRecord badEvent = reminder("nečitelné", "13.x.2026", "09:00");
    badEvent.RemindDate = "12.3.2026";
    badEvent.RemindTime = "08:00";

    const QString path
        = writeFile(dir, { byAdvance, byStored, almost, sameDay, erased, otherDay, badRemind, badEvent });
    bool any = false;
    const QList<QStringList> rows = BuildWarnedList(path, day, any);
    QVERIFY(any);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0], QStringList({ "záloha", "09:00", "2026.03.13 09:00", "10:00", "ANO", "1" }));
    QCOMPARE(rows[1], QStringList({ "uložené", "07:15", "2026.03.14 10:00", "", "NE", "2" }));
    QCOMPARE(rows[2], QStringList({ "těsně", "10:00", "2026.03.13 09:00", "", "NE", "3" }));
    QCOMPARE(rows[3], QStringList({ "vadné", "10:00", "2026.03.13 16:00", "", "NE", "7" }));

    // The day before: only "jindy" (two days ahead of 13.3) warns then.
    QCOMPARE(column(BuildWarnedList(path, at(2026, 3, 11, 15), any), 0), QStringList({ "jindy" }));
}

void TestReminderLists::fillersAndSelection()
{
    TempProgramFolder dir;
    const FixedClock clock(TestNow);
    const double now = QDateTimeToDateTime(TestNow);

    QList<ReminderRecord> records;
    for (int i = 1; i <= 4; ++i) {
        records << reminder(QString("r%1").arg(i), QString("%1.3.2026").arg(11 + i), "12:00");
        records.last().AdvanceKind = 3; // a day ahead
        records.last().AdvanceAmount = 1;
        records.last().ID = i;
    }
    QString path = writeFile(dir, records);

    QTreeWidget view;
    double next = 0;
    QVERIFY(FillReminderList(&view, path, false, next, now, false));
    QCOMPARE(view.columnCount(), 9);
    QCOMPARE(view.headerItem()->text(8), QString("číslo"));
    QCOMPARE(view.topLevelItemCount(), 4);
    QCOMPARE(rowTexts(view.topLevelItem(0)),
        QStringList({ "r1", "2026.03.12 12:00", "", "02:00", "NE", "NE", "NE", "NE", "1" }));
    QCOMPARE(next, now + 1.0 / 24);
    QCOMPARE(SelectedItemId(&view), 0);

    // As the list windows refill: the selected record is selected again,
    // wherever the refill put it; an ID no row carries (or 0) changes nothing.
    SelectItemById(&view, 3);
    QCOMPARE(SelectedItemId(&view), 3);
    ReminderRecord added = reminder("nový", "20.3.2026", "08:00");
    added.ID = 5;
    records.prepend(added);
    path = writeFile(dir, records);
    const int32_t selected = SelectedItemId(&view);
    FillReminderList(&view, path, false, next, now, false);
    QCOMPARE(SelectedItemId(&view), 0);
    SelectItemById(&view, selected);
    QCOMPARE(view.indexOfTopLevelItem(view.currentItem()), 3);
    SelectItemById(&view, 77);
    SelectItemById(&view, 0);
    QCOMPARE(SelectedItemId(&view), 3);

    // The warned list has its ID in its own last column.
    QVERIFY(FillWarnedList(&view, path, at(2026, 3, 14)));
    QCOMPARE(view.columnCount(), 6);
    QCOMPARE(view.headerItem()->text(1), QString("čas připomenutí"));
    QCOMPARE(view.topLevelItemCount(), 1); // r4 on the 15th
    SelectItemById(&view, 4);
    QCOMPARE(SelectedItemId(&view), 4);

    // Several rows selected: the first in list order; a cell that is no
    // number gives 0.
    FillReminderList(&view, path, false, next, now, false);
    view.setSelectionMode(QAbstractItemView::MultiSelection);
    view.topLevelItem(3)->setSelected(true);
    view.topLevelItem(1)->setSelected(true);
    QCOMPARE(SelectedItemId(&view), 1);
    view.topLevelItem(1)->setText(8, "1x");
    QCOMPARE(SelectedItemId(&view), 0);
}

void TestReminderLists::importReminderByKey()
{
    TempProgramFolder dir;
    const QString path = dir.file("korvel.da1");

    ReminderRecord a = reminder("první", "12.3.2026", "10:00");
    a.Created = 46092.5;
    a.ID = 55; // the exchange file's ID does not count
    QCOMPARE(ImportReminder(path, a, a.Created), 1);

    ReminderRecord b = reminder("druhý", "13.3.2026", "10:00");
    b.Created = 46092.75;
    QCOMPARE(ImportReminder(path, b, b.Created), 2);

    // The same stamp again: overwritten in place, the first import's ID kept,
    // every other field as imported.
    ReminderRecord changed = a;
    changed.Title = "změněný";
    changed.Erased = true;
    changed.ID = 99;
    QCOMPARE(ImportReminder(path, changed, changed.Created), 1);
    QCOMPARE(ReminderCount(path), 2);
    int position = 1;
    ReminderRecord read;
    ReadReminder(position, path, read);
    changed.ID = 1;
    QCOMPARE(read, changed);

    // A stamp one step of the double away is another reminder.
    ReminderRecord near = a;
    near.Created = std::nextafter(a.Created, 1e9);
    QCOMPARE(ImportReminder(path, near, near.Created), 3);
    QCOMPARE(ReminderCount(path), 3);

    // Two records with the same stamp: the first one is the one replaced.
    ReminderRecord twin = b;
    twin.Title = "dvojče";
    WriteReminder(4, path, [&] {
        ReminderRecord r = twin;
        r.ID = 4;
        return r;
    }());
    twin.Title = "nové dvojče";
    QCOMPARE(ImportReminder(path, twin, b.Created), 2);
    QStringList titles;
    ForEachReminder(path, [&](int, const ReminderRecord& r) { titles << r.Title; });
    QCOMPARE(titles, QStringList({ "změněný", "nové dvojče", "první", "dvojče" }));

    // A missing key is appended with the next free ID, filling a gap.
    DeleteReminder(3, path);
    ReminderRecord fresh = reminder("čerstvý", "1.4.2026", "10:00");
    fresh.Created = 1;
    QCOMPARE(ImportReminder(path, fresh, fresh.Created), 3);
    QCOMPARE(ReminderCount(path), 4);
}

void TestReminderLists::importContactByKey()
{
    TempProgramFolder dir;
    const QString path = dir.file("korvel.db1");

    ContactRecord jan;
    jan.jmeno = "Jan";
    jan.unikat = 45000.125;
    jan.cislo = 40; // the exchange file's number does not count
    ContactRecord eva;
    eva.jmeno = "Eva";
    eva.unikat = 45001.5;
    QCOMPARE(ImportContact(path, jan, jan.unikat), 1);
    QCOMPARE(ImportContact(path, eva, eva.unikat), 2);

    // Found by the key, not by the record's own stamp; overwritten keeping its number.
    ContactRecord other = jan;
    other.unikat = 7;
    other.tel1 = "+420123456789";
    QCOMPARE(ImportContact(path, other, jan.unikat), 1);
    QCOMPARE(ContactCount(path), 2);
    int position = 1;
    ContactRecord read;
    ReadContact(position, path, read);
    QCOMPARE(read.tel1, QString("+420123456789"));
    QCOMPARE(read.cislo, 1);
    QCOMPARE(read.unikat, 7.0);
    QCOMPARE(ImportContact(path, other, 8), 3);
}

QTEST_MAIN(TestReminderLists)
#include "tst_reminderlists.moc"
