// The reminders program's start on the due road: from the tray's start of
// `ruvo` (its code posted as soon as the program takes codes) until the
// pop-up's window is mapped on the X display. Run it on a display (for
// example under scripts/xsession.sh --no-tray) with the programs installed
// by the build in e2e-programs.
#include "desktop.h"

#include "platform/commandchannel.h"
#include "platform/datetime.h"
#include "platform/paths.h"
#include "platform/programstarter.h"
#include "shared/commands.h"
#include "shared/reminderfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>

#include <poll.h>
#include <unistd.h>

namespace {

// The moment the next top-level window is mapped, or none after a few seconds.
class MapWatch {
public:
    MapWatch()
        : m_conn(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(m_conn))
            qFatal("no X display");
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_conn);
    }
    ~MapWatch() { xcb_disconnect(m_conn); }

    // The window mapped, or 0.
    xcb_window_t waitForMap()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            xcb_generic_event_t* event = xcb_poll_for_event(m_conn);
            if (!event) {
                pollConnection(deadline);
                continue;
            }
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            const xcb_window_t window = mapped ? reinterpret_cast<xcb_map_notify_event_t*>(event)->window : 0;
            free(event);
            if (mapped)
                return window;
        }
        return 0;
    }

    // Ends the window's program: the X server drops its connection.
    void killClientOf(xcb_window_t window)
    {
        xcb_kill_client(m_conn, window);
        xcb_flush(m_conn);
    }

private:
    void pollConnection(std::chrono::steady_clock::time_point deadline)
    {
        pollfd p {xcb_get_file_descriptor(m_conn), POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        ::poll(&p, 1, std::max<int>(0, static_cast<int>(left.count())));
    }

    xcb_connection_t* m_conn;
    xcb_window_t m_root;
};

void BM_PopupFromStart(benchmark::State& state)
{
    Desktop desktop;
    const QTemporaryDir runtime;
    SetProgramFolderForTests(desktop.folder());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("KORVEL_SOUND_LOG", QFile::encodeName(desktop.soundLog()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    ReminderRecord r;
    r.Created = Now();
    r.RemindDate = r.EventDate = DateToStr(Now());
    r.RemindTime = r.EventTime = FormatDateTime("hh:nn", Now());
    r.Title = QStringLiteral("Porada");
    r.Description1 = QStringLiteral("Zasedací místnost ve druhém patře.");
    AppendReminder(desktop.file("korvel.da1"), r);

    MapWatch watch;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!PostOrStart(ReminderAppTitle, QStringLiteral("ruvo"), 1)) {
            state.SkipWithError("the reminders program took no code");
            break;
        }
        const xcb_window_t popup = watch.waitForMap();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!popup) {
            state.SkipWithError("no pop-up was mapped");
            break;
        }
        state.PauseTiming();
        watch.killClientOf(popup);
        while (CommandChannel::answers(ReminderAppTitle))
            ::usleep(1000);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PopupFromStart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("KORVEL_PROGRAMS"))
        qputenv("KORVEL_PROGRAMS", KORVEL_E2E_PROGRAMS);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
