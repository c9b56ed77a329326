#include "testsupport.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// Each test process gets a runtime folder of its own, so command sockets of
// tests running side by side never meet.
void setUpRuntimeFolder()
{
    QString dir = QDir::tempPath() + QStringLiteral("/korvel-test-%1").arg(QCoreApplication::applicationPid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
}

// Whether mounts made here are seen only by this process and the programs it
// starts, never by the other programs on the machine.
bool ownMounts()
{
    static const bool own = unshare(CLONE_NEWNS) == 0 && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return own;
}
} // namespace
Q_CONSTRUCTOR_FUNCTION(setUpRuntimeFolder)

TempProgramFolder::TempProgramFolder()
{
    SetProgramFolderForTests(m_dir.path());
}

TempProgramFolder::~TempProgramFolder()
{
    SetProgramFolderForTests(QString());
}

DeadMount::DeadMount()
{
    if (geteuid() != 0 || !QFile::exists(QStringLiteral("/dev/fuse"))) {
        m_unavailable = QStringLiteral("mounting a FUSE file system needs root and /dev/fuse");
        return;
    }
    // Any other program on the machine that looks at every volume would hang.
    if (!ownMounts()) {
        m_unavailable = QStringLiteral("no mount namespace of its own: ") + QString::fromLocal8Bit(strerror(errno));
        return;
    }
    QDir().mkpath(path());
    m_server.start(qEnvironmentVariable("KORVEL_BUILD_DIR") + QStringLiteral("/tests/tools/korvel_deadmount"),
        { path(), QStringLiteral("120") });
    if (!m_server.waitForReadyRead(10000) || !m_server.readLine().startsWith("mounted"))
        m_unavailable = QStringLiteral("korvel_deadmount did not mount: ")
            + QString::fromLocal8Bit(m_server.readAllStandardError());
}

DeadMount::~DeadMount()
{
    // The server lets go of the mount on SIGTERM; killed, it leaves an
    // aborted one behind to be detached here.
    m_server.terminate();
    if (!m_server.waitForFinished(5000))
        m_server.kill();
    m_server.waitForFinished(5000);
    umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

ScriptedDialogs::ScriptedDialogs()
{
    Dialogs::setScripted(true);
    Dialogs::clearScript();
}

ScriptedDialogs::~ScriptedDialogs()
{
    Dialogs::clearScript();
    Dialogs::setScripted(false);
}

FixedClock::FixedClock(const QDateTime& t)
{
    Clock::setNow(t);
}

FixedClock::~FixedClock()
{
    Clock::reset();
}

WriteLimit::WriteLimit(qint64 bytes)
{
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    m_saved = qint64(limit.rlim_cur);
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
}

WriteLimit::~WriteLimit()
{
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_saved);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_handler);
}

namespace {
// The disk whose write-backs fail, if any.
std::atomic<const SmallDisk*> failingDisk;
} // namespace

SmallDisk::SmallDisk()
    : m_mounted(geteuid() == 0 && ownMounts()
        && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, "size=1m") == 0)
{
}

SmallDisk::~SmallDisk()
{
    if (failingDisk == this)
        failingDisk = nullptr;
    m_limit.reset();
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void SmallDisk::fill()
{
    QFile filler(file(QStringLiteral("filler")));
    if (!m_mounted)
        m_limit.emplace(0);
    else if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        while (filler.write(QByteArray(4096, 'F')) == 4096) { }
}

void SmallDisk::failWriteBack(Call call)
{
    m_failing = call;
    m_canonical = QFile::encodeName(QFileInfo(path()).canonicalFilePath()) + '/';
    failingDisk = this;
}

bool SmallDisk::writeBackFails(int fd, Call call) const
{
    char target[4096];
    const ssize_t n = m_failing == call
        ? ::readlink(("/proc/self/fd/" + QByteArray::number(fd)).constData(), target, sizeof target)
        : 0;
    return n > 0 && QByteArray(target, n).startsWith(m_canonical);
}

// The program's own calls of fsync and close come here first.
extern "C" int fsync(int fd)
{
    const SmallDisk* disk = failingDisk;
    return disk && disk->writeBackFails(fd, SmallDisk::Sync) ? (errno = EIO, -1) : int(::syscall(SYS_fsync, fd));
}

extern "C" int close(int fd)
{
    const SmallDisk* disk = failingDisk;
    const bool fails = disk && disk->writeBackFails(fd, SmallDisk::Close);
    const int result = int(::syscall(SYS_close, fd));
    return fails ? (errno = EIO, -1) : result;
}

QString artifactPath(const QString& name)
{
    const QString dir = qEnvironmentVariableIsSet("KORVEL_ARTIFACTS")
        ? qEnvironmentVariable("KORVEL_ARTIFACTS")
        : qEnvironmentVariable("KORVEL_BUILD_DIR", QDir::tempPath()) + QStringLiteral("/artifacts");
    QDir().mkpath(dir);
    return dir + u'/' + name;
}

QByteArray readFileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void freeWindowsBut(const QWidget* mainForm)
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != mainForm && !w->parentWidget())
            windows.append(w);
    for (const QPointer<QWidget>& w : windows)
        delete w.data();
}

void typeText(QWidget* w, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void pressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(window->window()->windowHandle(), key, modifiers);
}

void mouseButton(QWidget* control, bool press)
{
    const QPoint at = control->mapTo(control->window(), control->rect().center());
    QWindow* window = control->window()->windowHandle();
    if (press)
        QTest::mousePress(window, Qt::LeftButton, {}, at);
    else
        QTest::mouseRelease(window, Qt::LeftButton, {}, at);
}

void atNextEvents(QObject* context, std::function<void()> f)
{
    // A timer, not a queued call: timers fire in every round of events,
    // also in one let in from inside a handler.
    auto* timer = new QTimer(context);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, context, [timer, f = std::move(f)] {
        timer->deleteLater();
        f();
    });
    timer->start(0);
}

bool saveScreenshot(QWidget* w, const QString& name)
{
    return w->grab().toImage().save(artifactPath(name + QStringLiteral(".png")));
}

int RunTimer(QTimer& timer, qint64 span, const std::function<void()>& handler)
{
    const QDateTime end = Clock::now().addMSecs(span);
    int runs = 0;
    while (timer.isActive() && runs < 100000) {
        const QDateTime next = Clock::now().addMSecs(timer.interval());
        if (next > end)
            break;
        Clock::setNow(next);
        handler();
        ++runs;
    }
    return runs;
}
