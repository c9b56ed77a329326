// korvel_peer post <title> <code> [arg [count]]
//     Posts code (then code+1 … for count codes, each with arg) to the program
//     holding title. Exit 0 when delivered, 1 when it does not run.
// korvel_peer listen <title> <logfile> [quitcode]
//     Takes title as the real program would and appends "code arg" to logfile
//     for every code received. Ends on SIGTERM, SIGINT or SIGHUP, or after
//     logging quitcode. Exit 2 when title is already taken, 3 when it cannot
//     be taken.
// korvel_peer echo <title> <replytitle>
//     Takes title and posts every code received back to replytitle.

#include "platform/commandchannel.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

int usage()
{
    std::fputs("usage: korvel_peer post <title> <code> [arg [count]]\n"
               "       korvel_peer listen <title> <logfile> [quitcode]\n"
               "       korvel_peer echo <title> <replytitle>\n",
        stderr);
    return 64;
}

std::optional<int32_t> toInt32(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int32_t>(value) : std::nullopt;
}

int post(const QString& title, const QStringList& args)
{
    const auto code = toInt32(args.value(0));
    const auto arg = args.size() > 1 ? toInt32(args.at(1)) : std::optional<int32_t>(0);
    const auto count = args.size() > 2 ? toInt32(args.at(2)) : std::optional<int32_t>(1);
    if (!code || !arg || !count || *count < 1)
        return usage();
    for (int32_t i = 0; i < *count; ++i)
        if (!CommandChannel::post(title, int32_t(uint32_t(*code) + uint32_t(i)), *arg))
            return 1;
    return 0;
}

// Termination signals arrive through the event loop, so the program ends
// normally and its socket file goes with it.
sigset_t terminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

int receive(const QString& title, const CommandChannel::Hook& hook)
{
    const sigset_t set = terminationSignals();
    const int sigFd = ::signalfd(-1, &set, SFD_CLOEXEC);
    QSocketNotifier onSignal(sigFd, QSocketNotifier::Read);
    QObject::connect(&onSignal, &QSocketNotifier::activated, qApp, &QCoreApplication::quit);

    switch (CommandChannel::own().listen(title)) {
    case CommandChannel::ListenResult::Listening:
        break;
    case CommandChannel::ListenResult::AlreadyRunning:
        std::fprintf(stderr, "korvel_peer: %s is already running\n", qPrintable(title));
        return 2;
    case CommandChannel::ListenResult::Failed:
        std::fprintf(stderr, "korvel_peer: cannot take %s in %s\n", qPrintable(title),
            qPrintable(CommandChannel::socketFolder()));
        return 3;
    }
    CommandChannel::own().setHook(hook);
    const int rc = QCoreApplication::exec();
    CommandChannel::own().close();
    ::close(sigFd);
    return rc;
}

} // namespace

int main(int argc, char** argv)
{
    // Blocked before any thread starts, so every thread leaves them to signalfd.
    const sigset_t set = terminationSignals();
    sigprocmask(SIG_BLOCK, &set, nullptr);

    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0);
    const QString title = args.value(1);
    args = args.mid(2);

    if (mode == QLatin1String("post") && !args.isEmpty() && args.size() <= 3)
        return post(title, args);
    if (mode == QLatin1String("listen") && (args.size() == 1 || args.size() == 2)) {
        QFile log(args.at(0));
        if (!log.open(QIODevice::Append | QIODevice::Text)) {
            std::fprintf(stderr, "korvel_peer: cannot open %s\n", qPrintable(args.at(0)));
            return 3;
        }
        std::optional<int32_t> quitCode;
        if (args.size() == 2 && !(quitCode = toInt32(args.at(1))))
            return usage();
        return receive(title, [&](int32_t code, int32_t arg) {
            log.write(QByteArray::number(code) + ' ' + QByteArray::number(arg) + '\n');
            log.flush();
            if (quitCode && code == *quitCode)
                QCoreApplication::quit();
        });
    }
    if (mode == QLatin1String("echo") && args.size() == 1) {
        const QString replyTitle = args.at(0);
        return receive(title, [&](int32_t code, int32_t arg) { CommandChannel::post(replyTitle, code, arg); });
    }
    return usage();
}
