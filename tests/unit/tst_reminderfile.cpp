#include "shared/reminderfile.h"

#include "platform/dialogs.h"
#include "platform/errors.h"

#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ReminderRecord sample(const QString& title, int id = 0)
{
    ReminderRecord r;
    r.ID = id;
    r.Title = title;
    r.Created = 45000 + id;
    return r;
}

// A file of records with the given IDs; each title names its ID and place.
QString fileWithIds(const TempProgramFolder& dir, const QList<int>& ids)
{
    const QString path = dir.file("korvel.da1");
    QFile::remove(path);
    for (int i = 0; i < ids.size(); ++i)
        WriteReminder(i + 1, path, sample(QString("id%1 at%2").arg(ids[i]).arg(i + 1), ids[i]));
    return path;
}

QList<int> idsOf(const QString& path)
{
    QList<int> ids;
    ForEachReminder(path, [&](int, const ReminderRecord& r) { ids.append(r.ID); });
    return ids;
}

QStringList titlesOf(const QString& path)
{
    QStringList titles;
    ForEachReminder(path, [&](int, const ReminderRecord& r) { titles.append(r.Title); });
    return titles;
}

QByteArray shortString(const QByteArray& text, int capacity)
{
    return char(text.size()) + text + QByteArray(capacity - text.size(), '\0');
}

} // namespace

class TestReminderFile : public QObject {
    Q_OBJECT
private slots:
    void everyFieldLiesAtItsOffset()
    {
        TempProgramFolder dir;
        const QString path = dir.file("korvel.da1");
        ReminderRecord r;
        r.ID = 7;
        r.Created = 45000.5;
        r.Transferable = true;
        r.RemindDate = "31.12.2026";
        r.RemindTime = "23:59";
        r.EventDate = "1.1.2027";
        r.EventTime = "07:05";
        r.SoundOnly = true;
        r.RepeatKind = 3;
        r.Weekdays = "1357";
        r.AdvanceKind = 4;
        r.AdvanceAmount = 46000.25;
        r.OverdueAction = 5;
        r.OverdueAmount = 258;
        r.Sound1 = "\\sound\\a.wav";
        r.Sound2 = "ž";
        r.Sound3 = QString(255, u'x');
        r.Description1 = "Popis řádek";
        r.Description2 = "druhá část";
        r.Title = "Schůzka";
        r.Erased = true;
        r.LastChange = 45001.75;
        r.NextKind = 3;
        r.NextAmount = 1.0;
        r.LengthKind = 2;
        r.Length = 1.0 / 24;
        WriteReminder(1, path, r);

        const QByteArray b = readFileBytes(path);
        QCOMPARE(b.size(), 1420);
        QCOMPARE(b.mid(0, 4), QByteArray::fromHex("ffffffff"));
        QCOMPARE(b.mid(4, 4), QByteArray::fromHex("07000000"));
        QCOMPARE(b.mid(8, 8), QByteArray::fromHex("0000000010f9e540"));
        QCOMPARE(b.mid(16, 1), QByteArray("\x01"));
        QCOMPARE(b.mid(17, 11), shortString("31.12.2026", 10));
        QCOMPARE(b.mid(28, 6), shortString("23:59", 5));
        QCOMPARE(b.mid(34, 11), shortString("1.1.2027", 10));
        QCOMPARE(b.mid(45, 6), shortString("07:05", 5));
        QCOMPARE(b.mid(51, 1), QByteArray("\x01"));
        QCOMPARE(b.mid(52, 4), QByteArray::fromHex("03000000"));
        QCOMPARE(b.mid(56, 8), shortString("1357", 7));
        QCOMPARE(b.mid(64, 4), QByteArray::fromHex("04000000"));
        QCOMPARE(b.mid(68, 8), QByteArray::fromHex("000000000876e640"));
        QCOMPARE(b.mid(76, 4), QByteArray::fromHex("05000000"));
        QCOMPARE(b.mid(80, 4), QByteArray::fromHex("02010000"));
        QCOMPARE(b.mid(84, 256), shortString("\\sound\\a.wav", 255));
        QCOMPARE(b.mid(340, 256), shortString("\x9e", 255));
        QCOMPARE(b.mid(596, 256), shortString(QByteArray(255, 'x'), 255));
        QCOMPARE(b.mid(852, 256),
            shortString("Popis \xf8\xe1"
                        "dek",
                255));
        QCOMPARE(b.mid(1108, 256), shortString("druh\xe1 \xe8\xe1st", 255));
        QCOMPARE(b.mid(1364, 21), shortString("Sch\xf9zka", 20));
        QCOMPARE(b.mid(1385, 1), QByteArray("\x01"));
        QCOMPARE(b.mid(1386, 2), QByteArray(2, '\0'));
        QCOMPARE(b.mid(1388, 8), QByteArray::fromHex("0000000038f9e540"));
        QCOMPARE(b.mid(1396, 4), QByteArray::fromHex("03000000"));
        QCOMPARE(b.mid(1400, 8), QByteArray::fromHex("000000000000f03f"));
        QCOMPARE(b.mid(1408, 4), QByteArray::fromHex("02000000"));
        QCOMPARE(b.mid(1412, 8), QByteArray::fromHex("555555555555a53f"));

        int position = 1;
        ReminderRecord back;
        ReadReminder(position, path, back);
        QCOMPARE(back, r);
    }

    void hostileLengthBytesStopAtTheCapacity()
    {
        TempProgramFolder dir;
        const QString path = dir.file("korvel.da1");
        QByteArray b(1420, '\0');
        b[0] = char(0xff), b[1] = char(0xff), b[2] = char(0xff), b[3] = char(0xff);
        b[28] = char(200); // RemindTime, capacity 5: the next field is EventDate
        b.replace(29, 5, "12:34");
        b[34] = 3;
        b.replace(35, 3, "1.1");
        b[1364] = char(255); // Title, capacity 20: Erased follows
        b.replace(1365, 20, QByteArray(20, 'T'));
        b[1385] = 1;
        b[1386] = char(0xaa); // reserved bytes are not significant
        writeFileBytes(path, b);

        int position = 1;
        ReminderRecord r;
        ReadReminder(position, path, r);
        QCOMPARE(r.RemindTime, QString("12:34"));
        QCOMPARE(r.EventDate, QString("1.1"));
        QCOMPARE(r.Title, QString(20, u'T'));
        QVERIFY(r.Erased);

        // Written back, the length bytes are within the capacity and the
        // reserved bytes zero.
        WriteReminder(1, path, r);
        const QByteArray w = readFileBytes(path);
        QCOMPARE(int(uchar(w[28])), 5);
        QCOMPARE(int(uchar(w[1364])), 20);
        QCOMPARE(w.mid(1386, 2), QByteArray(2, '\0'));
    }

    void textsAreCutToTheirCapacityAndZeroFilled()
    {
        TempProgramFolder dir;
        const QString path = dir.file("korvel.da1");
        ReminderRecord r;
        r.Title = QString(18, u'a') + "žluťoučký"; // 27 characters for 20 bytes
        r.RemindTime = "12:345";
        r.Weekdays = "☺1€" + QString::fromUcs4(U"\U0001F600"); // no CP1250 byte for two of them
        r.Erased = false;
        WriteReminder(1, path, r);
        const QByteArray b = readFileBytes(path);
        QCOMPARE(b.mid(1364, 21), shortString(QByteArray(18, 'a') + "\x9el", 20));
        QCOMPARE(b.at(1385), '\0');
        QCOMPARE(b.mid(28, 6), shortString("12:34", 5));
        QCOMPARE(b.mid(56, 8), shortString("?1\x80?", 7));

        // A shorter text over a longer one leaves no old bytes behind.
        r.Title = "ab";
        WriteReminder(1, path, r);
        QCOMPARE(readFileBytes(path).mid(1364, 21), shortString("ab", 20));
    }

    void readClampsThePosition()
    {
        TempProgramFolder dir;
        const QString path = fileWithIds(dir, { 1, 2, 3 });
        ReminderRecord r;
        int position = 0;
        ReadReminder(position, path, r);
        QCOMPARE(position, 1);
        QCOMPARE(r.Title, QString("id1 at1"));
        position = -5;
        ReadReminder(position, path, r);
        QCOMPARE(position, 1);
        position = 9;
        ReadReminder(position, path, r);
        QCOMPARE(position, 3);
        QCOMPARE(r.Title, QString("id3 at3"));
        position = 2;
        ReadReminder(position, path, r);
        QCOMPARE(position, 2);
        QCOMPARE(r.ID, 2);
    }

    void readOfAnEmptyOrMissingFileZeroesOnlyIdAndCreated()
    {
        TempProgramFolder dir;
        const QString missing = dir.file("none.da1");
        const QString empty = dir.file("empty.da1");
        writeFileBytes(empty, QByteArray(1419, 'x')); // no whole record
        for (const QString& path : { missing, empty }) {
            ReminderRecord r = sample("kept", 5);
            r.LastChange = 3.5;
            int position = 4;
            ReadReminder(position, path, r);
            QCOMPARE(position, 1);
            QCOMPARE(r.ID, 0);
            QCOMPARE(r.Created, 0.0);
            QCOMPARE(r.Title, QString("kept"));
            QCOMPARE(r.LastChange, 3.5);
        }
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(ReminderCount(missing), 0);
        QCOMPARE(ReminderCount(empty), 0);
    }

    void partialTrailingRecordsAreNotCounted()
    {
        TempProgramFolder dir;
        const QString path = fileWithIds(dir, { 1, 2 });
        QFile f(path);
        QVERIFY(f.open(QIODevice::Append));
        f.write(QByteArray(700, 'z'));
        f.close();
        QCOMPARE(ReminderCount(path), 2);
        QCOMPARE(idsOf(path), QList<int>({ 1, 2 }));
        QCOMPARE(NextRecordId(path), 3);
        // An append writes over the partial record.
        ReminderRecord r = sample("third");
        QCOMPARE(AppendReminder(path, r), 3);
        QCOMPARE(QFileInfo(path).size(), 3 * 1420);
        QCOMPARE(titlesOf(path).last(), QString("third"));
    }

    void writeAppendsButNeverLeavesAGap()
    {
        TempProgramFolder dir;
        const QString path = dir.file("sub.da1");
        WriteReminder(1, path, sample("a", 1));
        QCOMPARE(QFileInfo(path).size(), 1420);
        WriteReminder(2, path, sample("b", 2));
        WriteReminder(1, path, sample("A", 1));
        QCOMPARE(titlesOf(path), QStringList({ "A", "b" }));

        const QByteArray before = readFileBytes(path);
        QVERIFY_THROWS_EXCEPTION(KorvelError, WriteReminder(4, path, sample("gap", 4)));
        QVERIFY_THROWS_EXCEPTION(KorvelError, WriteReminder(0, path, sample("zero", 0)));
        QCOMPARE(readFileBytes(path), before);
        try {
            WriteReminder(9, path, sample("gap", 9));
        } catch (const KorvelError& e) {
            QVERIFY(e.message().contains("9"));
            QVERIFY(e.message().contains(path));
        }
        // Nor at position 2 of a file that does not exist yet.
        const QString fresh = dir.file("fresh.da1");
        QVERIFY_THROWS_EXCEPTION(KorvelError, WriteReminder(2, fresh, sample("gap", 2)));
        QVERIFY(!QFile::exists(fresh));
    }

    void appendGivesTheNextIdAndKeepsEveryOtherField()
    {
        TempProgramFolder dir;
        const QString path = dir.file("korvel.da1");
        ReminderRecord r = sample("first", 99);
        r.Version = -1;
        r.LastChange = 12.25;
        QCOMPARE(AppendReminder(path, r), 1);
        QCOMPARE(r.ID, 1);
        ReminderRecord second = sample("second", 42);
        QCOMPARE(AppendReminder(path, second), 2);
        int position = 1;
        ReminderRecord back;
        ReadReminder(position, path, back);
        QCOMPARE(back, r);
        QCOMPARE(idsOf(path), QList<int>({ 1, 2 }));
    }

    void nextRecordIdFindsAnUnusedId_data()
    {
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<int>("next");
        QTest::newRow("empty") << QList<int> {} << 1;
        QTest::newRow("in order") << QList<int> { 1, 2, 3 } << 4;
        QTest::newRow("gap, last differs from count") << QList<int> { 1, 3 } << 2;
        QTest::newRow("out of order") << QList<int> { 3, 2 } << 1;
        QTest::newRow("shuffled") << QList<int> { 3, 1, 2 } << 4;
        QTest::newRow("last = count, count + 1 taken") << QList<int> { 4, 1, 3 } << 2;
        QTest::newRow("duplicate, last = count") << QList<int> { 2, 2 } << 3;
        QTest::newRow("ids above count") << QList<int> { 5, 6 } << 1;
        QTest::newRow("zero and negative") << QList<int> { 0, -1, 1 } << 2;
    }
    void nextRecordIdFindsAnUnusedId()
    {
        QFETCH(QList<int>, ids);
        QFETCH(int, next);
        TempProgramFolder dir;
        const QString path = fileWithIds(dir, ids);
        QCOMPARE(NextRecordId(path), next);
        QVERIFY(!ids.contains(next));
        ReminderRecord r = sample("new");
        QCOMPARE(AppendReminder(path, r), next);
    }

    void idExistsLooksOnlyAtTheFirstCountRecords()
    {
        TempProgramFolder dir;
        const QString path = fileWithIds(dir, { 1, 5, 9 });
        QVERIFY(ReminderIdExists(path, 5, 3));
        QVERIFY(ReminderIdExists(path, 9, 3));
        QVERIFY(!ReminderIdExists(path, 9, 2));
        QVERIFY(!ReminderIdExists(path, 2, 3));
        QVERIFY(!ReminderIdExists(path, 1, 0));
        QVERIFY(!ReminderIdExists(path, 1, -1));
        QVERIFY(!ReminderIdExists(dir.file("none"), 1, 3));
        // Asked beyond the end of the file, the read comes up short.
        QVERIFY_THROWS_EXCEPTION(IoError, ReminderIdExists(path, 4, 5));
    }

    void deleteRemovesTheFirstMatchAndKeepsLaterIds()
    {
        TempProgramFolder dir;
        const QString path = fileWithIds(dir, { 1, 2, 3 });
        DeleteReminder(2, path);
        QCOMPARE(idsOf(path), QList<int>({ 1, 3 }));
        QCOMPARE(QFileInfo(path).size(), 2 * 1420);
        QCOMPARE(NextRecordId(path), 2);

        const QString dup = fileWithIds(dir, { 1, 2, 2, 3 });
        DeleteReminder(2, dup);
        QCOMPARE(titlesOf(dup), QStringList({ "id1 at1", "id2 at3", "id3 at4" }));

        const QByteArray before = readFileBytes(dup);
        DeleteReminder(7, dup);
        QCOMPARE(readFileBytes(dup), before);

        DeleteReminder(3, dup); // the last record
        DeleteReminder(1, dup); // the first
        QCOMPARE(titlesOf(dup), QStringList({ "id2 at3" }));
        DeleteReminder(2, dup);
        QCOMPARE(ReminderCount(dup), 0);
        QVERIFY(QFile::exists(dup));

        const QString missing = dir.file("none.da1");
        DeleteReminder(1, missing);
        QVERIFY(!QFile::exists(missing));
    }

    void deleteMovesATailLongerThanOneChunk()
    {
        TempProgramFolder dir;
        QList<int> ids;
        for (int i = 1; i <= 2000; ++i)
            ids.append(i);
        const QString path = fileWithIds(dir, ids);
        DeleteReminder(3, path);
        const QStringList titles = titlesOf(path);
        QCOMPARE(titles.size(), 1999);
        QCOMPARE(titles[1], QString("id2 at2"));
        QCOMPARE(titles[2], QString("id4 at4"));
        QCOMPARE(titles[1000], QString("id1002 at1002"));
        QCOMPARE(titles.last(), QString("id2000 at2000"));
    }

    // The removal window's batch gives what removing one ID after the other
    // and renumbering gives: the same file, the same news for the hook.
    void batchRemovalEqualsOneByOne_data()
    {
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QList<int>>("removed");
        QList<int> many;
        for (int i = 1; i <= 2000; ++i)
            many << i;
        QTest::newRow("over several chunks") << many << QList<int> { 2000, 3, 740, 741, 1500 };
        QTest::newRow("first and last") << QList<int> { 1, 2, 3, 4 } << QList<int> { 1, 4 };
        QTest::newRow("an ID twice, listed twice") << QList<int> { 5, 2, 5, 7, 5 } << QList<int> { 5, 5 };
        QTest::newRow("unknown ID, numbered file") << QList<int> { 1, 2, 3 } << QList<int> { 9 };
        QTest::newRow("unknown ID, misnumbered file") << QList<int> { 3, 1, 2 } << QList<int> { 9 };
        QTest::newRow("misnumbered in front") << QList<int> { 8, 8, 1, 4 } << QList<int> { 1 };
        QTest::newRow("all") << QList<int> { 1, 2, 3 } << QList<int> { 3, 2, 1 };
    }
    void batchRemovalEqualsOneByOne()
    {
        QFETCH(QList<int>, ids);
        QFETCH(QList<int>, removed);
        TempProgramFolder dir;
        const QString batch = fileWithIds(dir, ids);
        const QString oneByOne = dir.file("one.da1");
        QVERIFY(QFile::copy(batch, oneByOne));
        QList<QPair<int, int>> heard;
        SetReminderRenumberHook([&](int oldId, int newId) { heard.append({ oldId, newId }); });
        for (const int id : removed)
            DeleteReminder(id, oneByOne);
        RenumberReminders(oneByOne);
        const QList<QPair<int, int>> expected = heard;
        heard.clear();
        DeleteReminders(removed, batch);
        SetReminderRenumberHook({});
        QCOMPARE(readFileBytes(batch), readFileBytes(oneByOne));
        QCOMPARE(heard, expected);
        QVERIFY(!QFile::exists(batch + ".new"));
    }

    // A change is a new file put in place whole: one that changes nothing
    // leaves the file itself alone, and one that fails (a full disk) leaves
    // the old file and nothing beside it.
    void changesReplaceTheWholeFileOrNothing()
    {
        TempProgramFolder dir;
        const QString path = fileWithIds(dir, { 1, 2, 3 });
        const auto inode = [&] {
            struct stat st { };
            ::stat(QFile::encodeName(path).constData(), &st);
            return st.st_ino;
        };
        const ino_t first = inode();
        DeleteReminder(7, path);
        DeleteReminders({ 9 }, path);
        RenumberReminders(path);
        QCOMPARE(RemoveRemindersWhere(path, [](int, const ReminderRecord&) { return false; }), 0);
        QCOMPARE(inode(), first);

        const QByteArray before = readFileBytes(path);
        {
            WriteLimit limit(ReminderRecord::Size + 10);
            QVERIFY_THROWS_EXCEPTION(IoError, DeleteReminders({ 1 }, path));
        }
        QCOMPARE(readFileBytes(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({ "korvel.da1", "korvel.da1.lck" }));

        QCOMPARE(RemoveRemindersWhere(path, [](int position, const ReminderRecord&) { return position == 2; }), 1);
        QCOMPARE(titlesOf(path), QStringList({ "id1 at1", "id3 at3" }));
        QCOMPARE(idsOf(path), QList<int>({ 1, 2 }));
        QVERIFY(inode() != first);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({ "korvel.da1", "korvel.da1.lck" }));
    }

    void renumberGivesPositionsAndTellsTheHook()
    {
        TempProgramFolder dir;
        const QString path = fileWithIds(dir, { 1, 2, 3, 4 });
        DeleteReminder(2, path);
        QList<QPair<int, int>> renamed;
        SetReminderRenumberHook([&](int oldId, int newId) { renamed.append({ oldId, newId }); });
        RenumberReminders(path);
        QCOMPARE(idsOf(path), QList<int>({ 1, 2, 3 }));
        QCOMPARE(titlesOf(path), QStringList({ "id1 at1", "id3 at3", "id4 at4" }));
        QCOMPARE(renamed, (QList<QPair<int, int>> { { 3, 2 }, { 4, 3 } }));

        renamed.clear();
        RenumberReminders(path); // nothing to change
        QVERIFY(renamed.isEmpty());

        const QString missing = dir.file("none.da1");
        RenumberReminders(missing);
        QVERIFY(!QFile::exists(missing));
        SetReminderRenumberHook({});
        RenumberReminders(fileWithIds(dir, { 5, 5 }));
        QCOMPARE(idsOf(dir.file("korvel.da1")), QList<int>({ 1, 2 }));
    }

    void checkDataVersion()
    {
        TempProgramFolder dir;
        ScriptedDialogs dialogs;
        const QString path = dir.file("korvel.da1");

        QCOMPARE(CheckDataVersion(path), DataVersionCheck::Current); // missing
        writeFileBytes(path, "");
        QCOMPARE(CheckDataVersion(path), DataVersionCheck::Current);
        writeFileBytes(path, "\x05\0\0");
        QCOMPARE(CheckDataVersion(path), DataVersionCheck::Current); // not even a mark

        fileWithIds(dir, { 1, 2 });
        QCOMPARE(CheckDataVersion(path), DataVersionCheck::Current);

        // The previous layout starts with the positive record ID; one record of
        // it (1388 bytes) is no whole record of this layout.
        QByteArray old(1388, '\0');
        old[0] = 1;
        writeFileBytes(path, old);
        QCOMPARE(CheckDataVersion(path), DataVersionCheck::OldLayout);
        writeFileBytes(path, old + old + old);
        QCOMPARE(CheckDataVersion(path), DataVersionCheck::OldLayout);
        QVERIFY(Dialogs::shown().isEmpty());

        QByteArray newer(1420, '\0');
        newer[0] = char(0xfe), newer[1] = char(0xff), newer[2] = char(0xff), newer[3] = char(0xff); // -2
        writeFileBytes(path, newer);
        // The program is asked to end through its event loop.
        DataVersionCheck result = DataVersionCheck::Current;
        QTimer::singleShot(0, [&] { result = CheckDataVersion(path); });
        QTimer safety;
        safety.setSingleShot(true);
        connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        safety.start(5000);
        const int exitCode = QCoreApplication::exec();
        QCOMPARE(result, DataVersionCheck::NewerLayout);
        QCOMPARE(exitCode, 0);
        QCOMPARE(Dialogs::shown().size(), 1);
        const Dialogs::Shown shown = Dialogs::shown().first();
        QCOMPARE(shown.text,
            QString("Data připomenutí jsou uložena pomocí novější verze\nnelze načíst - ukončuji aplikaci"));
        QCOMPARE(shown.type, MsgDlgType::Warning);
        QCOMPARE(shown.buttons, int(MsgBtn::OK));
        QCOMPARE(readFileBytes(path), newer);
    }

    void failedFileOperationsRaiseIoError()
    {
        TempProgramFolder dir;
        const QString folder = dir.file("folder.da1");
        QVERIFY(QDir().mkdir(folder));
        try {
            ReminderCount(folder);
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(e.code(), EISDIR);
            QVERIFY(e.message().contains(folder));
        }
        int position = 1;
        ReminderRecord r;
        QVERIFY_THROWS_EXCEPTION(IoError, ReadReminder(position, folder, r));
        QVERIFY_THROWS_EXCEPTION(IoError, CheckDataVersion(folder));
        QVERIFY_THROWS_EXCEPTION(IoError, WriteReminder(1, folder, r));
        QVERIFY_THROWS_EXCEPTION(IoError, DeleteReminder(1, folder));

        try {
            AppendReminder(dir.file("no/such/folder/korvel.da1"), r);
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(e.code(), ENOENT);
        }
        // A full disk.
        try {
            WriteReminder(1, "/dev/full", r);
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(e.code(), ENOSPC);
            QCOMPARE(e.message(), QString("Chyba při práci se souborem /dev/full: na disku není dost místa."));
        }
        // Permissions do not stop root; everyone else must get EACCES.
        if (geteuid() != 0) {
            const QString locked = fileWithIds(dir, { 1 });
            QFile::setPermissions(locked, QFileDevice::Permissions());
            QVERIFY_THROWS_EXCEPTION(IoError, ReminderCount(locked));
            QVERIFY_THROWS_EXCEPTION(IoError, WriteReminder(1, locked, r));
        }
    }

    void expandDataPath()
    {
        QCOMPARE(ExpandDataPath("\\sound\\a.wav", "/opt/korvel"), QString("/opt/korvel\\sound\\a.wav"));
        QCOMPARE(ExpandDataPath("", "/opt/korvel"), QString());
        QCOMPARE(ExpandDataPath("C:\\zvuky\\a.wav", "/opt/korvel"), QString("C:\\zvuky\\a.wav"));
        QCOMPARE(ExpandDataPath("/home/u/a.wav", "/opt/korvel"), QString("/home/u/a.wav"));
        QCOMPARE(ExpandDataPath("a.wav", "/opt/korvel"), QString("a.wav"));
    }

    void stripPathPrefix()
    {
        QCOMPARE(
            StripPathPrefix("C:\\PROGRAM\\Korvel\\sound\\a.wav", "c:\\program\\kORVEL"), QString("\\sound\\a.wav"));
        QCOMPARE(StripPathPrefix("/opt/korvel/sound/a.wav", "/opt/korvel"), QString("/sound/a.wav"));
        // Only A-Z fold; accented letters must match exactly.
        QCOMPARE(StripPathPrefix("C:\\Čas\\a.wav", "c:\\čas"), QString("C:\\Čas\\a.wav"));
        QCOMPARE(StripPathPrefix("C:\\čas\\a.wav", "C:\\ČAS"), QString("C:\\čas\\a.wav"));
        QCOMPARE(StripPathPrefix("C:\\x\\a.wav", ""), QString("C:\\x\\a.wav"));
        QCOMPARE(StripPathPrefix("C:\\x", "C:\\x\\longer"), QString("C:\\x"));
        QCOMPARE(StripPathPrefix("C:\\x", "c:\\X"), QString());
        QCOMPARE(StripPathPrefix("D:\\x\\a", "C:\\x"), QString("D:\\x\\a"));
    }
};

QTEST_GUILESS_MAIN(TestReminderFile)
#include "tst_reminderfile.moc"
