#include "filereplace.h"

#include "errors.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a writer waits for another that is writing the same file.
constexpr int BusyWaitMs = 5000;

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

int openRetrying(const QString& path, int flags)
{
    int fd;
    do
        fd = ::open(nativePath(path).constData(), flags | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// The rename itself is on disk once the folder is; the data is safe either
// way, so a failure here is no failure of the replacement.
void syncFolderOf(const QString& path)
{
    const int fd = openRetrying(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString resolvedTarget(const QString& target)
{
    const QFileInfo info(target);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

QString replacementPath(const QString& resolvedTarget)
{
    return resolvedTarget + QStringLiteral(".new");
}

// Whether the open file is still the one the path names: a program may have
// put it in place, or removed it, between our open and our lock.
bool namesOpenFile(int fd, const QString& path)
{
    struct stat opened;
    struct stat named;
    return ::fstat(fd, &opened) == 0 && ::lstat(nativePath(path).constData(), &named) == 0
        && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool lock(int fd, ReplacementFile::WhenBusy busy)
{
    const QDeadlineTimer deadline(BusyWaitMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || busy == ReplacementFile::WhenBusy::Fail || deadline.hasExpired())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// An open of the new file that holds its lock, or -1 with errno set (EBUSY:
// another program is writing it). The lock lives as long as the writer, so
// a new file nobody holds is left over from a writer that was killed.
int openLocked(const QString& path, int flags, ReplacementFile::WhenBusy busy)
{
    for (;;) {
        const int fd = openRetrying(path, flags | O_NOFOLLOW);
        if (fd < 0)
            return -1;
        if (!lock(fd, busy)) {
            const int code = errno == EWOULDBLOCK ? EBUSY : errno;
            ::close(fd);
            errno = code;
            return -1;
        }
        if (namesOpenFile(fd, path))
            return fd;
        ::close(fd);
        if (!(flags & O_CREAT)) {
            errno = ENOENT;
            return -1;
        }
    }
}

} // namespace

ReplacementFile::ReplacementFile(const QString& target, WhenBusy busy)
    : m_target(resolvedTarget(target))
    , m_path(replacementPath(m_target))
{
    // Not truncated before the lock is held: the file may be another
    // program's work in progress.
    m_fd = openLocked(m_path, O_WRONLY | O_CREAT, busy);
    if (m_fd < 0)
        throw IoError(errno, m_path);
    if (::ftruncate(m_fd, 0) != 0) {
        const int code = errno;
        ::unlink(nativePath(m_path).constData());
        ::close(m_fd);
        throw IoError(code, m_path);
    }
    struct stat st;
    if (::stat(nativePath(m_target).constData(), &st) == 0)
        ::fchmod(m_fd, st.st_mode & 07777);
}

ReplacementFile::~ReplacementFile()
{
    // Removed while the lock is held, so no other program takes it meanwhile.
    if (!m_committed)
        ::unlink(nativePath(m_path).constData());
    if (m_fd >= 0)
        ::close(m_fd);
}

void ReplacementFile::write(const char* data, qint64 length)
{
    while (length > 0) {
        const ssize_t n = ::write(m_fd, data, static_cast<size_t>(length));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw IoError(n < 0 ? errno : EIO, m_target);
        data += n;
        length -= n;
    }
}

void ReplacementFile::commit()
{
    if (::fsync(m_fd) != 0)
        throw IoError(errno, m_target);
    if (const int code = CloseReportsFailure(m_fd))
        throw IoError(code, m_target);
    // Renamed while the lock is held: a program that opened the new file
    // meanwhile finds it locked, or finds that it is no longer the new file.
    if (::rename(nativePath(m_path).constData(), nativePath(m_target).constData()) != 0)
        throw IoError(errno, m_target);
    m_committed = true;
    ::close(std::exchange(m_fd, -1));
    syncFolderOf(m_target);
}

void RemoveStaleReplacement(const QString& target)
{
    const QString path = replacementPath(resolvedTarget(target));
    const int fd = openLocked(path, O_RDONLY, ReplacementFile::WhenBusy::Fail);
    if (fd < 0)
        return;
    ::unlink(nativePath(path).constData());
    ::close(fd);
}

int CloseReportsFailure(int fd)
{
    const int probe = ::dup(fd);
    if (probe < 0 || (::close(probe) != 0 && errno != EINTR))
        return errno;
    return 0;
}

namespace {

// Reads an open file to its end in pieces, handing each to take.
template <class Take> void readAll(int fd, const QString& path, Take&& take)
{
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw IoError(errno, path);
        if (n == 0)
            return;
        take(buffer.data(), n);
    }
}

} // namespace

void CopyFileReplacing(const QString& source, const QString& target)
{
    const int in = openRetrying(source, O_RDONLY);
    if (in < 0)
        throw IoError(errno, source);
    const auto closeSource = qScopeGuard([in] { ::close(in); });
    ReplacementFile copy(target);
    readAll(in, source, [&](const char* data, qint64 n) { copy.write(data, n); });
    copy.commit();
}

std::optional<QByteArray> ReadWholeFile(const QString& path)
{
    const int fd = openRetrying(path, O_RDONLY);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw IoError(errno, path);
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    QByteArray content;
    readAll(fd, path, [&](const char* data, qint64 n) { content.append(data, n); });
    return content;
}
