#include "commandchannel.h"

#include "application.h"
#include "useraction.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

constexpr int MessageSize = 8;
// A message with the user time of the action it was sent for.
constexpr int UserMessageSize = 12;
// The kernel queues only a handful of datagrams per socket; when a receiver
// falls that far behind, the sender waits this long for room before the code
// is given up.
constexpr int FullQueueWaitMs = 1000;

class Fd {
public:
    explicit Fd(int fd = -1)
        : m_fd(fd)
    {
    }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// The folder when it is usable: a directory of our own user, not a link. A
// folder we are about to listen in is created and narrowed to 0700; posting
// never creates it.
QByteArray usableFolder(bool forListening)
{
    const QByteArray path = QFile::encodeName(CommandChannel::socketFolder());
    if (forListening && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st { };
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return {};
    if (forListening && (st.st_mode & 07777) != 0700 && ::chmod(path.constData(), 0700) != 0)
        return {};
    return path;
}

bool validTitle(const QString& title)
{
    return !title.isEmpty() && !title.contains(QLatin1Char('/')) && title != QLatin1String(".")
        && title != QLatin1String("..");
}

bool makeAddress(const QByteArray& path, sockaddr_un& addr)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= int(sizeof addr.sun_path))
        return false;
    std::memcpy(addr.sun_path, path.constData(), path.size());
    return true;
}

// The socket address of title when its folder is usable.
bool addressOf(const QString& title, bool forListening, sockaddr_un& addr)
{
    if (!validTitle(title))
        return false;
    const QByteArray folder = usableFolder(forListening);
    return !folder.isEmpty() && makeAddress(folder + '/' + QFile::encodeName(title), addr);
}

enum class SendResult { Sent, NotFound, Full };

// One datagram; waits up to waitMs while the receiver's queue is full.
SendResult sendDatagram(const sockaddr_un& addr, const void* data, size_t size, int waitMs)
{
    Fd fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0)
        return SendResult::NotFound;
    // Connected, so that poll can tell when the receiver's queue has room.
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
        return SendResult::NotFound;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (::send(fd.get(), data, size, MSG_DONTWAIT | MSG_NOSIGNAL) == ssize_t(size))
            return SendResult::Sent;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return SendResult::NotFound;
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return SendResult::Full;
        pollfd p { fd.get(), POLLOUT, 0 };
        ::poll(&p, 1, int(left.count()));
    }
}

// The empty datagram tells a live socket from one nobody reads any more; the
// receiver drops datagrams that are not exactly one message long.
bool probe(const sockaddr_un& addr)
{
    return sendDatagram(addr, "", 0, 0) != SendResult::NotFound;
}

// Serialises claiming and removing a title's socket between programs, so two
// programs starting at once cannot both take a stale socket for their own.
class TitleLock {
public:
    explicit TitleLock(const char* socketPath)
        : m_fd(::open((QByteArray(socketPath) + ".lock").constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (m_fd.get() >= 0)
            while (::flock(m_fd.get(), LOCK_EX) != 0 && errno == EINTR) { }
    }
    bool held() const { return m_fd.get() >= 0; }

private:
    Fd m_fd; // closing it releases the lock
};

} // namespace

struct CommandChannel::Reader {
    Fd wake { ::eventfd(0, EFD_CLOEXEC) };
    std::thread thread;
};

CommandChannel::CommandChannel() = default;

CommandChannel::~CommandChannel()
{
    close();
}

CommandChannel& CommandChannel::own()
{
    // A static object, so the socket file also goes when the program leaves
    // through exit().
    static CommandChannel channel;
    return channel;
}

QString CommandChannel::socketFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat st { };
    if (runtime.startsWith(QLatin1Char('/')) && ::stat(QFile::encodeName(runtime).constData(), &st) == 0
        && S_ISDIR(st.st_mode))
        return runtime + QLatin1String("/korvel");
    return QStringLiteral("/tmp/korvel-%1").arg(::geteuid());
}

QString CommandChannel::socketPath(const QString& title)
{
    return socketFolder() + QLatin1Char('/') + title;
}

CommandChannel::ListenResult CommandChannel::listen(const QString& title)
{
    close();
    sockaddr_un addr;
    if (!addressOf(title, true, addr))
        return ListenResult::Failed;
    TitleLock lock(addr.sun_path);
    if (!lock.held())
        return ListenResult::Failed;
    Fd fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0)
        return ListenResult::Failed;
    const auto bindIt = [&] { return ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0; };
    if (!bindIt()) {
        if (errno != EADDRINUSE)
            return ListenResult::Failed;
        if (probe(addr))
            return ListenResult::AlreadyRunning;
        // Left behind by a program that did not end normally.
        struct stat st { };
        if (::lstat(addr.sun_path, &st) != 0 || S_ISDIR(st.st_mode) || ::unlink(addr.sun_path) != 0 || !bindIt())
            return ListenResult::Failed;
    }
    struct stat st { };
    if (::stat(addr.sun_path, &st) != 0)
        return ListenResult::Failed;
    auto reader = std::make_unique<Reader>();
    if (reader->wake.get() < 0)
        return ListenResult::Failed;
    m_dev = st.st_dev;
    m_ino = st.st_ino;
    m_fd = fd.release();
    m_title = title;

    // The kernel queues only about ten datagrams per socket. A thread of its
    // own drains it while the main thread is busy (a sound played to its end),
    // so a burst of codes is kept, in order, for the hook instead of lost.
    m_reader = std::move(reader);
    m_reader->thread = std::thread([this, sock = m_fd, wake = m_reader->wake.get()] {
        pollfd p[2] = { { sock, POLLIN, 0 }, { wake, POLLIN, 0 } };
        for (;;) {
            if (::poll(p, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (p[1].revents != 0 || (p[0].revents & (POLLERR | POLLNVAL)) != 0)
                return;
            unsigned char buf[16];
            ssize_t n;
            while ((n = ::recv(sock, buf, sizeof buf, MSG_TRUNC)) >= 0 || errno == EINTR) {
                if (n == MessageSize || n == UserMessageSize)
                    enqueue({ qFromLittleEndian<qint32>(buf), qFromLittleEndian<qint32>(buf + 4),
                                n == UserMessageSize ? qFromLittleEndian<quint32>(buf + 8) : 0u },
                        true);
            }
        }
    });
    return ListenResult::Listening;
}

void CommandChannel::close()
{
    if (m_fd < 0)
        return;
    // An eventfd write does not fail short of a counter overflow, and one
    // write ends the reader's poll.
    const uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(m_reader->wake.get(), &one, sizeof one);
    m_reader->thread.join();
    m_reader.reset();
    ::close(m_fd);
    m_fd = -1;
    sockaddr_un addr;
    if (addressOf(m_title, false, addr)) {
        TitleLock lock(addr.sun_path);
        struct stat st { };
        // Only our own file: a program that took over a title keeps its socket.
        if (::lstat(addr.sun_path, &st) == 0 && uint64_t(st.st_dev) == m_dev && uint64_t(st.st_ino) == m_ino)
            ::unlink(addr.sun_path);
    }
    m_title.clear();
}

void CommandChannel::setHook(Hook hook)
{
    m_hook = std::move(hook);
    if (!m_hook)
        return;
    size_t waiting;
    {
        std::lock_guard guard(m_lock);
        waiting = m_queue.size();
    }
    while (waiting-- > 0)
        scheduleDelivery();
}

void CommandChannel::postToSelf(int32_t code, int32_t arg)
{
    enqueue({ code, arg, 0 }, false);
}

size_t CommandChannel::dropped() const
{
    std::lock_guard guard(m_lock);
    return m_dropped;
}

void CommandChannel::enqueue(Message m, bool received)
{
    {
        std::lock_guard guard(m_lock);
        if (received && m_queue.size() >= MaxWaiting) {
            ++m_dropped;
            return;
        }
        m_queue.push_back(m);
    }
    scheduleDelivery();
}

void CommandChannel::scheduleDelivery()
{
    QMetaObject::invokeMethod(this, &CommandChannel::deliverOne, Qt::QueuedConnection);
}

// One message per call: a handler that opens a modal dialog lets the next
// message be delivered from the dialog's loop, still in order.
void CommandChannel::deliverOne()
{
    if (!m_hook)
        return;
    Message m;
    {
        std::lock_guard guard(m_lock);
        if (m_queue.empty())
            return;
        m = m_queue.front();
        m_queue.pop_front();
    }
    const Hook hook = m_hook; // the handler may replace the hook
    const UserAction::Scope forUser(m.userTime);
    RunGuarded([&] { hook(m.code, m.arg); });
}

bool CommandChannel::post(const QString& title, int32_t code, int32_t arg, uint32_t userTime)
{
    sockaddr_un addr;
    if (!addressOf(title, false, addr))
        return false;
    unsigned char buf[UserMessageSize];
    qToLittleEndian<qint32>(code, buf);
    qToLittleEndian<qint32>(arg, buf + 4);
    qToLittleEndian<quint32>(userTime, buf + 8);
    const size_t size = userTime != 0 ? UserMessageSize : MessageSize;
    return sendDatagram(addr, buf, size, FullQueueWaitMs) == SendResult::Sent;
}

bool CommandChannel::answers(const QString& title)
{
    sockaddr_un addr;
    return addressOf(title, false, addr) && probe(addr);
}
