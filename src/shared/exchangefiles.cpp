#include "exchangefiles.h"

#include "contactfile.h"
#include "datafilelock.h"
#include "f_p.h"
#include "formplacement.h"
#include "oldreminderfile.h"
#include "recordfile.h"
#include "reminderfile.h"

#include "platform/datetime.h"
#include "platform/errors.h"
#include "platform/filereplace.h"
#include "platform/paths.h"
#include "platform/volumeprobe.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <optional>
#include <vector>

namespace {

const QString FImport = QStringLiteral("FImport");
const QString NoDate = QStringLiteral("1.1.2000");

// What the passes need to know of a record type.
struct ReminderKind {
    using Record = ReminderRecord;
    static constexpr double Record::*Key = &ReminderRecord::Created;
    static constexpr int32_t Record::*Id = &ReminderRecord::ID;
    static constexpr int32_t Record::*Version = &ReminderRecord::Version;
    static constexpr bool Record::*Transferable = &ReminderRecord::Transferable;
    static constexpr bool Record::*Erased = &ReminderRecord::Erased;
    static constexpr double Record::*Changed = &ReminderRecord::LastChange;
    // Removing renumbers every record, and open pop-ups are told.
    static constexpr bool RenumberedAlways = true;
    static void forEach(const QString& path, const std::function<void(int, const Record&)>& visit)
    {
        ForEachReminder(path, visit);
    }
    static QByteArray bytes(const Record& record) { return ReminderBytes(record); }
    static int removeWhere(const QString& path, const std::function<bool(int, const Record&)>& drop)
    {
        return RemoveRemindersWhere(path, drop);
    }
};

struct ContactKind {
    using Record = ContactRecord;
    static constexpr double Record::*Key = &ContactRecord::unikat;
    static constexpr int32_t Record::*Id = &ContactRecord::cislo;
    static constexpr int32_t Record::*Version = &ContactRecord::verze;
    static constexpr bool Record::*Transferable = &ContactRecord::prenos;
    static constexpr bool Record::*Erased = &ContactRecord::vymazano;
    static constexpr double Record::*Changed = &ContactRecord::zmena;
    // Removing a contact numbers the rest by position.
    static constexpr bool RenumberedAlways = false;
    static void forEach(const QString& path, const std::function<void(int, const Record&)>& visit)
    {
        ForEachContact(path, visit);
    }
    static QByteArray bytes(const Record& record) { return ContactBytes(record); }
    static int removeWhere(const QString& path, const std::function<bool(int, const Record&)>& drop)
    {
        return RemoveContactsWhere(path, drop);
    }
};

void report(const ExchangeProgress& progress, int position, int total)
{
    if (progress)
        progress(position, total);
}

// Appends the record to a file being written whole.
template <class Kind> void append(ReplacementFile& file, const typename Kind::Record& record)
{
    const QByteArray bytes = Kind::bytes(record);
    file.write(bytes.constData(), bytes.size());
}

template <class Kind>
int exportRecords(const QString& homePath, const QString& target, const QString& backupTarget,
    std::optional<double> changedAfter, const ExchangeProgress& progress)
{
    using Record = typename Kind::Record;
    std::optional<ReplacementFile> backup;
    if (!backupTarget.isEmpty())
        backup.emplace(backupTarget);
    ReplacementFile file(target);
    int exported = 0;
    Kind::forEach(homePath, [&](int position, const Record& record) {
        if (record.*Kind::Transferable && (!changedAfter || record.*Kind::Changed > *changedAfter)) {
            Record out = record;
            out.*Kind::Id = ++exported;
            append<Kind>(file, out);
            if (backup)
                append<Kind>(*backup, out);
        }
        report(progress, position, exported);
    });
    if (backup)
        backup->commit();
    file.commit();
    return exported;
}

template <class Kind> int removeTransferredErased(const QString& homePath, const ExchangeProgress& progress)
{
    using Record = typename Kind::Record;
    int deleted = 0;
    Kind::removeWhere(homePath, [&](int position, const Record& record) {
        const bool drop = record.*Kind::Transferable && record.*Kind::Erased;
        deleted += drop;
        report(progress, position, deleted);
        return drop;
    });
    return deleted;
}

// Keys are compared as doubles are: 0 and -0 are the same key, and a NaN
// is no key at all.
quint64 keyBits(double key)
{
    return std::bit_cast<quint64>(key == 0 ? 0.0 : key);
}

// The home file in memory while an exchange file is merged into it, with
// the effects a sequence of one-record imports, deletions and renumberings
// would have on the file, in one read and one write.
template <class Kind> class HomeMerge {
public:
    using Record = typename Kind::Record;

    explicit HomeMerge(const QString& homePath)
    {
        Kind::forEach(homePath, [&](int, const Record& record) { add(record, true); });
    }

    // Stores the record over the first of its key, keeping that one's ID,
    // or appends it with the ID an append to the file would give. Returns
    // its index.
    int import(const Record& record)
    {
        const double key = record.*Kind::Key;
        if (!std::isnan(key)) {
            const auto found = m_byKey.constFind(keyBits(key));
            if (found != m_byKey.constEnd()) {
                Entry& entry = m_entries[size_t(*found)];
                const int32_t id = entry.record.*Kind::Id;
                entry.record = record;
                entry.record.*Kind::Id = id;
                return *found;
            }
        }
        Record stored = record;
        stored.*Kind::Id = nextId();
        add(stored, false);
        return int(m_entries.size()) - 1;
    }

    int32_t idAt(int index) const { return m_entries[size_t(index)].record.*Kind::Id; }

    // Removes the record and numbers the rest by position, as deleting and
    // renumbering the file would.
    void remove(int index)
    {
        m_entries.erase(m_entries.begin() + index);
        m_removed = true;
        m_used.clear();
        m_byKey.clear();
        m_smallestFree = 1;
        for (size_t i = 0; i < m_entries.size(); ++i) {
            const int32_t position = int32_t(i) + 1;
            m_entries[i].record.*Kind::Id = position;
            m_used.insert(position);
            indexKey(m_entries[i].record, int(i));
        }
    }

    // The new home file replaces the old one. After a removal reminders are
    // written numbered by position, and the renumber hook hears of each
    // that came from the home file with another ID, or was added under an
    // ID that is not its position, as renumbering the file would tell it.
    void write(const QString& homePath) const
    {
        const bool renumbered = m_removed && Kind::RenumberedAlways;
        QList<QPair<int, int>> renamed;
        ReplacementFile file(homePath);
        for (size_t i = 0; i < m_entries.size(); ++i) {
            Record out = m_entries[i].record;
            const int32_t position = int32_t(i) + 1;
            if (renumbered) {
                const int32_t before = m_entries[i].fromHome ? m_entries[i].homeId : out.*Kind::Id;
                if (before != position)
                    renamed.append({ before, position });
                out.*Kind::Id = position;
            }
            append<Kind>(file, out);
        }
        file.commit();
        if (renumbered)
            ReportRenumbered(renamed);
    }

private:
    struct Entry {
        Record record;
        int32_t homeId;
        bool fromHome;
    };

    void add(const Record& record, bool fromHome)
    {
        m_entries.push_back({ record, record.*Kind::Id, fromHome });
        m_used.insert(record.*Kind::Id);
        indexKey(record, int(m_entries.size()) - 1);
    }

    void indexKey(const Record& record, int index)
    {
        const double key = record.*Kind::Key;
        if (!std::isnan(key) && !m_byKey.contains(keyBits(key)))
            m_byKey.insert(keyBits(key), index);
    }

    // As the file gives one: count + 1 while the last record carries the
    // count and count + 1 is free, else the smallest free ID. IDs only come
    // and never go between removals, so the smallest free one only grows.
    int32_t nextId()
    {
        const int32_t count = int32_t(m_entries.size());
        if (count == 0)
            return 1;
        if (m_entries.back().record.*Kind::Id == count && !m_used.contains(count + 1))
            return count + 1;
        while (m_used.contains(m_smallestFree))
            ++m_smallestFree;
        return m_smallestFree;
    }

    std::vector<Entry> m_entries;
    QHash<quint64, int> m_byKey; // the first index of each key
    QSet<int32_t> m_used;
    int32_t m_smallestFree = 1;
    bool m_removed = false;
};

template <class Kind>
ExchangeImport importRecords(const QString& exchangePath, const ExchangeCheck& check, const QString& homePath,
    bool removeErased, const ExchangeProgress& progress)
{
    using Record = typename Kind::Record;
    ExchangeImport result;
    result.check = check;
    // Judged to be there by the caller, it may have gone since.
    if (check.layout == ExchangeLayout::Missing)
        throw IoError(ENOENT, exchangePath);
    if (check.layout != ExchangeLayout::Current || check.count < 1)
        return result;
    // From the read of the home file to its replacement no other program
    // writes it: a change in between would go into the file replaced.
    const DataFileLock lock(homePath);
    HomeMerge<Kind> home(homePath);
    int read = 0;
    Kind::forEach(exchangePath, [&](int position, const Record& record) {
        ++read;
        // A record of another version mark would be read wrongly.
        if (record.*Kind::Version != DataVersion) {
            ++result.skipped;
        } else {
            const int index = home.import(record);
            ++result.imported;
            if (removeErased && record.*Kind::Erased && home.idAt(index) > 0) {
                home.remove(index);
                ++result.deleted;
            }
        }
        report(progress, position, result.imported);
    });
    // A file that went away or shrank since it was judged (a share that
    // dropped) would pass for fewer records: nothing of it is kept.
    if (read != check.count)
        throw IoError(QFileInfo::exists(exchangePath) ? EIO : ENOENT, exchangePath);
    home.write(homePath);
    return result;
}

ExchangeCheck checkExchange(const QString& path, int size, std::optional<int> oldSize)
{
    ExchangeCheck check;
    const QFileInfo info(path);
    if (!info.isFile())
        return check;
    const qint64 bytes = info.size();
    if (bytes == 0) {
        check.layout = ExchangeLayout::Current;
        return check;
    }
    char head[4];
    if (!RecordFile(path, size, 4).readHead(head, sizeof head)) {
        check.layout = ExchangeLayout::Damaged;
        return check;
    }
    const int32_t mark = RecordBytes::getInt32(head, 0);
    int recordSize = size;
    if (mark < DataVersion) {
        check.layout = ExchangeLayout::NewerLayout;
        return check;
    }
    if (mark == DataVersion) {
        check.layout = ExchangeLayout::Current;
    } else if (oldSize) {
        check.layout = ExchangeLayout::OldLayout;
        recordSize = *oldSize;
    } else {
        check.layout = ExchangeLayout::Damaged;
        return check;
    }
    // Our files hold whole records only; a part of one means a copy that
    // broke off or a file of another kind, whose records would be misread.
    if (bytes % recordSize != 0) {
        check.layout = ExchangeLayout::Damaged;
        return check;
    }
    check.count = int(std::min<qint64>(bytes / recordSize, INT_MAX));
    return check;
}

} // namespace

QString StoredExchangeFolder(const QString& iniPath, const QString& programDir)
{
    return LocalPath(IniReadString(iniPath, QStringLiteral("Nastav"), QStringLiteral("expimpdir"), programDir));
}

bool ExchangeFolderUsable(const QString& folder)
{
    return !folder.isEmpty() && DriveReady(folder) && VolumeProbe::IsDir(folder);
}

double StoredMoment(const QString& iniPath, const QString& dateKey, const QString& timeKey, const QString& defaultTime)
{
    const std::optional<double> date = TryStrToDate(IniReadString(iniPath, FImport, dateKey, NoDate));
    const std::optional<double> time = TryStrToTime(IniReadString(iniPath, FImport, timeKey, defaultTime));
    return ComposeDateTime(date.value_or(*TryStrToDate(NoDate)), time.value_or(TryStrToTime(defaultTime).value_or(0)));
}

void StoreMoment(const QString& iniPath, const QString& dateKey, const QString& timeKey, double moment)
{
    IniWriteString(iniPath, FImport, dateKey, DateToStr(moment));
    IniWriteString(iniPath, FImport, timeKey, TimeToStr(moment));
}

std::optional<double> ExchangeFileTime(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    QDateTime modified = info.lastModified();
    modified.setTime(QTime(modified.time().hour(), modified.time().minute(), modified.time().second()));
    return QDateTimeToDateTime(modified);
}

bool LaterToTheSecond(double a, double b)
{
    return std::llround(a * SecsPerDay) > std::llround(b * SecsPerDay);
}

int ExportReminders(const QString& homePath, const QString& target, const QString& backupTarget,
    std::optional<double> changedAfter, const ExchangeProgress& progress)
{
    return exportRecords<ReminderKind>(homePath, target, backupTarget, changedAfter, progress);
}

int ExportContacts(const QString& homePath, const QString& target, const QString& backupTarget,
    std::optional<double> changedAfter, const ExchangeProgress& progress)
{
    return exportRecords<ContactKind>(homePath, target, backupTarget, changedAfter, progress);
}

int RemoveTransferredErasedReminders(const QString& homePath, const ExchangeProgress& progress)
{
    return removeTransferredErased<ReminderKind>(homePath, progress);
}

int RemoveTransferredErasedContacts(const QString& homePath, const ExchangeProgress& progress)
{
    return removeTransferredErased<ContactKind>(homePath, progress);
}

ExchangeCheck CheckReminderExchange(const QString& path)
{
    return checkExchange(path, ReminderRecord::Size, OldReminderSize);
}

ExchangeCheck CheckContactExchange(const QString& path)
{
    return checkExchange(path, ContactRecord::Size, std::nullopt);
}

void BackUpHomeFile(const QString& homePath, const QString& backupPath)
{
    if (QFileInfo(homePath).isFile())
        CopyFileReplacing(homePath, backupPath);
}

ExchangeImport ImportReminders(
    const QString& exchangePath, const QString& homePath, bool removeErased, const ExchangeProgress& progress)
{
    return importRecords<ReminderKind>(
        exchangePath, CheckReminderExchange(exchangePath), homePath, removeErased, progress);
}

ExchangeImport ImportContacts(
    const QString& exchangePath, const QString& homePath, bool removeErased, const ExchangeProgress& progress)
{
    return importRecords<ContactKind>(
        exchangePath, CheckContactExchange(exchangePath), homePath, removeErased, progress);
}
