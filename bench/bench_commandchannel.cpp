// A code posted to another process, handled there on its main thread and
// posted back: the round trip bounds the time until the receiver has handled
// a code. The receiver is korvel_peer in echo mode.

#include "platform/commandchannel.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace {

const QString OwnTitle = QStringLiteral("Korvel-Bench");
const QString EchoTitle = QStringLiteral("Korvel-Bench-Echo");
const QString SinkTitle = QStringLiteral("Korvel-Bench-Sink");

QString peerProgram()
{
    const QString build = qEnvironmentVariable("KORVEL_BUILD_DIR");
    return (build.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/..") : build)
        + QStringLiteral("/tests/tools/korvel_peer");
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[size_t(p * double(v.size() - 1))];
}

void waitUntil(const std::function<bool()>& done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void BM_PostHandledByAnotherProcess(benchmark::State& state)
{
    int32_t sent = 0;
    int32_t echoed = -1;
    CommandChannel::own().setHook([&](int32_t code, int32_t) { echoed = code; });
    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!CommandChannel::post(EchoTitle, ++sent)) {
            state.SkipWithError("the echo peer does not run");
            break;
        }
        waitUntil([&] { return echoed == sent; });
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    CommandChannel::own().setHook(nullptr);
    state.counters["median_us"] = percentile(micros, 0.5);
    state.counters["p99_us"] = percentile(micros, 0.99);
}
BENCHMARK(BM_PostHandledByAnotherProcess)->Unit(benchmark::kMicrosecond);

// The sender's cost alone: nothing is awaited.
void BM_Post(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(CommandChannel::post(SinkTitle, 1));
}
BENCHMARK(BM_Post)->Unit(benchmark::kMicrosecond);

void BM_PostToSelf(benchmark::State& state)
{
    int handled = 0;
    CommandChannel::own().setHook([&](int32_t, int32_t) { ++handled; });
    int posted = 0;
    for (auto _ : state) {
        CommandChannel::own().postToSelf(-6);
        ++posted;
        waitUntil([&] { return handled == posted; });
    }
    CommandChannel::own().setHook(nullptr);
}
BENCHMARK(BM_PostToSelf)->Unit(benchmark::kMicrosecond);

bool startPeer(QProcess& peer, const QStringList& args, const QString& title)
{
    peer.start(peerProgram(), args);
    if (!peer.waitForStarted())
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!CommandChannel::answers(title)) {
        if (std::chrono::steady_clock::now() > deadline || peer.waitForFinished(10))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    if (CommandChannel::own().listen(OwnTitle) != CommandChannel::ListenResult::Listening) {
        qCritical("cannot take %s", qPrintable(OwnTitle));
        return 1;
    }
    QProcess echo;
    QProcess sink;
    if (!startPeer(echo, { "echo", EchoTitle, OwnTitle }, EchoTitle)
        || !startPeer(sink, { "listen", SinkTitle, "/dev/null" }, SinkTitle)) {
        qCritical("cannot start %s", qPrintable(peerProgram()));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (QProcess* peer : { &echo, &sink }) {
        peer->terminate();
        peer->waitForFinished();
    }
    return 0;
}
