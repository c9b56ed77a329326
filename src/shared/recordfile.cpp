#include "recordfile.h"

#include "datafilelock.h"
#include "platform/cp1250.h"
#include "platform/errors.h"
#include "platform/filereplace.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static_assert(sizeof(double) == 8 && sizeof(int32_t) == 4);

namespace RecordBytes {

// The files are little-endian, as is every machine we build for; memcpy keeps
// the access free of alignment and aliasing traps.
static_assert(std::endian::native == std::endian::little, "record files are little-endian");

void putInt32(char* record, int offset, int32_t value)
{
    std::memcpy(record + offset, &value, sizeof value);
}

int32_t getInt32(const char* record, int offset)
{
    int32_t value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

void putDouble(char* record, int offset, double value)
{
    std::memcpy(record + offset, &value, sizeof value);
}

double getDouble(const char* record, int offset)
{
    double value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

void putFlag(char* record, int offset, bool value)
{
    record[offset] = value ? 1 : 0;
}

bool getFlag(const char* record, int offset)
{
    // The programs test these bytes for 1; any other value means "no".
    return record[offset] == 1;
}

void putString(char* record, int offset, int capacity, const QString& text)
{
    const QByteArray bytes = Cp1250::encode(text);
    const int length = static_cast<int>(std::min<qsizetype>(bytes.size(), capacity));
    record[offset] = static_cast<char>(length);
    std::memcpy(record + offset + 1, bytes.constData(), length);
    std::memset(record + offset + 1 + length, 0, capacity - length);
}

QString getString(const char* record, int offset, int capacity)
{
    const int length = std::min<int>(static_cast<unsigned char>(record[offset]), capacity);
    return Cp1250::decode(QByteArrayView(record + offset + 1, length));
}

} // namespace RecordBytes

namespace {

// Records are read and moved about a megabyte at a time.
constexpr int ChunkBytes = 1 << 20;

// One open of the file for the length of one operation.
class OpenFile {
public:
    enum Mode { ReadOnly, ReadWrite, Create };

    // A missing file is no error for ReadOnly and ReadWrite: isOpen() is false.
    OpenFile(const QString& path, Mode mode)
        : m_path(path)
    {
        const int flags = (mode == ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
        const auto open = [&](int more) {
            do
                m_fd = ::open(QFile::encodeName(path).constData(), flags | more, 0666);
            while (m_fd < 0 && errno == EINTR);
        };
        open(0);
        // Created by this open only when it is missing, so that a failed
        // first write can take the file away again.
        if (m_fd < 0 && errno == ENOENT && mode == Create) {
            open(O_CREAT | O_EXCL);
            m_created = m_fd >= 0;
            if (m_fd < 0 && errno == EEXIST)
                open(0);
        }
        if (m_fd < 0) {
            if (errno == ENOENT && mode != Create)
                return;
            fail(errno);
        }
        struct stat st;
        if (::fstat(m_fd, &st) != 0)
            fail(errno);
        // A read-only open of a folder succeeds; it is no record file all the same.
        if (S_ISDIR(st.st_mode))
            fail(EISDIR);
        m_size = m_opened = st.st_size;
    }
    ~OpenFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    qint64 size() const { return m_size; }

    int records(int recordSize) const { return static_cast<int>(std::min<qint64>(m_size / recordSize, INT_MAX)); }

    void readExactly(qint64 offset, char* buffer, qint64 length) const
    {
        while (length > 0) {
            const ssize_t n = ::pread(m_fd, buffer, static_cast<size_t>(length), offset);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                fail(errno);
            if (n == 0)
                fail(EIO); // the file ended early: another program shortened it
            buffer += n;
            offset += n;
            length -= n;
        }
    }

    void writeAll(qint64 offset, const char* buffer, qint64 length)
    {
        while (length > 0) {
            const ssize_t n = ::pwrite(m_fd, buffer, static_cast<size_t>(length), offset);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                failRestoring(n < 0 ? errno : EIO);
            buffer += n;
            offset += n;
            length -= n;
            m_size = std::max(m_size, offset);
        }
    }

    // Closes and reports a failure (a write-back error shows up here on some
    // file systems). For a file that grew, a duplicate is closed first, so
    // that the file can still be put back when that reports the failure.
    void close()
    {
        if (const int code = m_size > m_opened ? CloseReportsFailure(m_fd) : 0)
            failRestoring(code);
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && errno != EINTR)
            fail(errno);
    }

    [[noreturn]] void fail(int code) const { throw IoError(code, m_path); }

private:
    // A write that failed leaves the file as this open found it: what it
    // wrote past the old end (maybe part of a record) is cut off again, and
    // a file it created is removed. Cutting off needs no room on the disk;
    // should it fail all the same, a part of a record left at the end is not
    // counted as one, and the next append writes over it.
    [[noreturn]] void failRestoring(int code)
    {
        if (m_size > m_opened || m_created) {
            while (::ftruncate(m_fd, m_opened) != 0 && errno == EINTR) { }
            if (m_created)
                ::unlink(QFile::encodeName(m_path).constData());
        }
        fail(code);
    }

    QString m_path;
    int m_fd = -1;
    qint64 m_size = 0;
    qint64 m_opened = 0; // the size when it was opened
    bool m_created = false;
};

// Reads the records at positions from..to a chunk at a time; visit gets the
// first position of the chunk, the number of records and their bytes (which
// it may change, to write them back), and returns false to stop.
template <class Visit> void forChunks(const OpenFile& file, int size, int from, int to, Visit&& visit)
{
    if (from > to)
        return;
    const int perChunk = std::max(1, ChunkBytes / size);
    std::vector<char> buffer(static_cast<size_t>(std::min(perChunk, to - from + 1)) * size);
    for (int first = from; first <= to; first += perChunk) {
        const int n = std::min(perChunk, to - first + 1);
        file.readExactly(qint64(first - 1) * size, buffer.data(), qint64(n) * size);
        if (!visit(first, n, buffer.data()))
            return;
    }
}

} // namespace

RecordFile::RecordFile(QString path, int recordSize, int idOffset)
    : m_path(std::move(path))
    , m_size(recordSize)
    , m_idOffset(idOffset)
{
}

int RecordFile::count() const
{
    const OpenFile file(m_path, OpenFile::ReadOnly);
    return file.isOpen() ? file.records(m_size) : 0;
}

bool RecordFile::read(int& position, char* record) const
{
    const OpenFile file(m_path, OpenFile::ReadOnly);
    const int count = file.isOpen() ? file.records(m_size) : 0;
    if (position > count)
        position = count;
    if (position <= 0)
        position = 1;
    if (count == 0)
        return false;
    file.readExactly(qint64(position - 1) * m_size, record, m_size);
    return true;
}

void RecordFile::write(int position, const char* record) const
{
    const DataFileLock lock(m_path);
    // A refused position must not leave an empty file behind, so the file is
    // created only once the position is known to be good.
    std::optional<OpenFile> file;
    file.emplace(m_path, OpenFile::ReadWrite);
    const int count = file->isOpen() ? file->records(m_size) : 0;
    if (position < 1 || position > count + 1)
        throw KorvelError(QStringLiteral("Záznam %1 nelze zapsat do souboru %2: soubor má záznamů %3.")
                              .arg(QString::number(position), m_path, QString::number(count)));
    if (!file->isOpen())
        file.emplace(m_path, OpenFile::Create);
    file->writeAll(qint64(position - 1) * m_size, record, m_size);
    file->close();
}

namespace {

int nextIdIn(const OpenFile& file, int size, int idOffset)
{
    const int count = file.records(size);
    if (count <= 0)
        return 1;
    // A free ID always lies within 1..count + 1, so larger ones need no mark.
    std::vector<bool> used(static_cast<size_t>(count) + 2, false);
    int lastId = 0;
    forChunks(file, size, 1, count, [&](int, int n, const char* bytes) {
        for (int i = 0; i < n; ++i) {
            lastId = RecordBytes::getInt32(bytes + qint64(i) * size, idOffset);
            if (lastId >= 1 && lastId <= count + 1)
                used[lastId] = true;
        }
        return true;
    });
    if (lastId == count && !used[count + 1])
        return count + 1;
    int id = 1;
    while (used[id])
        ++id;
    return id;
}

} // namespace

int RecordFile::append(char* record) const
{
    // The count and the free ID must still hold when the record is written.
    const DataFileLock lock(m_path);
    OpenFile file(m_path, OpenFile::Create);
    const int count = file.records(m_size);
    const int id = nextIdIn(file, m_size, m_idOffset);
    RecordBytes::putInt32(record, m_idOffset, id);
    file.writeAll(qint64(count) * m_size, record, m_size);
    file.close();
    return id;
}

int RecordFile::nextId() const
{
    const OpenFile file(m_path, OpenFile::ReadOnly);
    return file.isOpen() ? nextIdIn(file, m_size, m_idOffset) : 1;
}

bool RecordFile::idExists(int id, int count) const
{
    if (count <= 0)
        return false;
    const OpenFile file(m_path, OpenFile::ReadOnly);
    if (!file.isOpen())
        return false;
    bool found = false;
    forChunks(file, m_size, 1, count, [&](int, int n, const char* bytes) {
        for (int i = 0; i < n && !found; ++i)
            found = RecordBytes::getInt32(bytes + qint64(i) * m_size, m_idOffset) == id;
        return !found;
    });
    return found;
}

int RecordFile::removeWhere(
    const std::function<bool(int position, const char* record)>& drop, Ids ids, const Renamed& renamed) const
{
    // A write in place or an append after the read would go into the file
    // that is replaced, and be lost.
    const DataFileLock lock(m_path);
    std::vector<std::pair<int, int>> changes;
    int removed = 0;
    {
        const OpenFile file(m_path, OpenFile::ReadOnly);
        if (!file.isOpen())
            return 0;
        std::optional<ReplacementFile> out;
        // The new file is begun at the first change, with the records in
        // front of it copied (their positions stay, so they are numbered by
        // them); a pass that changes nothing writes nothing.
        const auto begin = [&](int position) {
            if (out)
                return;
            out.emplace(m_path);
            forChunks(file, m_size, 1, position - 1, [&](int first, int n, char* bytes) {
                if (ids != Ids::Keep)
                    for (int i = 0; i < n; ++i)
                        RecordBytes::putInt32(bytes + qint64(i) * m_size, m_idOffset, first + i);
                out->write(bytes, qint64(n) * m_size);
                return true;
            });
        };
        int kept = 0;
        std::vector<char> written;
        forChunks(file, m_size, 1, file.records(m_size), [&](int first, int n, char* bytes) {
            written.clear();
            for (int i = 0; i < n; ++i) {
                char* record = bytes + qint64(i) * m_size;
                if (drop(first + i, record)) {
                    ++removed;
                    begin(first + i);
                    continue;
                }
                ++kept;
                const int oldId = RecordBytes::getInt32(record, m_idOffset);
                if (ids != Ids::Keep && oldId != kept) {
                    // Without a removal so far, RenumberIfRemoved only notes
                    // the change; the copy of the front applies it.
                    if (ids == Ids::Renumber)
                        begin(first + i);
                    RecordBytes::putInt32(record, m_idOffset, kept);
                    changes.emplace_back(oldId, kept);
                }
                if (out)
                    written.insert(written.end(), record, record + m_size);
            }
            if (!written.empty())
                out->write(written.data(), qint64(written.size()));
            return true;
        });
        if (!out)
            return 0;
        out->commit();
    }
    if (renamed)
        for (const auto& [oldId, newId] : changes)
            renamed(oldId, newId);
    return removed;
}

int RecordFile::remove(const std::vector<int>& idList, Ids ids, const Renamed& renamed) const
{
    // The IDs still to remove, each as often as it is listed; removing the
    // first match again and again takes the matches in position order.
    QHash<int, int> wanted;
    for (const int id : idList)
        ++wanted[id];
    return removeWhere(
        [&](int, const char* record) {
            const auto found = wanted.find(RecordBytes::getInt32(record, m_idOffset));
            if (found == wanted.end() || *found == 0)
                return false;
            --*found;
            return true;
        },
        ids, renamed);
}

bool RecordFile::remove(int id, Ids ids) const
{
    return remove(std::vector<int> { id }, ids) > 0;
}

void RecordFile::renumber(const Renamed& renamed) const
{
    removeWhere([](int, const char*) { return false; }, Ids::Renumber, renamed);
}

bool RecordFile::readHead(char* bytes, int length) const
{
    const OpenFile file(m_path, OpenFile::ReadOnly);
    if (!file.isOpen() || file.size() < length)
        return false;
    file.readExactly(0, bytes, length);
    return true;
}

void RecordFile::scan(const std::function<bool(int position, const char* record)>& visit) const
{
    const OpenFile file(m_path, OpenFile::ReadOnly);
    if (!file.isOpen())
        return;
    forChunks(file, m_size, 1, file.records(m_size), [&](int first, int n, const char* bytes) {
        for (int i = 0; i < n; ++i)
            if (!visit(first + i, bytes + qint64(i) * m_size))
                return false;
        return true;
    });
}
