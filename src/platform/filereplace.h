#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A new version of a file, written beside it under the name target + ".new"
// and put in its place in one step once it is complete and on disk. Until
// then the target stays as it was; a new file that never takes the target's
// place is removed again. Whatever fails, the target is either all old or
// all new, never half written. A failure to make the new file names it (it
// may be what stands in the way); any later one names the target.
class ReplacementFile {
public:
    // What happens when another program is writing a new version of the
    // same target: Fail throws IoError (EBUSY); Wait lets it finish first
    // (for a few seconds at most), for files whose writes are short.
    enum class WhenBusy { Fail, Wait };

    // Creates the new file empty (a left-over one is taken over). It keeps
    // the access rights of the target (when there is one); a target reached
    // through a link is replaced where it really lies. Throws IoError when
    // the folder takes no new file.
    explicit ReplacementFile(const QString& target, WhenBusy busy = WhenBusy::Fail);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Where the new content goes; any open of this path may write it.
    const QString& path() const { return m_path; }
    const QString& target() const { return m_target; }

    // Appends bytes through the file's own open.
    void write(const char* data, qint64 length);

    // Everything written reaches the disk (written, synced and closed
    // without an error), then the file takes the target's place. Throws
    // IoError; the target is untouched then.
    void commit();

private:
    QString m_target;
    QString m_path;
    int m_fd = -1;
    bool m_committed = false;
};

// Removes the new file of target that a killed writer left behind; one that
// is being written is left alone.
void RemoveStaleReplacement(const QString& target);

// target := a copy of source, put in place in one step (an existing target
// is replaced only by the whole copy). Throws IoError.
void CopyFileReplacing(const QString& source, const QString& target);

// Some file systems (network ones) report a failed write-back only when the
// file is closed. Closing a duplicate of fd reports it while fd stays open
// (a lock on it held, the file still to be put back); 0, or the error.
int CloseReportsFailure(int fd);

// The whole content of a file; none when it does not exist. Throws IoError
// when it exists but cannot be read.
std::optional<QByteArray> ReadWholeFile(const QString& path);
