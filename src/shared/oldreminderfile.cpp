#include "oldreminderfile.h"

#include "recordfile.h"
#include "reminderfile.h"
#include "reminderkinds.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The new file while it is being written: removed again unless it has taken
// the data file's place.
class NewFile {
public:
    NewFile(const QString& path, const QString& modeOf)
        : m_path(path)
    {
        do
            m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        while (m_fd < 0 && errno == EINTR);
        if (m_fd < 0)
            throw IoError(errno, path);
        // The converted data keeps the access rights of the old file.
        struct stat st;
        if (::stat(QFile::encodeName(modeOf).constData(), &st) == 0)
            ::fchmod(m_fd, st.st_mode & 07777);
    }
    ~NewFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_replaced)
            QFile::remove(m_path);
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    const QString& path() const { return m_path; }

    // Everything written to the file (through any open) reaches the disk,
    // then it takes the place of target in one step.
    void replace(const QString& target)
    {
        if (::fsync(m_fd) != 0)
            throw IoError(errno, m_path);
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && errno != EINTR)
            throw IoError(errno, m_path);
        if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(target).constData()) != 0)
            throw IoError(errno, target);
        m_replaced = true;
        syncFolderOf(target);
    }

private:
    // The rename itself is on disk once the folder is; the data is safe
    // either way, so a failure here is no failure of the conversion.
    static void syncFolderOf(const QString& path)
    {
        const int fd
            = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }

    QString m_path;
    int m_fd = -1;
    bool m_replaced = false;
};

} // namespace

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
    QFile::remove(workPath);
    if (!QFile::copy(dataPath, workPath)) {
        result.outcome = OldDataConversion::WorkCopyFailed;
        return result;
    }

    // A data file reached through a link is replaced where it really lies.
    const QString target = QFileInfo(dataPath).canonicalFilePath();
    NewFile converted(target + QStringLiteral(".new"), target);
    const RecordFileOf<OldReminderCodec> old(dataPath);
    const int count = old.count();
    old.forEach([&](int position, const ReminderRecord& record) {
        WriteReminder(position, converted.path(), record);
        if (progress)
            progress(position, count);
    });
    converted.replace(target);
    result.outcome = OldDataConversion::Converted;
    result.count = count;
    return result;
}
