#include "reminderfile.h"

#include "f_p.h"
#include "jbstr.h"
#include "recordfile.h"

#include "platform/application.h"

namespace {

// Byte offsets of the fields; strings give the offset of their length byte.
enum Offset : int {
    OVersion = 0,
    OID = 4,
    OCreated = 8,
    OTransferable = 16,
    ORemindDate = 17,
    ORemindTime = 28,
    OEventDate = 34,
    OEventTime = 45,
    OSoundOnly = 51,
    ORepeatKind = 52,
    OWeekdays = 56,
    OAdvanceKind = 64,
    OAdvanceAmount = 68,
    OOverdueAction = 76,
    OOverdueAmount = 80,
    OSound1 = 84,
    OSound2 = 340,
    OSound3 = 596,
    ODescription1 = 852,
    ODescription2 = 1108,
    OTitle = 1364,
    OErased = 1385,
    OReserved = 1386, // two bytes, written as zero
    OLastChange = 1388,
    ONextKind = 1396,
    ONextAmount = 1400,
    OLengthKind = 1408,
    OLength = 1412,
};

struct ReminderCodec {
    using Record = ReminderRecord;
    static constexpr int Size = ReminderRecord::Size;
    static constexpr int IdOffset = OID;
    static constexpr int32_t ReminderRecord::*Id = &ReminderRecord::ID;

    static void encode(const ReminderRecord& r, char* b)
    {
        using namespace RecordBytes;
        putInt32(b, OVersion, r.Version);
        putInt32(b, OID, r.ID);
        putDouble(b, OCreated, r.Created);
        putFlag(b, OTransferable, r.Transferable);
        putString(b, ORemindDate, 10, r.RemindDate);
        putString(b, ORemindTime, 5, r.RemindTime);
        putString(b, OEventDate, 10, r.EventDate);
        putString(b, OEventTime, 5, r.EventTime);
        putFlag(b, OSoundOnly, r.SoundOnly);
        putInt32(b, ORepeatKind, r.RepeatKind);
        putString(b, OWeekdays, 7, r.Weekdays);
        putInt32(b, OAdvanceKind, r.AdvanceKind);
        putDouble(b, OAdvanceAmount, r.AdvanceAmount);
        putInt32(b, OOverdueAction, r.OverdueAction);
        putInt32(b, OOverdueAmount, r.OverdueAmount);
        putString(b, OSound1, 255, r.Sound1);
        putString(b, OSound2, 255, r.Sound2);
        putString(b, OSound3, 255, r.Sound3);
        putString(b, ODescription1, 255, r.Description1);
        putString(b, ODescription2, 255, r.Description2);
        putString(b, OTitle, 20, r.Title);
        putFlag(b, OErased, r.Erased);
        b[OReserved] = b[OReserved + 1] = 0;
        putDouble(b, OLastChange, r.LastChange);
        putInt32(b, ONextKind, r.NextKind);
        putDouble(b, ONextAmount, r.NextAmount);
        putInt32(b, OLengthKind, r.LengthKind);
        putDouble(b, OLength, r.Length);
    }

    static void decode(const char* b, ReminderRecord& r)
    {
        using namespace RecordBytes;
        r.Version = getInt32(b, OVersion);
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
        r.AdvanceAmount = getDouble(b, OAdvanceAmount);
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
        r.NextKind = getInt32(b, ONextKind);
        r.NextAmount = getDouble(b, ONextAmount);
        r.LengthKind = getInt32(b, OLengthKind);
        r.Length = getDouble(b, OLength);
    }
};

static_assert(OLength + 8 == ReminderRecord::Size);

using ReminderFile = RecordFileOf<ReminderCodec>;

std::function<void(int, int)>& renumberHook()
{
    static std::function<void(int, int)> hook;
    return hook;
}

} // namespace

int ReminderCount(const QString& path)
{
    return ReminderFile(path).count();
}

bool ReadReminder(int& position, const QString& path, ReminderRecord& record)
{
    if (ReminderFile(path).read(position, record))
        return true;
    record.ID = 0;
    record.Created = 0;
    return false;
}

void WriteReminder(int position, const QString& path, const ReminderRecord& record)
{
    ReminderFile(path).write(position, record);
}

int AppendReminder(const QString& path, ReminderRecord& record)
{
    return ReminderFile(path).append(record);
}

int NextRecordId(const QString& path)
{
    return ReminderFile(path).raw().nextId();
}

bool ReminderIdExists(const QString& path, int id, int count)
{
    return ReminderFile(path).raw().idExists(id, count);
}

void DeleteReminder(int id, const QString& path)
{
    ReminderFile(path).raw().remove(id, RecordFile::Ids::Keep);
}

void RenumberReminders(const QString& path)
{
    ReminderFile(path).raw().renumber(renumberHook());
}

void DeleteReminders(const QList<int32_t>& ids, const QString& path)
{
    ReminderFile(path).raw().remove(
        std::vector<int>(ids.begin(), ids.end()), RecordFile::Ids::Renumber, renumberHook());
}

int RemoveRemindersWhere(
    const QString& path, const std::function<bool(int position, const ReminderRecord& record)>& drop)
{
    return ReminderFile(path).removeWhere(drop, RecordFile::Ids::Renumber, renumberHook());
}

void ReportRenumbered(const QList<QPair<int, int>>& changes)
{
    if (renumberHook())
        for (const auto& [oldId, newId] : changes)
            renumberHook()(oldId, newId);
}

void SetReminderRenumberHook(std::function<void(int oldId, int newId)> hook)
{
    renumberHook() = std::move(hook);
}

QByteArray ReminderBytes(const ReminderRecord& record)
{
    QByteArray bytes(ReminderRecord::Size, '\0');
    ReminderCodec::encode(record, bytes.data());
    return bytes;
}

bool SameReminder(const ReminderRecord& a, const ReminderRecord& b)
{
    return ReminderBytes(a) == ReminderBytes(b);
}

void ForEachReminder(const QString& path, const std::function<void(int position, const ReminderRecord& record)>& visit)
{
    ReminderFile(path).forEach(visit);
}

DataVersionCheck DataVersionOf(const QString& path)
{
    // The mark is read from the first four bytes whenever there are four: a
    // file of the previous layout holding one record (1388 bytes) has no whole
    // record of this layout, yet must not be taken for current data.
    char head[4];
    if (!ReminderFile(path).raw().readHead(head, sizeof head))
        return DataVersionCheck::Current;
    const int32_t mark = RecordBytes::getInt32(head, 0);
    if (mark == DataVersion)
        return DataVersionCheck::Current;
    return mark > DataVersion ? DataVersionCheck::OldLayout : DataVersionCheck::NewerLayout;
}

DataVersionCheck CheckDataVersion(const QString& path)
{
    const DataVersionCheck check = DataVersionOf(path);
    if (check != DataVersionCheck::NewerLayout)
        return check;
    MessageDlgCentered(
        QStringLiteral("Data připomenutí jsou uložena pomocí novější verze\nnelze načíst - ukončuji aplikaci"),
        MsgDlgType::Warning, MsgBtn::OK, 0);
    Application::terminate();
    return DataVersionCheck::NewerLayout;
}

QString ExpandDataPath(const QString& path, const QString& baseDir)
{
    if (path.startsWith(u'\\'))
        return baseDir + path;
    return path;
}

QString StripPathPrefix(const QString& s, const QString& prefix)
{
    if (prefix.isEmpty() || s.size() < prefix.size() || !SameText(QStringView(s).left(prefix.size()), prefix))
        return s;
    return s.mid(prefix.size());
}
