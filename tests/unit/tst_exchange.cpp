// The exchange files over real files in temporary folders: what the export
// writes and removes, what the import updates, appends and removes, the
// backups, the file times in [FImport], files that fail part-way or cannot
// be written at all, and exchange files that are damaged or foreign.
#include "shared/contactfile.h"
#include "shared/exchangefiles.h"
#include "shared/reminderfile.h"
#include "shared/reminderlists.h"

#include "platform/cp1250.h"
#include "platform/datetime.h"
#include "platform/errors.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/soundservice.h"
#include "platform/volumeprobe.h"

#include "testsupport.h"
#include "timezone.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cmath>
#include <cstring>
#include <limits>

#include <sys/fsuid.h>
#include <unistd.h>

namespace {

constexpr int R = ReminderRecord::Size;
constexpr int C = ContactRecord::Size;

int32_t intAt(const QByteArray& b, int offset)
{
    int32_t v;
    std::memcpy(&v, b.constData() + offset, 4);
    return v;
}

void putInt(QByteArray& b, int offset, int32_t v)
{
    std::memcpy(b.data() + offset, &v, 4);
}

ReminderRecord reminder(double created, const QString& title, bool transferable = true, bool erased = false,
    double changed = 45000)
{
    ReminderRecord r;
    r.Created = created;
    r.Title = title;
    r.Transferable = transferable;
    r.Erased = erased;
    r.LastChange = changed;
    r.EventDate = QStringLiteral("12.3.2026");
    r.EventTime = QStringLiteral("09:00");
    r.Description1 = title + QStringLiteral(" – popis");
    return r;
}

ContactRecord contact(double unikat, const QString& surname, bool transferable = true, bool deleted = false,
    double changed = 45000)
{
    ContactRecord c;
    c.unikat = unikat;
    c.prijmeni = surname;
    c.prenos = transferable;
    c.vymazano = deleted;
    c.zmena = changed;
    return c;
}

// Writes the records at positions 1..n, each with the ID given (or its
// position).
void writeReminders(const QString& path, QList<ReminderRecord> records, const QList<int>& ids = {})
{
    QFile::remove(path);
    for (int i = 0; i < records.size(); ++i) {
        records[i].ID = ids.isEmpty() ? i + 1 : ids[i];
        WriteReminder(i + 1, path, records[i]);
    }
}

void writeContacts(const QString& path, QList<ContactRecord> records)
{
    QFile::remove(path);
    for (int i = 0; i < records.size(); ++i) {
        records[i].cislo = i + 1;
        WriteContact(i + 1, path, records[i]);
    }
}

// "ID title" of each reminder, in file order.
QStringList reminders(const QString& path)
{
    QStringList out;
    ForEachReminder(path, [&](int, const ReminderRecord& r) {
        out << QStringLiteral("%1 %2%3").arg(r.ID).arg(r.Title, r.Erased ? QStringLiteral("*") : QString());
    });
    return out;
}

QStringList contacts(const QString& path)
{
    QStringList out;
    ForEachContact(path, [&](int, const ContactRecord& c) { out << QStringLiteral("%1 %2").arg(c.cislo).arg(c.prijmeni); });
    return out;
}

QStringList leftovers(const QString& folder)
{
    return QDir(folder).entryList({ "*.new" }, QDir::Files);
}

// The folder refuses new files: read-only for everybody, and the file
// system checks done as an ordinary user while this lives (the tests may
// run as root, who may write anywhere).
struct ReadOnlyFolder {
    explicit ReadOnlyFolder(const QString& folder)
        : m_folder(folder)
    {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        if (::geteuid() == 0)
            ::setfsuid(65534);
    }
    ~ReadOnlyFolder()
    {
        if (::geteuid() == 0)
            ::setfsuid(0);
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString m_folder;
};

} // namespace

class TestExchange : public QObject {
    Q_OBJECT

    std::unique_ptr<TempProgramFolder> m_home; // this machine's program folder
    std::unique_ptr<QTemporaryDir> m_exchange; // the shared folder
    std::unique_ptr<ScriptedDialogs> m_dialogs;

    QString home() const { return m_home->file("korvel.da1"); }
    QString homeContacts() const { return m_home->file("korvel.db1"); }
    QString exchange() const { return m_exchange->filePath("exp_imp.dat"); }
    QString exchangeBak() const { return m_exchange->filePath("exp_imp.bak"); }
    QString exchangeContacts() const { return m_exchange->filePath("kexp_imp.dat"); }

private slots:
    void init()
    {
        m_home = std::make_unique<TempProgramFolder>();
        m_exchange = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(m_exchange->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                | QFile::ReadOther | QFile::ExeOther);
        QFile::setPermissions(m_home->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                | QFile::ReadOther | QFile::ExeOther);
        m_dialogs = std::make_unique<ScriptedDialogs>();
        SetReminderRenumberHook({});
    }
    void cleanup()
    {
        SetReminderRenumberHook({});
        m_dialogs.reset();
        m_exchange.reset();
        m_home.reset();
    }

    // ---- export ----

    void exportTakesTransferableRecordsNumberedInHomeOrder()
    {
        writeReminders(home(),
            { reminder(1, "a"), reminder(2, "b", false), reminder(3, "c", true, true), reminder(4, "d") },
            { 17, 3, 9, 40 });
        QList<int> steps;
        QCOMPARE(ExportReminders(home(), exchange(), exchangeBak(), std::nullopt,
                     [&](int position, int total) { steps << position * 10 + total; }),
            3);
        QCOMPARE(steps, QList<int>({ 11, 21, 32, 43 }));
        QCOMPARE(reminders(exchange()), QStringList({ "1 a", "2 c*", "3 d" }));
        // Byte by byte: the version mark at 0, the IDs at 4, the rest as it
        // was at home.
        const QByteArray bytes = readFileBytes(exchange());
        QCOMPARE(bytes.size(), 3 * R);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(intAt(bytes, k * R), -1);
            QCOMPARE(intAt(bytes, k * R + 4), k + 1);
        }
        const QByteArray homeBytes = readFileBytes(home());
        QCOMPARE(bytes.mid(2 * R + 8), homeBytes.mid(3 * R + 8));
        QCOMPARE(readFileBytes(exchangeBak()), bytes);
        QCOMPARE(leftovers(m_exchange->path()), QStringList());
        // The home file is not touched.
        QCOMPARE(reminders(home()), QStringList({ "17 a", "3 b", "9 c*", "40 d" }));
    }

    void exportOfChangedOnlyIsStrictlyAfterTheThreshold()
    {
        const double threshold = EncodeDate(2025, 3, 5) + EncodeTime(10, 0, 0, 0);
        writeReminders(home(),
            { reminder(1, "before", true, false, threshold - OneSecond), reminder(2, "equal", true, false, threshold),
                reminder(3, "after", true, false, threshold + OneSecond) });
        QCOMPARE(ExportReminders(home(), exchange(), QString(), threshold, nullptr), 1);
        QCOMPARE(reminders(exchange()), QStringList({ "1 after" }));

        writeContacts(homeContacts(),
            { contact(1, "Novák", true, false, threshold + 1), contact(2, "Svoboda", false, false, threshold + 1),
                contact(3, "Dvořák", true, false, threshold) });
        QCOMPARE(ExportContacts(homeContacts(), exchangeContacts(), QString(), threshold, nullptr), 1);
        QCOMPARE(contacts(exchangeContacts()), QStringList({ "1 Novák" }));
    }

    void anExportOfNothingStillReplacesTheFileAndLeavesAnUnwantedBackup()
    {
        writeReminders(exchange(), { reminder(1, "old") });
        writeFileBytes(exchangeBak(), "kept");
        writeReminders(home(), { reminder(1, "private", false) });
        QCOMPARE(ExportReminders(home(), exchange(), QString(), std::nullopt, nullptr), 0);
        QVERIFY(QFileInfo::exists(exchange()));
        QCOMPARE(QFileInfo(exchange()).size(), 0);
        QCOMPARE(readFileBytes(exchangeBak()), QByteArray("kept"));
    }

    void aFailedExportKeepsTheFilesThatWereThere()
    {
        writeReminders(home(), { reminder(1, "a"), reminder(2, "b"), reminder(3, "c"), reminder(4, "d") });
        writeReminders(exchange(), { reminder(9, "earlier") });
        const QByteArray before = readFileBytes(exchange());
        {
            // The third record does not fit.
            WriteLimit limit(2 * R + 100);
            QVERIFY_THROWS_EXCEPTION(IoError, ExportReminders(home(), exchange(), QString(), std::nullopt, nullptr));
        }
        QCOMPARE(readFileBytes(exchange()), before);
        QCOMPARE(leftovers(m_exchange->path()), QStringList());

        int code = 0;
        {
            const ReadOnlyFolder readOnly(m_exchange->path());
            try {
                ExportReminders(home(), exchange(), exchangeBak(), std::nullopt, nullptr);
            } catch (const IoError& e) {
                code = e.code();
            }
        }
        QCOMPARE(code, EACCES);
        QCOMPARE(readFileBytes(exchange()), before);
        QVERIFY(!QFileInfo::exists(exchangeBak()));
        QCOMPARE(IoFailureReason(code), QStringLiteral("přístup odepřen (adresář nebo soubor je jen pro čtení)"));

        // A folder that is gone.
        QVERIFY_THROWS_EXCEPTION(IoError,
            ExportReminders(home(), m_exchange->filePath("gone/exp_imp.dat"), QString(), std::nullopt, nullptr));
        QVERIFY(!ExchangeFolderUsable(m_exchange->filePath("gone")));
        QVERIFY(ExchangeFolderUsable(m_exchange->path()));
        QVERIFY(!ExchangeFolderUsable(QString()));
    }

    // An exchange folder on a share that has stopped answering is not ready,
    // and a sound there is missing: the first look waits a bounded time, the
    // later ones of that share fail at once, other volumes still answer.
    void aShareThatStoppedAnsweringIsNotReady()
    {
        DeadMount share;
        if (!share.unavailable().isEmpty())
            QSKIP(qPrintable(share.unavailable()));
        const QString folder = share.path() + QStringLiteral("/Výměna");
        QElapsedTimer took;
        took.start();
        QCOMPARE(LocalPath(folder), folder);
        QVERIFY(!ExchangeFolderUsable(folder));
        QCOMPARE(SoundService::play(folder + QStringLiteral("/gong.wav")), SoundService::FileNotFound);
        QVERIFY2(took.elapsed() < 2 * VolumeProbe::AnswerMs, qPrintable(QString::number(took.elapsed())));
        QVERIFY(ExchangeFolderUsable(m_exchange->path()));
    }

    void removalTakesOnlyTransferableErasedRecordsAndRenumbers()
    {
        writeReminders(home(),
            { reminder(1, "a"), reminder(2, "b", true, true), reminder(3, "c", false, true), reminder(4, "d", true, true),
                reminder(5, "e") },
            { 3, 4, 5, 6, 7 });
        QList<QPair<int, int>> renamed;
        SetReminderRenumberHook([&](int oldId, int newId) { renamed.append({ oldId, newId }); });
        QCOMPARE(RemoveTransferredErasedReminders(home(), nullptr), 2);
        QCOMPARE(reminders(home()), QStringList({ "1 a", "2 c*", "3 e" }));
        QCOMPARE(renamed, (QList<QPair<int, int>> { { 3, 1 }, { 5, 2 }, { 7, 3 } }));

        // Nothing to remove: the file stays as it is, and is only renumbered.
        const QByteArray kept = readFileBytes(home());
        QCOMPARE(RemoveTransferredErasedReminders(home(), nullptr), 0);
        QCOMPARE(readFileBytes(home()), kept);
        QCOMPARE(leftovers(m_home->path()), QStringList());

        writeContacts(homeContacts(),
            { contact(1, "A"), contact(2, "B", true, true), contact(3, "C", false, true), contact(4, "D") });
        QCOMPARE(RemoveTransferredErasedContacts(homeContacts(), nullptr), 1);
        QCOMPARE(contacts(homeContacts()), QStringList({ "1 A", "2 C", "3 D" }));

        // A removal that fails part-way leaves the home file whole.
        writeReminders(home(), { reminder(1, "a", true, true), reminder(2, "b"), reminder(3, "c"), reminder(4, "d") });
        const QByteArray before = readFileBytes(home());
        {
            WriteLimit limit(R + 10);
            QVERIFY_THROWS_EXCEPTION(IoError, RemoveTransferredErasedReminders(home(), nullptr));
        }
        QCOMPARE(readFileBytes(home()), before);
        QCOMPARE(leftovers(m_home->path()), QStringList());
    }

    // ---- import ----

    void importUpdatesByKeyAndAppendsTheRest()
    {
        writeReminders(home(), { reminder(10, "a"), reminder(20, "b"), reminder(30, "c") }, { 5, 6, 7 });
        ReminderRecord changed = reminder(20, "b2");
        changed.Description1 = "nový";
        writeReminders(exchange(), { changed, reminder(40, "d"), reminder(std::nextafter(10.0, 11.0), "near a") });
        QList<int> steps;
        const ExchangeImport result
            = ImportReminders(exchange(), home(), false, [&](int n, int total) { steps << n * 10 + total; });
        QCOMPARE(result.check.layout, ExchangeLayout::Current);
        QCOMPARE(result.check.count, 3);
        QCOMPARE(result.imported, 3);
        QCOMPARE(steps, QList<int>({ 11, 22, 33 }));
        // Kept its ID; the new ones get the smallest free ID, as an append
        // to a file not numbered by position does.
        QCOMPARE(reminders(home()), QStringList({ "5 a", "6 b2", "7 c", "1 d", "2 near a" }));
        ReminderRecord r;
        int n = 2;
        ReadReminder(n, home(), r);
        QCOMPARE(r.Description1, QString("nový"));

        // The same file again changes nothing and adds nothing.
        const QByteArray once = readFileBytes(home());
        ImportReminders(exchange(), home(), false, nullptr);
        QCOMPARE(readFileBytes(home()), once);
    }

    void importRemovesImportedErasedRecordsOnlyWhenAsked()
    {
        writeReminders(home(), { reminder(10, "a"), reminder(20, "b"), reminder(30, "c") });
        writeReminders(exchange(), { reminder(20, "b", true, true), reminder(40, "d") });
        const QByteArray homeBefore = readFileBytes(home());

        ImportReminders(exchange(), home(), false, nullptr);
        QCOMPARE(reminders(home()), QStringList({ "1 a", "2 b*", "3 c", "4 d" }));

        writeFileBytes(home(), homeBefore);
        QList<QPair<int, int>> renamed;
        SetReminderRenumberHook([&](int oldId, int newId) { renamed.append({ oldId, newId }); });
        const ExchangeImport result = ImportReminders(exchange(), home(), true, nullptr);
        QCOMPARE(result.deleted, 1);
        QCOMPARE(reminders(home()), QStringList({ "1 a", "2 c", "3 d" }));
        // Open pop-ups follow: old 3 is now 2.
        QCOMPARE(renamed, (QList<QPair<int, int>> { { 3, 2 } }));

        // Two home records share an ID: the one removed is the one imported,
        // not the first of that ID.
        writeReminders(home(), { reminder(10, "a"), reminder(20, "b") }, { 4, 4 });
        writeReminders(exchange(), { reminder(20, "b", true, true) });
        ImportReminders(exchange(), home(), true, nullptr);
        QCOMPARE(reminders(home()), QStringList({ "1 a" }));
    }

    // The one-pass import gives the file that a sequence of one-record
    // imports, deletions and renumberings gives, also on a home file whose
    // IDs are not its positions and with keys repeated in the exchange file.
    void importEqualsOneRecordAtATime_data()
    {
        QTest::addColumn<QList<int>>("homeIds");
        QTest::addColumn<bool>("removeErased");
        QTest::newRow("numbered by position") << QList<int> { 1, 2, 3, 4 } << true;
        QTest::newRow("gaps, kept") << QList<int> { 2, 5, 6, 9 } << false;
        QTest::newRow("gaps, removed") << QList<int> { 2, 5, 6, 9 } << true;
        QTest::newRow("repeated and zero IDs") << QList<int> { 4, 4, 0, 1 } << false;
    }
    void importEqualsOneRecordAtATime()
    {
        QFETCH(QList<int>, homeIds);
        QFETCH(bool, removeErased);
        const QList<ReminderRecord> homeRecords { reminder(1, "h1"), reminder(2, "h2"), reminder(3, "h3"),
            reminder(2, "h2 again") };
        const QList<ReminderRecord> incoming { reminder(5, "new1"), reminder(2, "h2 erased", true, true),
            reminder(6, "new2", true, true), reminder(3, "h3 v2"), reminder(5, "new1 v2"), reminder(7, "new3"),
            reminder(std::numeric_limits<double>::quiet_NaN(), "nan"), reminder(-0.0, "minus zero"),
            reminder(0.0, "zero") };
        writeReminders(exchange(), incoming);

        const QString reference = m_home->file("reference.da1");
        writeReminders(reference, homeRecords, homeIds);
        ForEachReminder(exchange(), [&](int, const ReminderRecord& r) {
            const int32_t id = ImportReminder(reference, r, r.Created);
            if (id > 0 && r.Erased && removeErased) {
                DeleteReminder(id, reference);
                RenumberReminders(reference);
            }
        });

        writeReminders(home(), homeRecords, homeIds);
        ImportReminders(exchange(), home(), removeErased, nullptr);
        QCOMPARE(reminders(home()), reminders(reference));
        QCOMPARE(readFileBytes(home()), readFileBytes(reference));
    }

    void importOfContactsKeysByUnikatAndRenumbersOnRemoval()
    {
        writeContacts(homeContacts(), { contact(100.5, "Novák"), contact(200.25, "Svoboda"), contact(300, "Dvořák") });
        writeContacts(exchangeContacts(),
            { contact(200.25, "Svobodová"), contact(100.5, "Novák", true, true), contact(400, "Černý") });
        const ExchangeImport result = ImportContacts(exchangeContacts(), homeContacts(), true, nullptr);
        QCOMPARE(result.imported, 3);
        QCOMPARE(result.deleted, 1);
        QCOMPARE(contacts(homeContacts()), QStringList({ "1 Svobodová", "2 Dvořák", "3 Černý" }));
        // cislo at its offset, by position.
        const QByteArray bytes = readFileBytes(homeContacts());
        QCOMPARE(bytes.size(), 3 * C);
        for (int k = 0; k < 3; ++k)
            QCOMPARE(intAt(bytes, k * C + 4), k + 1);
    }

    void aFailedImportKeepsTheHomeFile()
    {
        writeReminders(home(), { reminder(1, "a"), reminder(2, "b") });
        writeReminders(exchange(), { reminder(3, "c"), reminder(4, "d"), reminder(5, "e") });
        const QByteArray before = readFileBytes(home());
        {
            WriteLimit limit(3 * R + 10);
            QVERIFY_THROWS_EXCEPTION(IoError, ImportReminders(exchange(), home(), false, nullptr));
        }
        QCOMPARE(readFileBytes(home()), before);
        QCOMPARE(leftovers(m_home->path()), QStringList());
    }

    void backupsCopyTheHomeFilesWhole()
    {
        const QString bak = m_home->file("korvel.bak");
        BackUpHomeFile(home(), bak);
        QVERIFY(!QFileInfo::exists(bak)); // nothing to back up yet

        writeReminders(home(), { reminder(1, "a"), reminder(2, "b") });
        writeFileBytes(bak, "older backup");
        BackUpHomeFile(home(), bak);
        QCOMPARE(readFileBytes(bak), readFileBytes(home()));

        // A backup that fails keeps the one there was.
        writeReminders(home(), { reminder(1, "a"), reminder(2, "b"), reminder(3, "c") });
        const QByteArray previous = readFileBytes(bak);
        {
            WriteLimit limit(2 * R + 10);
            QVERIFY_THROWS_EXCEPTION(IoError, BackUpHomeFile(home(), bak));
        }
        QCOMPARE(readFileBytes(bak), previous);
        QCOMPARE(leftovers(m_home->path()), QStringList());
    }

    // ---- damaged and foreign exchange files ----

    void exchangeFilesAreJudgedBeforeUse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("count");
        QByteArray two(2 * R, '\0');
        putInt(two, 0, -1);
        putInt(two, R, -1);
        QByteArray newer = two;
        putInt(newer, 0, -2);
        QByteArray old(2 * 1388, '\0');
        putInt(old, 0, 1);
        QByteArray zeroMark(R, '\0');
        QTest::newRow("two records") << two << int(ExchangeLayout::Current) << 2;
        QTest::newRow("empty") << QByteArray() << int(ExchangeLayout::Current) << 0;
        QTest::newRow("a record and a bit") << two.left(R + 7) << int(ExchangeLayout::Damaged) << 0;
        QTest::newRow("three bytes") << QByteArray("\xff\xff\xff", 3) << int(ExchangeLayout::Damaged) << 0;
        QTest::newRow("newer version mark") << newer << int(ExchangeLayout::NewerLayout) << 0;
        QTest::newRow("previous layout") << old << int(ExchangeLayout::OldLayout) << 2;
        QTest::newRow("previous mark, not its size") << zeroMark << int(ExchangeLayout::Damaged) << 0;
        QTest::newRow("contacts given as reminders") << QByteArray(C, '\xff') << int(ExchangeLayout::Damaged) << 0;
    }
    void exchangeFilesAreJudgedBeforeUse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, layout);
        QFETCH(int, count);
        writeFileBytes(exchange(), bytes);
        const ExchangeCheck check = CheckReminderExchange(exchange());
        QCOMPARE(int(check.layout), layout);
        QCOMPARE(check.count, count);

        // Nothing unreadable reaches the home file.
        writeReminders(home(), { reminder(1, "a") });
        const QByteArray before = readFileBytes(home());
        const ExchangeImport result = ImportReminders(exchange(), home(), true, nullptr);
        QCOMPARE(int(result.check.layout), layout);
        if (layout != int(ExchangeLayout::Current)) {
            QCOMPARE(result.imported, 0);
            QCOMPARE(readFileBytes(home()), before);
        } else {
            QCOMPARE(result.imported, count);
        }
        QCOMPARE(CheckReminderExchange(m_exchange->filePath("none.dat")).layout, ExchangeLayout::Missing);
    }

    void contactExchangeFilesOfAnotherMarkAreRefused()
    {
        QByteArray bytes(C, '\0');
        putInt(bytes, 0, -1);
        writeFileBytes(exchangeContacts(), bytes);
        QCOMPARE(CheckContactExchange(exchangeContacts()).layout, ExchangeLayout::Current);
        putInt(bytes, 0, -3);
        writeFileBytes(exchangeContacts(), bytes);
        QCOMPARE(CheckContactExchange(exchangeContacts()).layout, ExchangeLayout::NewerLayout);
        putInt(bytes, 0, 5);
        writeFileBytes(exchangeContacts(), bytes);
        QCOMPARE(CheckContactExchange(exchangeContacts()).layout, ExchangeLayout::Damaged);
    }

    void recordsOfAnotherMarkInsideAFileAreLeftOut()
    {
        writeReminders(exchange(), { reminder(1, "a"), reminder(2, "b"), reminder(3, "c") });
        QByteArray bytes = readFileBytes(exchange());
        putInt(bytes, R, -7); // the second record claims a newer layout
        writeFileBytes(exchange(), bytes);
        const ExchangeImport result = ImportReminders(exchange(), home(), false, nullptr);
        QCOMPARE(result.imported, 2);
        QCOMPARE(result.skipped, 1);
        QCOMPARE(reminders(home()), QStringList({ "1 a", "2 c" }));
    }

    void lengthBytesOverTheirCapacityReadOnlyTheCapacity()
    {
        writeReminders(exchange(), { reminder(1, "title", true, true) });
        QByteArray bytes = readFileBytes(exchange());
        // The title (capacity 20, length byte at 1364) claims 255 bytes; its
        // 20 bytes are X, the flag after it (Erased, 1385) still says erased.
        bytes[1364] = char(255);
        for (int i = 0; i < 20; ++i)
            bytes[1365 + i] = 'X';
        // The event time (capacity 5 at 45) claims 200.
        bytes[45] = char(200);
        writeFileBytes(exchange(), bytes);
        ImportReminders(exchange(), home(), false, nullptr);
        const QByteArray stored = readFileBytes(home());
        QCOMPARE(stored.size(), R);
        QCOMPARE(uchar(stored[1364]), uchar(20));
        QCOMPARE(stored.mid(1365, 20), QByteArray(20, 'X'));
        QCOMPARE(stored[1385], char(1));
        QCOMPARE(uchar(stored[45]), uchar(5));
        QCOMPARE(stored.mid(46, 5), QByteArray("09:00"));
    }

    // ---- [FImport] and file times ----

    // Written at a local time (Europe/Prague), plus a shift in seconds.
    void fileTimesRoundTripThroughTheKeys_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<int>("shift");
        QTest::newRow("an ordinary afternoon") << QDate(2025, 3, 5) << QTime(14, 7, 9, 870) << 0;
        QTest::newRow("leap day, a hair before midnight") << QDate(2024, 2, 29) << QTime(23, 59, 59, 999) << 0;
        QTest::newRow("just after the spring change") << QDate(2025, 3, 30) << QTime(3, 0, 0, 500) << 0;
        QTest::newRow("autumn, the second 2:30") << QDate(2024, 10, 27) << QTime(2, 30, 15, 250) << 3600;
    }
    void fileTimesRoundTripThroughTheKeys()
    {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(int, shift);
        const ProcessTimeZone zone("Europe/Prague");
        const QDateTime written = QDateTime(date, time).addSecs(shift);
        writeFileBytes(exchange(), QByteArray());
        QFile file(exchange());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
        file.close();

        const std::optional<double> fileTime = ExchangeFileTime(exchange());
        QVERIFY(fileTime);
        const QDateTime seen = DateTimeToQDateTime(*fileTime);
        QCOMPARE(seen.date(), date);
        QCOMPARE(seen.time(), QTime(time.hour(), time.minute(), time.second()));
        StoreMoment(m_home->iniPath(), "autodatum", "autocas", *fileTime);
        const double stored = StoredMoment(m_home->iniPath(), "autodatum", "autocas", "00:00");
        // What was recorded is not older than the file: not due again.
        QVERIFY(!LaterToTheSecond(*fileTime, stored));
        QVERIFY(!LaterToTheSecond(stored, *fileTime));
        QVERIFY(LaterToTheSecond(*fileTime + OneSecond, stored));
        QVERIFY(!ExchangeFileTime(m_exchange->filePath("none")));
    }

    void storedTextThatDoesNotParseTakesTheDefault()
    {
        IniFile ini(m_home->iniPath());
        QCOMPARE(StoredMoment(ini.fileName(), "datum", "cas", "00:00"), EncodeDate(2000, 1, 1));
        ini.writeString("FImport", "datum", "32.13.2025");
        ini.writeString("FImport", "cas", "25:61");
        QCOMPARE(StoredMoment(ini.fileName(), "datum", "cas", "1:00:00"), EncodeDate(2000, 1, 1) + OneHour);
        ini.writeString("FImport", "datum", "5.3.2025");
        ini.writeString("FImport", "cas", "10:00:01");
        QCOMPARE(StoredMoment(ini.fileName(), "datum", "cas", "00:00"), EncodeDate(2025, 3, 5) + EncodeTime(10, 0, 1, 0));
        StoreMoment(ini.fileName(), "kdatum", "kcas", EncodeDate(2025, 12, 31) + EncodeTime(7, 5, 3, 0));
        QCOMPARE(ini.readString("FImport", "kdatum", ""), QString("31.12.2025"));
        QCOMPARE(ini.readString("FImport", "kcas", ""), QString("7:05:03"));
    }

    // ---- both machines ----

    void anExportImportsOnTheOtherMachineAsItWasExported()
    {
        writeReminders(home(), { reminder(1.25, "porada"), reminder(2.5, "soukromé", false), reminder(3.75, "oběd") });
        writeContacts(homeContacts(), { contact(10.5, "Žlutý"), contact(11.5, "Tajný", false) });
        QCOMPARE(ExportReminders(home(), exchange(), QString(), std::nullopt, nullptr), 2);
        QCOMPARE(ExportContacts(homeContacts(), exchangeContacts(), QString(), std::nullopt, nullptr), 1);

        TempProgramFolder other;
        writeReminders(other.file("korvel.da1"), { reminder(3.75, "oběd (starý)"), reminder(9, "jiné") });
        ImportReminders(exchange(), other.file("korvel.da1"), false, nullptr);
        ImportContacts(exchangeContacts(), other.file("korvel.db1"), false, nullptr);
        QCOMPARE(reminders(other.file("korvel.da1")), QStringList({ "1 oběd", "2 jiné", "3 porada" }));
        QCOMPARE(contacts(other.file("korvel.db1")), QStringList({ "1 Žlutý" }));
        ReminderRecord there;
        int n = 3;
        ReadReminder(n, other.file("korvel.da1"), there);
        ReminderRecord here = reminder(1.25, "porada");
        here.ID = 3;
        QCOMPARE(there, here);
    }
};

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
