#include "testsupport.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/paths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
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
    // Mounted where only this process and the programs it starts see it: any
    // other program on the machine that looks at every volume would hang.
    static const bool ownMounts
        = unshare(CLONE_NEWNS) == 0 && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    if (!ownMounts) {
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
