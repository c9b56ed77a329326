// A reminder file of the previous layout, converted as the reminders program
// does at start, then read as the lists read it.
#include "fuzzsupport.h"
#include "oldlayout.h"

#include "platform/errors.h"
#include "shared/oldreminderfile.h"
#include "shared/reminderfile.h"
#include "shared/reminderkinds.h"

#include <QFile>

#include <limits>

namespace {

Fuzz::Seeds seeds()
{
    QByteArray damaged = oldLayoutRecord(3, QStringLiteral("Poškozený"), -1);
    putRecordReal(damaged, 4, std::numeric_limits<double>::quiet_NaN());
    putRecordReal(damaged, 1380, 1e300);
    putRecordText(damaged, 1356, QString(20, u'x'), 255);
    return { oldLayoutRecord(1, QStringLiteral("Porada")),
        oldLayoutRecord(5, QStringLiteral("Porada")) + oldLayoutRecord(2, QStringLiteral("Druhá"), 0), damaged };
}

void run(const QByteArray& input)
{
    const QString data = Fuzz::path(QStringLiteral("korvel.da1"));
    const QString work = Fuzz::path(QStringLiteral("korvel.pr1"));
    Fuzz::write(QStringLiteral("korvel.da1"), input);
    QFile::remove(work);
    try {
        ConvertOldReminderFile(data, work, [](int, int) {});
        ForEachReminder(data, [](int, const ReminderRecord& r) {
            (void)DurationText(r.Length);
            (void)EventEndText(r.EventDate, r.EventTime, r.Length);
            (void)WeekdayDateTimeText(r.Created);
        });
    } catch (const IoError&) {
    }
}

} // namespace

KORVEL_FUZZ_TARGET(seeds, run)
