#include "volumeprobe.h"

#include "mounttable.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <sys/stat.h>

namespace {

// The volumes with a worker that did not come back, and how many. Never
// freed: a worker may come back while the program ends.
struct StuckVolumes {
    std::mutex mutex;
    QHash<QString, int> count;
};

StuckVolumes& stuck()
{
    static auto* volumes = new StuckVolumes;
    return *volumes;
}

// The mount point of the volume that holds the absolute path, when it is
// one that may stop answering; empty otherwise.
QString VolumeOf(const QString& path)
{
    const QList<MountEntry> table = ReadMountTable();
    const MountEntry* mount = MountOf(table, path);
    if (!mount || IsKernelFileSystem(mount->type))
        return {};
    const VolumeKind kind = ClassifyVolume(mount->type, mount->source, mount->mountPoint);
    return kind == VolumeKind::Fixed || kind == VolumeKind::RamDisk ? QString() : mount->mountPoint;
}

// Whether an earlier ask of the volume holding path has not come back. The
// mount table is read only while one has not.
bool OnStuckVolume(const QString& path)
{
    {
        const std::lock_guard lock(stuck().mutex);
        if (stuck().count.isEmpty())
            return false;
    }
    const QString volume = VolumeOf(path);
    const std::lock_guard lock(stuck().mutex);
    return !volume.isEmpty() && stuck().count.contains(volume);
}

struct Call {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    // Set when the caller gave up: the volume it counts as stuck.
    bool abandoned = false;
    QString volume;
};

std::optional<mode_t> ModeOf(const QString& path)
{
    return VolumeProbe::Answer<mode_t>(path, [name = QFile::encodeName(path)] {
        struct stat st { };
        return ::stat(name.constData(), &st) == 0 ? st.st_mode : mode_t(0);
    });
}

} // namespace

namespace VolumeProbe {

bool Ask(const QString& path, std::function<void()> ask)
{
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    if (OnStuckVolume(absolute))
        return false;
    auto call = std::make_shared<Call>();
    try {
        std::thread([call, ask = std::move(ask)] {
            try {
                ask();
            } catch (...) {
                // An answer that broke off is no answer.
            }
            const std::lock_guard lock(call->mutex);
            call->finished = true;
            if (call->abandoned && !call->volume.isEmpty()) {
                const std::lock_guard registry(stuck().mutex);
                if (--stuck().count[call->volume] <= 0)
                    stuck().count.remove(call->volume);
            }
            call->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    std::unique_lock lock(call->mutex);
    if (call->done.wait_for(lock, std::chrono::milliseconds(AnswerMs), [&call] { return call->finished; }))
        return true;
    call->abandoned = true;
    call->volume = VolumeOf(absolute);
    if (!call->volume.isEmpty()) {
        const std::lock_guard registry(stuck().mutex);
        ++stuck().count[call->volume];
    }
    return false;
}

bool Exists(const QString& path)
{
    return !path.isEmpty() && ModeOf(path).value_or(0) != 0;
}

bool IsDir(const QString& path)
{
    return !path.isEmpty() && S_ISDIR(ModeOf(path).value_or(0));
}

bool IsFile(const QString& path)
{
    return !path.isEmpty() && S_ISREG(ModeOf(path).value_or(0));
}

} // namespace VolumeProbe
