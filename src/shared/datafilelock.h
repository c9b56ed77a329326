#pragma once

#include <QString>

// One writer at a time for a data file, among the programs of this machine
// and of every machine that shares the database folder. Whoever changes the
// file holds the lock from the first read that the change depends on to the
// last write, so that no other program's change falls in between and is
// lost. Reads that only read take no lock: a file is replaced whole by a
// rename, and other writes are of one record in place.
//
// The lock is an advisory record lock (fcntl, open file description) on a
// lock file beside the data file, named after it with ".lck"; the data file
// itself cannot carry it, as a replacement gives the name a new file. The
// lock file is never removed. Record locks are honoured by local file
// systems (ext4, xfs, btrfs, tmpfs), by NFS (NLM, NFSv4) and by CIFS/SMB
// mounts; FUSE file systems hold them between machines only when the file
// system implements locks (else on this machine only), and a share mounted
// with local locks only ("nolock", "nobrl") keeps writers of other machines
// apart no more than before. A file system that refuses locks altogether
// (ENOLCK, no lock service) is written without one, as it always was.
//
// Locks nest within one thread: an operation that holds the lock may call
// others that take it too; only the outermost takes and frees the system's
// lock. A process that ends, however it ends, frees its locks.
class DataFileLock {
public:
    // A writer waits this long for another program's change to end.
    static constexpr int WriterWaitMs = 5000;
    // The tray resident's timers wait only briefly and try again at their
    // next tick.
    static constexpr int TickWaitMs = 250;

    // Waits up to waitMs for the lock; throws DataFileBusy when another
    // program holds it longer, IoError when the lock file cannot be opened.
    explicit DataFileLock(const QString& dataPath, int waitMs = WriterWaitMs);
    ~DataFileLock();
    DataFileLock(const DataFileLock&) = delete;
    DataFileLock& operator=(const DataFileLock&) = delete;

    // Frees the lock before the end of the scope (before a message that
    // waits for the user, say).
    void release();

private:
    QString m_lockPath;
};
