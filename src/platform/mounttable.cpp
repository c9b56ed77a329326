#include "mounttable.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

// The table writes space, tab, newline and backslash in a path as "\ooo".
QString Unescape(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3') {
            bool ok = false;
            const int c = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += char(c);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return QFile::decodeName(out);
}

// The removable flag of a block device in sysfs, looked up for the device
// itself and, for a partition, for the disk holding it.
bool IsRemovableDevice(const QString& device)
{
    const QString resolved = QFileInfo(device).canonicalFilePath();
    if (!resolved.startsWith(QLatin1String("/dev/")))
        return false;
    QString dir = QFileInfo(QStringLiteral("/sys/class/block/") + resolved.mid(5)).canonicalFilePath();
    for (int level = 0; level < 2 && !dir.isEmpty(); ++level) {
        QFile flag(dir + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
        dir = QFileInfo(dir).path();
    }
    return false;
}

} // namespace

QList<MountEntry> ReadMountTable()
{
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ParseMountInfo(file.readAll());
}

QList<MountEntry> ParseMountInfo(const QByteArray& text)
{
    // "36 35 98:0 /root /mnt/point rw,noatime [optional fields] - ext3 /dev/sda1 rw"
    QList<MountEntry> table;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        const qsizetype dash = f.indexOf("-", 6);
        if (f.size() < 7 || dash < 0 || dash + 2 >= f.size())
            continue;
        MountEntry e;
        bool ok = false;
        e.id = f[0].toInt(&ok);
        e.mountPoint = Unescape(f[4]);
        if (!ok || !e.mountPoint.startsWith(u'/'))
            continue;
        e.device = QString::fromLatin1(f[2]);
        e.type = Unescape(f[dash + 1]);
        e.source = Unescape(f[dash + 2]);
        table << e;
    }
    return table;
}

VolumeKind ClassifyVolume(const QString& fileSystemType, const QString& source, const QString& mountPoint)
{
    static const QStringList remote { QStringLiteral("nfs"), QStringLiteral("nfs4"), QStringLiteral("cifs"),
        QStringLiteral("smb3"), QStringLiteral("smbfs"), QStringLiteral("ncpfs"), QStringLiteral("afs"),
        QStringLiteral("9p"), QStringLiteral("ceph"), QStringLiteral("glusterfs"), QStringLiteral("davfs"),
        QStringLiteral("fuse.sshfs"), QStringLiteral("fuse.rclone"), QStringLiteral("fuse.s3fs") };
    const QString type = fileSystemType.toLower();
    if (remote.contains(type) || source.startsWith(QLatin1String("//"))
        || (!source.startsWith(u'/') && source.contains(QLatin1String(":/"))))
        return VolumeKind::Remote;
    // Another FUSE file system may be anything, and may stop answering.
    if (type == QLatin1String("fuse") || type.startsWith(QLatin1String("fuse.")))
        return VolumeKind::Unknown;
    if (type == QLatin1String("iso9660") || type == QLatin1String("udf") || source.startsWith(QLatin1String("/dev/sr"))
        || source == QLatin1String("/dev/cdrom"))
        return VolumeKind::CDRom;
    if (type == QLatin1String("tmpfs") || type == QLatin1String("ramfs") || source.startsWith(QLatin1String("/dev/ram"))
        || source.startsWith(QLatin1String("/dev/zram")))
        return VolumeKind::RamDisk;
    if (mountPoint.startsWith(QLatin1String("/media/")) || mountPoint.startsWith(QLatin1String("/run/media/"))
        || (source.startsWith(QLatin1String("/dev/")) && IsRemovableDevice(source)))
        return VolumeKind::Removable;
    if (type == QLatin1String("squashfs"))
        return VolumeKind::Unknown;
    // The root is the system's disk whatever it is made of (an overlay in a
    // container).
    if (source.startsWith(QLatin1String("/dev/")) || mountPoint == QLatin1String("/"))
        return VolumeKind::Fixed;
    return VolumeKind::Unknown;
}

bool IsKernelFileSystem(const QString& type)
{
    static const QStringList kernel { QStringLiteral("proc"), QStringLiteral("sysfs"), QStringLiteral("devpts"),
        QStringLiteral("devtmpfs"), QStringLiteral("cgroup"), QStringLiteral("cgroup2"), QStringLiteral("securityfs"),
        QStringLiteral("debugfs"), QStringLiteral("tracefs"), QStringLiteral("pstore"), QStringLiteral("bpf"),
        QStringLiteral("mqueue"), QStringLiteral("hugetlbfs"), QStringLiteral("configfs"), QStringLiteral("fusectl"),
        QStringLiteral("binfmt_misc"), QStringLiteral("efivarfs"), QStringLiteral("rpc_pipefs"), QStringLiteral("nsfs"),
        QStringLiteral("rootfs") };
    return kernel.contains(type);
}

const MountEntry* MountOf(const QList<MountEntry>& table, const QString& path)
{
    const MountEntry* best = nullptr;
    for (const MountEntry& e : table) {
        const bool holds = e.mountPoint == QLatin1String("/")
            || (path.startsWith(e.mountPoint)
                && (path.size() == e.mountPoint.size() || path[e.mountPoint.size()] == u'/'));
        // The later of two mounts on one point is the one on top.
        if (holds && (!best || e.mountPoint.size() >= best->mountPoint.size()))
            best = &e;
    }
    return best;
}
