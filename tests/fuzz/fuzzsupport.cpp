#include "fuzzsupport.h"

#include "platform/clock.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "shared/contactfile.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <limits>
#include <utility>

// Qt keeps caches for the process's life that a leak check would report
// after every run; the readers are checked for memory errors, not leaks.
// A smaller quarantine of freed memory keeps millions of runs of the small
// text targets well under the memory limit (the default one lets the
// allocator's free lists grow to gigabytes).
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0:quarantine_size_mb=64";
}

namespace {

QTemporaryDir* scratch = nullptr;

void writeSeeds(const QString& dir, const Fuzz::Seeds& seeds)
{
    QDir().mkpath(dir);
    for (qsizetype i = 0; i < seeds.size(); ++i) {
        QFile f(QStringLiteral("%1/seed-%2").arg(dir).arg(i, 3, 10, QLatin1Char('0')));
        if (!f.open(QIODevice::WriteOnly) || f.write(seeds[i]) != seeds[i].size())
            std::exit(1);
    }
}

// The bytes of a file the programs' own append wrote the records into.
template <class Record> QByteArray recordFile(QList<Record> records, int (*append)(const QString&, Record&))
{
    const QString file = Fuzz::path(QStringLiteral("seed.dat"));
    QFile::remove(file);
    for (Record& r : records)
        append(file, r);
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

namespace Fuzz {

int initialize(int* argc, char*** argv, Seeds (*seeds)())
{
    qputenv("TZ", "Europe/Prague");
    tzset();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int appArgc = 1;
    static char appName[] = "fuzz";
    static char* appArgv[] = { appName, nullptr };
    new QApplication(appArgc, appArgv);

    // Under /dev/shm when there is one: the targets write a file per input.
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    scratch = new QTemporaryDir(base + QStringLiteral("/korvel-fuzz-XXXXXX"));
    // libFuzzer ends the process with exit(), when Qt may be half gone: the
    // folder is removed without it.
    static const std::filesystem::path scratchPath = scratch->path().toStdString();
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(scratchPath, ignored);
    });
    SetProgramFolderForTests(scratch->path());
    Dialogs::setScripted(true);
    Clock::setNow(QDateTime(QDate(2026, 3, 28), QTime(12, 0)));

    const QByteArray flag("--write-seeds=");
    for (int i = 1; i < *argc; ++i) {
        if (std::strncmp((*argv)[i], flag.constData(), flag.size()) == 0) {
            writeSeeds(QString::fromLocal8Bit((*argv)[i] + flag.size()), seeds());
            delete scratch;
            std::exit(0);
        }
    }
    return 0;
}

QString path(const QString& name)
{
    return scratch->filePath(name);
}

void write(const QString& name, const QByteArray& bytes)
{
    QFile f(path(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
}

double now()
{
    return Now();
}

QString text(const QByteArray& input)
{
    return QString::fromUtf8(input);
}

double doubleAt(const QByteArray& input, qsizetype offset)
{
    if (offset < 0 || offset + 8 > input.size())
        return 0;
    return qFromLittleEndian<double>(input.constData() + offset);
}

int32_t intAt(const QByteArray& input, qsizetype offset)
{
    if (offset < 0 || offset + 4 > input.size())
        return 0;
    return qFromLittleEndian<qint32>(input.constData() + offset);
}

QList<ReminderRecord> sampleReminders()
{
    auto reminder = [](const QString& title, const QString& date, const QString& time) {
        ReminderRecord r;
        r.Title = title;
        r.EventDate = r.RemindDate = date;
        r.EventTime = r.RemindTime = time;
        r.Created = r.LastChange = EncodeDate(2026, 3, 20) + 0.5;
        r.RepeatKind = rkNone;
        r.AdvanceKind = akMinutes;
        r.AdvanceAmount = 15;
        r.OverdueAction = oaWithinHours;
        r.OverdueAmount = 2;
        r.NextKind = 1;
        r.NextAmount = 5;
        r.LengthKind = lkHours;
        r.Length = 1.5 / 24;
        r.Transferable = true;
        return r;
    };
    QList<ReminderRecord> list;
    list << reminder(QStringLiteral("Porada"), QStringLiteral("28.3.2026"), QStringLiteral("14:00"));
    ReminderRecord r = reminder(QStringLiteral("Ve skoku"), QStringLiteral("29.3.2026"), QStringLiteral("02:30"));
    list << r;
    r = reminder(QStringLiteral("Zvuk"), QStringLiteral("28.3.2026"), QStringLiteral("12:05"));
    r.SoundOnly = true;
    r.RepeatKind = rkWeekdays;
    r.Weekdays = QStringLiteral("17");
    r.Sound1 = QStringLiteral("\\s_hodiny\\gong.wav");
    list << r;
    r = reminder(QStringLiteral("Výročí"), QStringLiteral("29.2.2028"), QStringLiteral("09:00"));
    r.RepeatKind = rkYearly;
    r.AdvanceKind = akAbsolute;
    r.AdvanceAmount = EncodeDate(2028, 2, 1) + 0.25;
    r.LengthKind = lkEndDateTime;
    r.Length = 3;
    list << r;
    r = reminder(QStringLiteral("Odloženo"), QStringLiteral("30.3.2026"), QStringLiteral("10:00"));
    r.RemindDate = QStringLiteral("28.3.2026");
    r.RemindTime = QStringLiteral("11:55");
    r.Erased = true;
    list << r;
    // Damage: not a number, far beyond the years, a length of 1e12 days.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double bad : { nan, 1e300, -1e300, 1e12, std::numeric_limits<double>::infinity() }) {
        r = reminder(QStringLiteral("Poškozený"), QStringLiteral("28.3.2026"), QStringLiteral("13:00"));
        r.Length = bad;
        r.Created = bad;
        list << r;
        r.Length = 1;
        r.AdvanceKind = akAbsolute;
        r.AdvanceAmount = bad;
        list << r;
        r.AdvanceKind = akDays;
        list << r;
    }
    return list;
}

QList<ContactRecord> sampleContacts()
{
    QList<ContactRecord> list;
    ContactRecord c;
    c.unikat = EncodeDate(2026, 1, 5) + 0.25;
    c.zmena = EncodeDate(2026, 3, 1) + 0.75;
    c.titul_pred = QStringLiteral("Ing.");
    c.jmeno = QStringLiteral("Jana");
    c.prijmeni = QStringLiteral("Nováková");
    c.pohlavi = 1;
    c.skupina1 = QStringLiteral("práce;sousedé");
    c.email1 = QStringLiteral("jana@example.cz");
    c.tel1 = QStringLiteral("+420123456789");
    c.mobil1 = QStringLiteral("777123456");
    c.adr1_ul = QStringLiteral("Dlouhá 5");
    c.adr1_psc = QStringLiteral("11000");
    c.adr1_mesto = QStringLiteral("Praha");
    c.popis1 = QStringLiteral("Žluťoučký kůň");
    c.prenos = true;
    list << c;
    c.jmeno = QStringLiteral("Petr");
    c.pohlavi = 0;
    c.vymazano = true;
    c.tajne = true;
    c.unikat = std::numeric_limits<double>::quiet_NaN();
    c.zmena = 1e300;
    list << c;
    return list;
}

QByteArray reminderFile(QList<ReminderRecord> records)
{
    return recordFile(std::move(records), &AppendReminder);
}

QByteArray contactFile(QList<ContactRecord> records)
{
    return recordFile(std::move(records), &AppendContact);
}

void forgetDialogs()
{
    Dialogs::clearScript();
}

} // namespace Fuzz
