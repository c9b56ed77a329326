#include "oldreminderfile.h"

#include "datafilelock.h"
#include "recordfile.h"
#include "reminderfile.h"
#include "reminderkinds.h"

#include "platform/errors.h"
#include "platform/filereplace.h"

#include <QFileInfo>

namespace {

// Byte offsets of the old record's fields; strings give their length byte.
enum OldOffset : int {
    OID = 0,
    OCreated = 4,
    OTransferable = 12,
    ORemindDate = 13,
    ORemindTime = 24,
    OEventDate = 30,
    OEventTime = 41,
    OSoundOnly = 47,
    ORepeatKind = 48,
    OWeekdays = 52,
    OAdvanceKind = 60,
    OAdvanceAmount = 64,
    OOverdueAction = 68,
    OOverdueAmount = 72,
    OSound1 = 76,
    OSound2 = 332,
    OSound3 = 588,
    ODescription1 = 844,
    ODescription2 = 1100,
    OTitle = 1356,
    OErased = 1377,
    OLastChange = 1380, // after two reserved bytes
};

static_assert(OLastChange + 8 == OldReminderSize);

// Reads an old record straight into the current layout.
struct OldReminderCodec {
    using Record = ReminderRecord;
    static constexpr int Size = OldReminderSize;
    static constexpr int IdOffset = OID;
    // Part of every codec; an old file is never appended to, so unused here.
    [[maybe_unused]] static constexpr int32_t ReminderRecord::*Id = &ReminderRecord::ID;

    static void decode(const char* b, ReminderRecord& r)
    {
        using namespace RecordBytes;
        r.Version = DataVersion;
        r.ID = getInt32(b, OID);
        r.Created = getDouble(b, OCreated);
        r.Transferable = getFlag(b, OTransferable);
        r.RemindDate = getString(b, ORemindDate, 10);
        r.RemindTime = getString(b, ORemindTime, 5);
        r.EventDate = getString(b, OEventDate, 10);
        r.EventTime = getString(b, OEventTime, 5);
        r.SoundOnly = getFlag(b, OSoundOnly);
        r.RepeatKind = getInt32(b, ORepeatKind);
        r.Weekdays = getString(b, OWeekdays, 7);
        r.AdvanceKind = getInt32(b, OAdvanceKind);
        r.AdvanceAmount = getInt32(b, OAdvanceAmount);
        r.OverdueAction = getInt32(b, OOverdueAction);
        r.OverdueAmount = getInt32(b, OOverdueAmount);
        r.Sound1 = getString(b, OSound1, 255);
        r.Sound2 = getString(b, OSound2, 255);
        r.Sound3 = getString(b, OSound3, 255);
        r.Description1 = getString(b, ODescription1, 255);
        r.Description2 = getString(b, ODescription2, 255);
        r.Title = getString(b, OTitle, 20);
        r.Erased = getFlag(b, OErased);
        r.LastChange = getDouble(b, OLastChange);
        r.NextKind = nkDays;
        r.NextAmount = 1.0;
        r.LengthKind = lkMinutes;
        r.Length = 0;
    }
};

} // namespace

int StoredReminderCount(const QString& path)
{
    const RecordFileOf<OldReminderCodec> old(path);
    char head[4];
    if (old.raw().readHead(head, sizeof head) && RecordBytes::getInt32(head, 0) > DataVersion)
        return old.count();
    return ReminderCount(path);
}

OldDataConversion ConvertOldReminderFile(
    const QString& dataPath, const QString& workPath, const std::function<void(int done, int count)>& progress)
{
    OldDataConversion result;
    if (!QFileInfo::exists(dataPath))
        return result;
    // Only the old layout is converted: a request that comes in after the
    // file has been converted must not read current records as old ones.
    if (CheckDataVersion(dataPath) != DataVersionCheck::OldLayout) {
        result.outcome = OldDataConversion::NotOldLayout;
        return result;
    }
    // Another machine that shares the folder may have converted the file
    // while this one waited for the lock.
    const DataFileLock lock(dataPath);
    if (DataVersionOf(dataPath) != DataVersionCheck::OldLayout) {
        result.outcome = OldDataConversion::NotOldLayout;
        return result;
    }
    try {
        CopyFileReplacing(dataPath, workPath);
    } catch (const IoError& e) {
        result.outcome = OldDataConversion::WorkCopyFailed;
        result.failure = e.message();
        return result;
    }

    ReplacementFile converted(dataPath);
    const RecordFileOf<OldReminderCodec> old(dataPath);
    const int count = old.count();
    old.forEach([&](int position, const ReminderRecord& record) {
        const QByteArray bytes = ReminderBytes(record);
        converted.write(bytes.constData(), bytes.size());
        if (progress)
            progress(position, count);
    });
    converted.commit();
    result.outcome = OldDataConversion::Converted;
    result.count = count;
    return result;
}
