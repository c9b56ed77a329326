// Exchange files brought from another machine, imported into the home files
// as the reminders and contacts programs do. The first byte picks the kind
// and whether imported erased records are removed; the rest is the file.
#include "fuzzsupport.h"
#include "oldlayout.h"

#include "platform/errors.h"
#include "shared/contactfile.h"
#include "shared/exchangefiles.h"
#include "shared/reminderfile.h"

namespace {

enum Pick : char { Reminders = 0, Contacts = 1, RemoveErased = 2 };

Fuzz::Seeds seeds()
{
    const QByteArray reminders = Fuzz::reminderFile(Fuzz::sampleReminders().mid(0, 3));
    const QByteArray damaged = Fuzz::reminderFile(Fuzz::sampleReminders().mid(5, 3));
    const QByteArray contacts = Fuzz::contactFile(Fuzz::sampleContacts());
    return { char(Reminders) + reminders, char(Reminders | RemoveErased) + reminders, char(Contacts) + contacts,
        char(Contacts | RemoveErased) + contacts, char(Reminders) + oldLayoutRecord(4, QStringLiteral("Stará")),
        char(Reminders) + reminders.left(100), char(Reminders | RemoveErased) + damaged };
}

void run(const QByteArray& input)
{
    if (input.isEmpty())
        return;
    static const QByteArray reminderHome = Fuzz::reminderFile(Fuzz::sampleReminders().mid(0, 3));
    static const QByteArray contactHome = Fuzz::contactFile(Fuzz::sampleContacts());
    const bool contacts = input[0] & Contacts;
    const bool removeErased = input[0] & RemoveErased;
    Fuzz::write(QStringLiteral("exp_imp.dat"), input.mid(1));
    Fuzz::write(QStringLiteral("home.dat"), contacts ? contactHome : reminderHome);
    const QString exchange = Fuzz::path(QStringLiteral("exp_imp.dat"));
    const QString home = Fuzz::path(QStringLiteral("home.dat"));
    try {
        if (contacts) {
            (void)CheckContactExchange(exchange);
            (void)ImportContacts(exchange, home, removeErased, [](int, int) {});
            ForEachContact(home, [](int, const ContactRecord&) {});
        } else {
            (void)CheckReminderExchange(exchange);
            (void)ImportReminders(exchange, home, removeErased, [](int, int) {});
            ForEachReminder(home, [](int, const ReminderRecord&) {});
        }
    } catch (const IoError&) {
    }
}

} // namespace

KORVEL_FUZZ_TARGET(seeds, run)
