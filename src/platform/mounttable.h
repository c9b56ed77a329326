#pragma once

// The volumes mounted on the machine, as the kernel's mount table lists them.
// Nothing here touches a volume: a network share or a FUSE file system that
// has stopped answering is listed and judged like any other.

#include <QByteArray>
#include <QList>
#include <QString>

// What a volume is, as the drive types of the class library named them. FUSE
// file systems other than the known network ones are of no known kind.
enum class VolumeKind { Unknown, Removable, Fixed, Remote, CDRom, RamDisk };

struct MountEntry {
    QString mountPoint; // no trailing "/" but for "/" itself
    QString type; // "ext4", "nfs4", "fuse.sshfs", …
    QString source; // "/dev/sda1", "server:/export", "//server/share", …
    int id = 0; // a new mount on the same point gets a new one
    QString device; // "major:minor"
};

// The entries of /proc/self/mountinfo in mount order (a later mount on the
// same point hides the earlier one).
QList<MountEntry> ReadMountTable();
QList<MountEntry> ParseMountInfo(const QByteArray& text);

// Judged from the file system type, the source and the mount point; for a
// block device also from its removable flag in sysfs.
VolumeKind ClassifyVolume(const QString& type, const QString& source, const QString& mountPoint);

// The kernel's own file systems (/proc, /sys, device nodes, control groups…):
// no volumes, and never waiting on anything. (An automounter's trigger is not
// one of them: a look at it mounts what may be a network share.)
bool IsKernelFileSystem(const QString& type);

// The entry whose volume holds the absolute path, judged from the path's
// text alone (a link leading elsewhere is not followed); null when the table
// is empty.
const MountEntry* MountOf(const QList<MountEntry>& table, const QString& path);
