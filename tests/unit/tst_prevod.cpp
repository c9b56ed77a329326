#include "shared/oldreminderfile.h"
#include "shared/reminderfile.h"

#include "platform/cp1250.h"
#include "platform/errors.h"

#include "oldlayout.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/resource.h>

namespace {

int32_t intAt(const QByteArray& b, int offset)
{
    int32_t v;
    std::memcpy(&v, b.constData() + offset, 4);
    return v;
}

double realAt(const QByteArray& b, int offset)
{
    double v;
    std::memcpy(&v, b.constData() + offset, 8);
    return v;
}

QString textAt(const QByteArray& b, int offset)
{
    return Cp1250::decode(b.mid(offset + 1, uchar(b[offset])));
}

struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }
    rlimit saved;
    void (*oldHandler)(int);
};

} // namespace

class TestPrevod : public QObject {
    Q_OBJECT
private slots:
    void oldRecordsBecomeCurrentFieldByField();
    void oneRecordAndPartialRecords();
    void nothingToConvert();
    void failurePartWayKeepsTheOldData();
    void obstaclesKeepTheOldData();
};

void TestPrevod::oldRecordsBecomeCurrentFieldByField()
{
    TempProgramFolder dir;
    const QString data = dir.file("data/korvel.da1");
    const QString work = dir.file("korvel.tmp");
    QVERIFY(QDir().mkpath(dir.file("data")));

    QByteArray third = oldLayoutRecord(9, "Třetí");
    putRecordText(third, 1356, QString(20, u'x'), 40); // a length byte beyond the capacity of 20
    third[1377] = 1; // Erased
    third[47] = 1; // SoundOnly
    const QByteArray old = oldLayoutRecord(5, "Porada ředitelů") + oldLayoutRecord(2, "Druhá", 0) + third;
    writeFileBytes(data, old);
    QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner);
    writeFileBytes(work, "left from an earlier run");

    QList<std::pair<int, int>> steps;
    const OldDataConversion result = ConvertOldReminderFile(data, work, [&](int done, int count) {
        steps.append({ done, count });
    });
    QCOMPARE(result.outcome, OldDataConversion::Converted);
    QCOMPARE(result.count, 3);
    QCOMPARE(steps, (QList<std::pair<int, int>> { { 1, 3 }, { 2, 3 }, { 3, 3 } }));

    // The work file is the old file as it was; only the lock file is beside the data.
    QCOMPARE(readFileBytes(work), old);
    QCOMPARE(QDir(dir.file("data")).entryList(QDir::Files), QStringList({ "korvel.da1", "korvel.da1.lck" }));
    QCOMPARE(QFile::permissions(data) & QFileDevice::Permissions(0x7077), QFile::ReadOwner | QFile::WriteOwner);

    const QByteArray b = readFileBytes(data);
    QCOMPARE(b.size(), 3 * 1420);
    const QByteArray first = b.left(1420);
    QCOMPARE(intAt(first, 0), -1);
    QCOMPARE(intAt(first, 4), 5);
    QCOMPARE(realAt(first, 8), 45005.25);
    QCOMPARE(int(first[16]), 1);
    QCOMPARE(textAt(first, 17), QString("12.3.2026"));
    QCOMPARE(textAt(first, 28), QString("08:45"));
    QCOMPARE(textAt(first, 34), QString("13.3.2026"));
    QCOMPARE(textAt(first, 45), QString("09:00"));
    QCOMPARE(int(first[51]), 0);
    QCOMPARE(intAt(first, 52), 2);
    QCOMPARE(textAt(first, 56), QString("246"));
    QCOMPARE(intAt(first, 64), 1);
    QCOMPARE(realAt(first, 68), 15.0);
    QCOMPARE(intAt(first, 76), 3);
    QCOMPARE(intAt(first, 80), 4);
    QCOMPARE(textAt(first, 84), QString("\\sound\\zvonek.wav"));
    QCOMPARE(textAt(first, 340), QString("/home/jana/gong.wav"));
    QCOMPARE(textAt(first, 596), QString());
    QCOMPARE(textAt(first, 852), QString("Přinést podklady, žluťoučký kůň"));
    QCOMPARE(textAt(first, 1108), QString("druhý kus"));
    QCOMPARE(textAt(first, 1364), QString("Porada ředitelů"));
    QCOMPARE(int(first[1385]), 0);
    QCOMPARE(first.mid(1386, 2), QByteArray(2, '\0'));
    QCOMPARE(realAt(first, 1388), 45006.5);
    QCOMPARE(intAt(first, 1396), 3);
    QCOMPARE(realAt(first, 1400), 1.0);
    QCOMPARE(intAt(first, 1408), 1);
    QCOMPARE(realAt(first, 1412), 0.0);

    // IDs stay as they were, not renumbered by position.
    QCOMPARE(intAt(b, 1420 + 4), 2);
    QCOMPARE(realAt(b, 1420 + 68), 0.0);
    const QByteArray last = b.mid(2 * 1420);
    QCOMPARE(intAt(last, 4), 9);
    QCOMPARE(int(last[51]), 1);
    QCOMPARE(int(last[1385]), 1);
    QCOMPARE(textAt(last, 1364), QString(20, u'x'));

    // The reminder file reads the result as current data.
    QCOMPARE(CheckDataVersion(data), DataVersionCheck::Current);
    int position = 3;
    ReminderRecord r;
    ReadReminder(position, data, r);
    QCOMPARE(r.Version, DataVersion);
    QCOMPARE(r.ID, 9);
    QVERIFY(r.Erased && r.SoundOnly && r.Transferable);
    QCOMPARE(r.NextKind, 3);
    QCOMPARE(r.NextAmount, 1.0);
    QCOMPARE(r.LengthKind, 1);
    QCOMPARE(r.Length, 0.0);
}

void TestPrevod::oneRecordAndPartialRecords()
{
    TempProgramFolder dir;
    const QString data = dir.file("korvel.da1");
    const QString work = dir.file("korvel.tmp");

    // One old record is shorter than one current record; it is still old data.
    writeFileBytes(data, oldLayoutRecord(1, "Jediná"));
    QCOMPARE(StoredReminderCount(data), 1);
    OldDataConversion result = ConvertOldReminderFile(data, work, {});
    QCOMPARE(result.outcome, OldDataConversion::Converted);
    QCOMPARE(result.count, 1);
    QCOMPARE(ReminderCount(data), 1);
    QCOMPARE(QFileInfo(data).size(), 1420);

    // A trailing partial record is left out of the conversion; the work copy keeps it.
    const QByteArray withTail = oldLayoutRecord(1, "a") + oldLayoutRecord(2, "b") + oldLayoutRecord(3, "c").left(700);
    writeFileBytes(data, withTail);
    QCOMPARE(StoredReminderCount(data), 2);
    result = ConvertOldReminderFile(data, work, {});
    QCOMPARE(result.count, 2);
    QCOMPARE(QFileInfo(data).size(), 2 * 1420);
    QCOMPARE(readFileBytes(work), withTail);

    // Through a link: the file it points to is converted, the link stays.
    const QString real = dir.file("elsewhere.da1");
    QFile::remove(data);
    writeFileBytes(real, oldLayoutRecord(7, "odkaz"));
    QVERIFY(QFile::link(real, data));
    QCOMPARE(ConvertOldReminderFile(data, work, {}).count, 1);
    QVERIFY(QFileInfo(data).isSymLink());
    QCOMPARE(QFileInfo(real).size(), 1420);
    QFile::remove(data);

    // Old data without one whole record converts to no records.
    writeFileBytes(data, oldLayoutRecord(4, "d").left(100));
    QCOMPARE(StoredReminderCount(data), 0);
    result = ConvertOldReminderFile(data, work, {});
    QCOMPARE(result.outcome, OldDataConversion::Converted);
    QCOMPARE(result.count, 0);
    QCOMPARE(QFileInfo(data).size(), 0);
    QCOMPARE(readFileBytes(work).size(), 100);
}

void TestPrevod::nothingToConvert()
{
    TempProgramFolder dir;
    const QString data = dir.file("korvel.da1");
    const QString work = dir.file("korvel.tmp");

    QCOMPARE(ConvertOldReminderFile(data, work, {}).outcome, OldDataConversion::NoData);
    QVERIFY(!QFile::exists(work));

    // A second run after a conversion finds current data and changes nothing.
    writeFileBytes(data, oldLayoutRecord(1, "a") + oldLayoutRecord(2, "b"));
    QCOMPARE(ConvertOldReminderFile(data, work, {}).outcome, OldDataConversion::Converted);
    const QByteArray converted = readFileBytes(data);
    const QByteArray workCopy = readFileBytes(work);
    bool called = false;
    QCOMPARE(
        ConvertOldReminderFile(data, work, [&](int, int) { called = true; }).outcome, OldDataConversion::NotOldLayout);
    QVERIFY(!called);
    QCOMPARE(readFileBytes(data), converted);
    QCOMPARE(readFileBytes(work), workCopy);
}

void TestPrevod::failurePartWayKeepsTheOldData()
{
    TempProgramFolder dir;
    const QString data = dir.file("korvel.da1");
    const QString work = dir.file("korvel.tmp");
    QByteArray old;
    for (int id = 1; id <= 50; ++id)
        old += oldLayoutRecord(id, QString("záznam %1").arg(id));
    writeFileBytes(data, old);

    // The old file (69,400 bytes) may still be copied, but the new one
    // (71,000) cannot be written past its 49th record.
    int reached = 0;
    {
        const FileSizeLimit limit(70000);
        try {
            ConvertOldReminderFile(data, work, [&](int done, int) { reached = done; });
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(e.code(), EFBIG);
        }
    }
    QCOMPARE(reached, 49);
    QCOMPARE(readFileBytes(data), old);
    QVERIFY(!QFile::exists(data + ".new"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({ "korvel.da1", "korvel.da1.lck", "korvel.tmp" }));

    // Once the disk lets it, the same old data converts whole.
    const OldDataConversion result = ConvertOldReminderFile(data, work, {});
    QCOMPARE(result.count, 50);
    QCOMPARE(ReminderCount(data), 50);
    int position = 50;
    ReminderRecord r;
    ReadReminder(position, data, r);
    QCOMPARE(r.Title, QString("záznam 50"));
}

void TestPrevod::obstaclesKeepTheOldData()
{
    TempProgramFolder dir;
    const QString data = dir.file("korvel.da1");
    const QString work = dir.file("korvel.tmp");
    const QByteArray old = oldLayoutRecord(1, "a") + oldLayoutRecord(2, "b");
    writeFileBytes(data, old);

    // A folder where the new file would go: nothing written, the folder left alone.
    QVERIFY(QDir().mkpath(data + ".new/inside"));
    try {
        ConvertOldReminderFile(data, work, {});
        QFAIL("no error");
    } catch (const IoError& e) {
        QCOMPARE(e.code(), EISDIR);
    }
    QCOMPARE(readFileBytes(data), old);
    QVERIFY(QFileInfo(data + ".new/inside").isDir());
    QVERIFY(QDir(data + ".new").removeRecursively());

    // A folder in the way of the work copy: reported, nothing converted.
    QFile::remove(work);
    QVERIFY(QDir().mkpath(work + "/inside"));
    QCOMPARE(ConvertOldReminderFile(data, work, {}).outcome, OldDataConversion::WorkCopyFailed);
    QCOMPARE(readFileBytes(data), old);
    QVERIFY(!QFile::exists(data + ".new"));

    // A data "file" that cannot be read at all.
    TempProgramFolder other;
    const QString folderData = other.file("korvel.da1");
    QVERIFY(QDir().mkpath(folderData));
    QVERIFY_THROWS_EXCEPTION(IoError, ConvertOldReminderFile(folderData, other.file("korvel.tmp"), {}));
    QVERIFY(QFileInfo(folderData).isDir());
}

QTEST_GUILESS_MAIN(TestPrevod)
#include "tst_prevod.moc"
