// Does one piece of work that moves the records of a data file, so that a
// test can kill it part-way:
//   korvel_filework prepare <work> <folder>   writes the files the work starts from
//   korvel_filework run <work> <folder>       prints "go", does the work, prints "done"
// Works: remove (the removal window's batch), renumber, import (with the
// erased ones removed), convert (a file of the previous layout), contact
// (a contact's delete). The data files are korvel.da1 and korvel.db1.
// Racing writers on the files of "prepare race": replace imports again and
// again until append has added and changed Rounds records and made "stop".
// hold takes the reminder file's lock before "go" until its input ends.
#include "shared/contactfile.h"
#include "shared/datafilelock.h"
#include "shared/exchangefiles.h"
#include "shared/oldreminderfile.h"
#include "shared/reminderfile.h"
#include "shared/reminderlists.h"

#include "platform/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <thread>

namespace {

constexpr int Records = 1000;
constexpr int Contacts = 500;
constexpr int Rounds = 40;

ReminderRecord reminder(int id, bool erased)
{
    ReminderRecord r;
    r.ID = id;
    r.Created = 45000 + id / 100.0;
    r.Transferable = true;
    r.RemindDate = QStringLiteral("12.3.2026");
    r.RemindTime = QStringLiteral("08:30");
    r.Description1 = QStringLiteral("Porada číslo %1, zasedací místnost ve druhém patře.").arg(id);
    r.Title = QStringLiteral("Porada %1").arg(id);
    r.Erased = erased;
    r.LastChange = r.Created;
    return r;
}

ContactRecord contact(int i)
{
    ContactRecord c;
    c.cislo = i;
    c.unikat = 45000 + i;
    c.jmeno = QStringLiteral("Jana");
    c.prijmeni = QStringLiteral("Nováková %1").arg(i);
    return c;
}

// count records by position; id and erased give each one its ID and mark.
void writeReminders(const QString& path, int count, int (*id)(int), bool (*erased)(int))
{
    for (int position = 1; position <= count; ++position)
        WriteReminder(position, path, reminder(id(position), erased(position)));
}

// The previous layout: the ID first, Created after it, the title at 1356.
void writeOldReminders(const QString& path, int count)
{
    QByteArray bytes(qsizetype(count) * OldReminderSize, '\0');
    for (int i = 0; i < count; ++i) {
        char* record = bytes.data() + qsizetype(i) * OldReminderSize;
        const int32_t id = i + 1;
        const double created = 45000 + id / 100.0;
        std::memcpy(record, &id, 4);
        std::memcpy(record + 4, &created, 8);
        const QByteArray title = QStringLiteral("Stará %1").arg(id).toLatin1();
        record[1356] = char(title.size());
        std::memcpy(record + 1357, title.constData(), title.size());
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw IoError(EIO, path);
}

void prepare(const QString& work, const QDir& folder)
{
    const QString data = folder.filePath(QStringLiteral("korvel.da1"));
    if (work == QLatin1String("remove")) {
        writeReminders(
            data, Records, [](int p) { return p; }, [](int p) { return p % 15 == 0; });
    } else if (work == QLatin1String("renumber")) {
        writeReminders(
            data, Records, [](int p) { return 2 * p + 1; }, [](int) { return false; });
    } else if (work == QLatin1String("import")) {
        writeReminders(
            data, Records, [](int p) { return p; }, [](int) { return false; });
        // Every third one known at home (some of them erased there now),
        // the rest new.
        writeReminders(
            folder.filePath(ReminderExchangeName), 900, [](int p) { return p % 3 == 0 ? 3 * p : Records + p; },
            [](int p) { return p % 9 == 0; });
    } else if (work == QLatin1String("convert")) {
        writeOldReminders(data, Records);
    } else if (work == QLatin1String("contact") || work == QLatin1String("race")) {
        const QString contacts = folder.filePath(QStringLiteral("korvel.db1"));
        for (int i = 1; i <= Contacts; ++i)
            WriteContact(i, contacts, contact(i));
    } else {
        throw KorvelError(QStringLiteral("unknown work ") + work);
    }
    if (work == QLatin1String("race")) {
        // The import keeps the second half of the reminders and drops a contact.
        writeReminders(
            data, Records, [](int p) { return p; }, [](int) { return false; });
        writeReminders(
            folder.filePath(ReminderExchangeName), Records / 2, [](int p) { return Records / 2 + p; },
            [](int) { return false; });
        ContactRecord gone = contact(Contacts);
        gone.vymazano = true;
        WriteContact(1, folder.filePath(ContactExchangeName), gone);
    }
}

void race(const QString& work, const QDir& folder)
{
    const QString data = folder.filePath(QStringLiteral("korvel.da1"));
    const QString contacts = folder.filePath(QStringLiteral("korvel.db1"));
    const QString stop = folder.filePath(QStringLiteral("stop"));
    if (work == QLatin1String("replace")) {
        do {
            ImportReminders(folder.filePath(ReminderExchangeName), data, false, nullptr);
            ImportContacts(folder.filePath(ContactExchangeName), contacts, true, nullptr);
            // Room for the other writer, as a real program's pauses give.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (!QFile::exists(stop));
        return;
    }
    for (int k = 1; k <= Rounds; ++k) {
        ReminderRecord r = reminder(Records + k, false);
        ContactRecord c = contact(Contacts + k);
        r.Created = c.unikat = 90000 + k;
        AppendReminder(data, r);
        AppendContact(contacts, c);
        ReminderRecord changed = reminder(k, false);
        changed.Title = QStringLiteral("Změněno");
        ImportReminder(data, changed, changed.Created);
    }
    QFile(stop).open(QIODevice::WriteOnly);
}

void run(const QString& work, const QDir& folder)
{
    if (work == QLatin1String("hold")) {
        const DataFileLock lock(folder.filePath(QStringLiteral("korvel.da1")));
        std::puts("go");
        std::fflush(stdout);
        while (std::getchar() != EOF) { }
        return;
    }
    const QString data = folder.filePath(QStringLiteral("korvel.da1"));
    QList<int32_t> erased;
    if (work == QLatin1String("remove"))
        ForEachReminder(data, [&](int, const ReminderRecord& r) {
            if (r.Erased)
                erased << r.ID;
        });
    std::puts("go");
    std::fflush(stdout);
    if (work == QLatin1String("remove"))
        DeleteReminders(erased, data);
    else if (work == QLatin1String("renumber"))
        RenumberReminders(data);
    else if (work == QLatin1String("import"))
        ImportReminders(folder.filePath(ReminderExchangeName), data, true, nullptr);
    else if (work == QLatin1String("convert"))
        ConvertOldReminderFile(data, folder.filePath(QStringLiteral("work")), nullptr);
    else if (work == QLatin1String("contact"))
        DeleteContact(5, folder.filePath(QStringLiteral("korvel.db1")));
    else if (work == QLatin1String("replace") || work == QLatin1String("append"))
        race(work, folder);
    else
        throw KorvelError(QStringLiteral("unknown work ") + work);
    std::puts("done");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fputs("usage: korvel_filework prepare|run <work> <folder>\n", stderr);
        return 2;
    }
    try {
        if (args[1] == QLatin1String("prepare"))
            prepare(args[2], QDir(args[3]));
        else
            run(args[2], QDir(args[3]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvel_filework: %s\n", e.what());
        return 1;
    }
    return 0;
}
