#pragma once

// Looks at a volume with a time limit, so that one that has stopped answering
// cannot hold the program.

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// A network share or a FUSE file system that has stopped answering holds
// every call that touches it, for good, and no thread can be made to give
// up. What the programs ask of a volume on their GUI thread is therefore
// asked on a worker thread and waited for a bounded time: a volume that does
// not answer within AnswerMs counts as not there. A worker that does not come
// back is left to finish (or hang) on its own; until it has, further asks of
// that volume fail at once rather than pile up more stuck workers. (Not for
// the fixed disks and RAM disks: a link on them may lead to the dead volume,
// and they must stay usable.)
namespace VolumeProbe {

inline constexpr int AnswerMs = 3000;

// Runs ask on a worker thread for the volume that holds path and waits for
// it at most AnswerMs; false when it did not come back in time. ask may
// outlive the call: it must own what it uses (capture by value).
bool Ask(const QString& path, std::function<void()> ask);

// What ask returned, or nothing when the volume did not answer in time.
template <typename T> std::optional<T> Answer(const QString& path, std::function<T()> ask)
{
    auto result = std::make_shared<std::optional<T>>();
    if (!Ask(path, [result, ask = std::move(ask)] { *result = ask(); }))
        return std::nullopt;
    return *result;
}

// False also when the volume does not answer.
bool Exists(const QString& path);
bool IsDir(const QString& path);
bool IsFile(const QString& path);

} // namespace VolumeProbe
