#include "datafilelock.h"

#include "platform/errors.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// First pause between two tries and the longest one.
constexpr int FirstPauseMs = 2;
constexpr int LongestPauseMs = 50;

struct Held {
    int fd; // -1 where the file system keeps no locks
    int depth;
};

// Per thread: an open file description's lock keeps other threads out as it
// keeps other programs out, so only a thread's own calls nest. (A process's
// classic record locks would also go whenever any open of the lock file in
// the process is closed.)
thread_local QHash<QString, Held> held;

bool takeLock(int fd)
{
    struct flock whole { };
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &whole) == 0;
}

// The file system keeps no locks at all (no lock service on the server), or
// the system knows no locks of open file descriptions.
bool locksUnsupported(int code)
{
    return code == ENOLCK || code == EOPNOTSUPP || code == ENOSYS || code == EINVAL;
}

// The lock file of a data file, beside the file a link to it leads to.
QString lockFileOf(const QString& dataPath)
{
    const QFileInfo info(dataPath);
    QString resolved = info.canonicalFilePath();
    if (resolved.isEmpty()) {
        // Not there yet: named by its folder as it really lies, so that the
        // name stays the same once the file exists.
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        resolved = (folder.isEmpty() ? info.absolutePath() : folder) + u'/' + info.fileName();
    }
    return resolved + QStringLiteral(".lck");
}

} // namespace

DataFileLock::DataFileLock(const QString& dataPath, int waitMs)
    : m_lockPath(lockFileOf(dataPath))
{
    if (const auto outer = held.find(m_lockPath); outer != held.end()) {
        ++outer->depth;
        return;
    }
    const QByteArray native = QFile::encodeName(m_lockPath);
    int fd;
    do
        fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw IoError(errno, m_lockPath);
    // Whoever may write the data file may take its lock.
    struct stat data;
    struct stat lock;
    if (::stat(QFile::encodeName(dataPath).constData(), &data) == 0 && ::fstat(fd, &lock) == 0
        && (data.st_mode & ~lock.st_mode & 0666) != 0)
        ::fchmod(fd, (lock.st_mode | data.st_mode) & 0666);

    const QDeadlineTimer deadline(waitMs);
    int pause = FirstPauseMs;
    while (!takeLock(fd)) {
        const int code = errno;
        if (code == EINTR)
            continue;
        if (locksUnsupported(code)) {
            ::close(fd);
            fd = -1;
            break;
        }
        if (code != EAGAIN && code != EACCES) {
            ::close(fd);
            throw IoError(code, m_lockPath);
        }
        const qint64 left = deadline.remainingTime();
        if (left <= 0) {
            ::close(fd);
            throw DataFileBusy(QFileInfo(dataPath).absoluteFilePath());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<qint64>(pause, left)));
        pause = std::min(2 * pause, LongestPauseMs);
    }
    held.insert(m_lockPath, { fd, 1 });
}

DataFileLock::~DataFileLock()
{
    release();
}

void DataFileLock::release()
{
    if (m_lockPath.isEmpty())
        return;
    const auto entry = held.find(std::exchange(m_lockPath, QString()));
    if (--entry->depth > 0)
        return;
    // Closing the only open of the description frees its lock.
    if (entry->fd >= 0)
        ::close(entry->fd);
    held.erase(entry);
}
