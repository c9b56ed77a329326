#include "filereplace.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

// The rename itself is on disk once the folder is; the data is safe either
// way, so a failure here is no failure of the replacement.
void syncFolderOf(const QString& path)
{
    const int fd = ::open(nativePath(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

} // namespace

ReplacementFile::ReplacementFile(const QString& target)
    : m_target(resolvedTarget(target))
    , m_path(m_target + QStringLiteral(".new"))
{
    do
        m_fd = ::open(nativePath(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0)
        throw IoError(errno, m_path);
    struct stat st;
    if (::stat(nativePath(m_target).constData(), &st) == 0)
        ::fchmod(m_fd, st.st_mode & 07777);
}

ReplacementFile::~ReplacementFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed)
        ::unlink(nativePath(m_path).constData());
}

void ReplacementFile::write(const char* data, qint64 length)
{
    while (length > 0) {
        const ssize_t n = ::write(m_fd, data, static_cast<size_t>(length));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw IoError(n < 0 ? errno : EIO, m_path);
        data += n;
        length -= n;
    }
}

void ReplacementFile::commit()
{
    if (::fsync(m_fd) != 0)
        throw IoError(errno, m_path);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw IoError(errno, m_path);
    if (::rename(nativePath(m_path).constData(), nativePath(m_target).constData()) != 0)
        throw IoError(errno, m_target);
    m_committed = true;
    syncFolderOf(m_target);
}

void CopyFileReplacing(const QString& source, const QString& target)
{
    int in;
    do
        in = ::open(nativePath(source).constData(), O_RDONLY | O_CLOEXEC);
    while (in < 0 && errno == EINTR);
    if (in < 0)
        throw IoError(errno, source);
    const auto closeSource = qScopeGuard([in] { ::close(in); });
    ReplacementFile copy(target);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw IoError(errno, source);
        if (n == 0)
            break;
        copy.write(buffer.data(), n);
    }
    copy.commit();
}
