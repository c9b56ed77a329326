#include "desktop.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <csignal>

namespace {

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        const QString target = to + u'/' + fi.fileName();
        if (fi.isDir())
            copyTree(fi.filePath(), target);
        else
            QFile::copy(fi.filePath(), target);
    }
}

// Polls cond every 50 ms until it holds or the time is up.
template<typename F>
bool pollUntil(int timeoutMs, F cond)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (cond())
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
}

} // namespace

Desktop::Desktop()
    : m_env(QProcessEnvironment::systemEnvironment())
{
    const QString programs = qEnvironmentVariable("KORVEL_PROGRAMS");
    if (programs.isEmpty() || !QFileInfo::exists(programs))
        qFatal("KORVEL_PROGRAMS does not name the installed programs");
    copyTree(programs, m_dir.path());
    m_env.insert(QStringLiteral("KORVEL_SOUND_LOG"), soundLog());
    m_env.insert(QStringLiteral("KORVEL_DIALOG_LOG"), dialogLog());
}

Desktop::~Desktop()
{
    for (auto& p : m_processes) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }
    // The programs the tray resident started from this folder end as well
    // (a zombie has no executable any more).
    const auto fromHere = [this](const QString& pid) {
        return QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)).startsWith(m_dir.path() + u'/');
    };
    QStringList started = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    started.removeIf([&](const QString& pid) { return !fromHere(pid) || ::kill(pid.toInt(), SIGTERM) != 0; });
    if (!pollUntil(5000, [&] { return std::none_of(started.begin(), started.end(), fromHere); }))
        for (const QString& pid : started)
            ::kill(pid.toInt(), SIGKILL);
    // Last: the programs' windows go before their frames.
    if (m_windowManager) {
        m_windowManager->terminate();
        m_windowManager->waitForFinished(5000);
    }
}

bool Desktop::startWindowManager()
{
    m_windowManager = std::make_unique<QProcess>();
    m_windowManager->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager->start(QStringLiteral("openbox"), { "--sm-disable" });
    // It runs once it names its check window on the root window.
    return m_windowManager->waitForStarted(5000) && pollUntil(10000, [] {
        return QProcess::execute(QStringLiteral("sh"), { "-c", "xprop -root | grep -q ^_NET_SUPPORTING_WM_CHECK" }) == 0;
    });
}

QProcess* Desktop::start(const QString& program, const QStringList& args)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(m_env);
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    p->start(file(program), args);
    p->waitForStarted(5000);
    m_processes.push_back(std::move(p));
    return m_processes.back().get();
}

QString Desktop::xdotool(const QStringList& args) const
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

bool Desktop::waitForActive(qulonglong window, int timeoutMs) const
{
    const QString id = QString::number(window);
    return pollUntil(
        timeoutMs, [&] { return xdotool({ "getactivewindow" }) == id && xdotool({ "getwindowfocus" }) == id; });
}

QString Desktop::property(qulonglong window, const QString& name) const
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), { "-id", QString::number(window), name });
    xprop.waitForFinished(5000);
    return QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
}

qulonglong Desktop::waitForWindow(const QString& titlePattern, int timeoutMs) const
{
    qulonglong id = 0;
    pollUntil(timeoutMs, [&] {
        const QString out = xdotool({"search", "--onlyvisible", "--name", titlePattern});
        id = out.section(u'\n', 0, 0).toULongLong();
        return id != 0;
    });
    return id;
}

QRect Desktop::geometry(qulonglong window) const
{
    QRect r;
    const QStringList shell = xdotool({ "getwindowgeometry", "--shell", QString::number(window) }).split(u'\n');
    for (const QString& line : shell) {
        const int v = line.section(u'=', 1).toInt();
        if (line.startsWith(QLatin1String("X=")))
            r.moveLeft(v);
        else if (line.startsWith(QLatin1String("Y=")))
            r.moveTop(v);
        else if (line.startsWith(QLatin1String("WIDTH=")))
            r.setWidth(v);
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            r.setHeight(v);
    }
    return r;
}

qulonglong Desktop::waitForTrayIcon(const QString& className, int timeoutMs) const
{
    qulonglong icon = 0;
    pollUntil(timeoutMs, [&] {
        const QString out = xdotool({ "search", "--onlyvisible", "--classname", className });
        for (const QString& id : out.split(u'\n', Qt::SkipEmptyParts)) {
            const QRect g = geometry(id.toULongLong());
            if (g.width() > 0 && g.width() <= 64 && g.height() <= 64)
                icon = id.toULongLong();
        }
        return icon != 0;
    });
    return icon;
}

QList<qulonglong> Desktop::visibleWindows(const QStringList& how) const
{
    QList<qulonglong> ids;
    for (const QString& id : xdotool(QStringList { "search", "--onlyvisible" } + how).split(u'\n', Qt::SkipEmptyParts))
        ids << id.toULongLong();
    return ids;
}

qulonglong Desktop::chooseFromTrayMenu(qulonglong icon, int ups, const QString& titlePattern) const
{
    const QPoint c = geometry(icon).center();
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QList<qulonglong> before = visibleWindows({ "--classname", "korvel" });
        xdotool({ "mousemove", QString::number(c.x()), QString::number(c.y()), "click", "3" });
        qulonglong menu = 0;
        waitUntil(5000, [&] {
            for (qulonglong w : visibleWindows({ "--classname", "korvel" }))
                if (!before.contains(w) && geometry(w).height() > 100)
                    menu = w;
            return menu != 0;
        });
        if (!menu)
            continue;
        QThread::msleep(300); // mapped is not yet taking keys
        QStringList keys { "key" };
        for (int i = 0; i < ups; ++i)
            keys << "Up";
        keys << "Return";
        xdotool(keys);
        if (const qulonglong opened = waitForWindow(titlePattern, 15000))
            return opened;
        xdotool({ "key", "Escape" });
    }
    return 0;
}

bool Desktop::waitForNoWindow(const QString& titlePattern, int timeoutMs) const
{
    return pollUntil(timeoutMs,
                     [&] { return xdotool({"search", "--onlyvisible", "--name", titlePattern}).isEmpty(); });
}

QStringList Desktop::lines(const QString& path) const
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

bool Desktop::waitForLine(const QString& path, const QString& text, int timeoutMs) const
{
    return pollUntil(timeoutMs, [&] {
        const QStringList ls = lines(path);
        return std::any_of(ls.begin(), ls.end(), [&](const QString& l) { return l.contains(text); });
    });
}

QString Desktop::screenshot(const QString& name, qulonglong window) const
{
    const QString path = artifactPath(name + QStringLiteral(".png"));
    QProcess::execute(QStringLiteral("import"),
                      { "-window", window ? QString::number(window) : QStringLiteral("root"), path });
    return path;
}

bool waitUntil(int timeoutMs, const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}
