// Global hotkeys and the screen saver against a real X server (Xvfb), with
// key presses sent by xdotool. Run by scripts/xsession.sh.
#include "platform/hotkeys.h"
#include "platform/screensaver.h"

#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTest>

#include <unistd.h>

#include <cstdio>

namespace {

void xdotool(const QStringList& args)
{
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}

void xset(const QStringList& args)
{
    QCOMPARE(QProcess::execute(QStringLiteral("xset"), args), 0);
}

// Another X client: this program started again with "--hold TEXT" grabs
// TEXT, says "held" or "refused", reports "pressed" for each press and ends
// when its input is closed.
int holdHotKey(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    HotKeys keys;
    const bool held = keys.registerHotKey(1, TextToShortCut(QString::fromUtf8(argv[2])));
    const auto say = [](const char* line) {
        std::fputs(line, stdout);
        std::fflush(stdout);
    };
    QObject::connect(&keys, &HotKeys::hotKey, [&] { say("pressed\n"); });
    say(held ? "held\n" : "refused\n");
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char c;
        if (::read(STDIN_FILENO, &c, 1) <= 0)
            app.quit();
    });
    return app.exec();
}

} // namespace

class TestHotKeysX11 : public QObject {
    Q_OBJECT
private:
    // Starts the other client; it holds its grab until the process object goes.
    void startHolder(QProcess& holder, const QString& text)
    {
        holder.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--hold"), text });
        QVERIFY(holder.waitForStarted(5000));
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine(), QByteArray("held\n"));
    }
    void stopHolder(QProcess& holder)
    {
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
    }

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }

    void aPressDeliversItsHotKeysId()
    {
        HotKeys keys;
        QSignalSpy pressed(&keys, &HotKeys::hotKey);
        QVERIFY(keys.registerHotKey(1, TextToShortCut("Ctrl+Alt+N")));
        QVERIFY(keys.registerHotKey(3, TextToShortCut("Ctrl+Alt+A")));
        for (const char* text : { "A", "Esc", "Shift+A" }) // keys the other programs keep
            QVERIFY(!keys.registerHotKey(2, TextToShortCut(text)));
        QVERIFY(keys.registerHotKey(4, TextToShortCut("Win+N")));
        xdotool({ "key", "a", "Escape", "ctrl+alt+a" });
        QVERIFY(pressed.wait(3000));
        xdotool({ "key", "ctrl+alt+n", "super+n" });
        QTRY_COMPARE_WITH_TIMEOUT(pressed.size(), 3, 3000);
        QCOMPARE(pressed.at(0).at(0).toInt(), 3);
        QCOMPARE(pressed.at(1).at(0).toInt(), 1);
        QCOMPARE(pressed.at(2).at(0).toInt(), 4);
    }

    void onlyTheExactModifiersCountWhateverTheLocks()
    {
        HotKeys keys;
        QSignalSpy pressed(&keys, &HotKeys::hotKey);
        QVERIFY(keys.registerHotKey(4, TextToShortCut("Shift+F5")));
        QVERIFY(keys.registerHotKey(5, TextToShortCut("Alt+Num 5")));
        xdotool({ "key", "F5", "ctrl+shift+F5", "alt+F5" });
        QVERIFY(!pressed.wait(400));
        xdotool({ "key", "shift+F5" });
        QVERIFY(pressed.wait(3000));
        // Num Lock and Caps Lock on: the grabs of the lock variants catch it.
        xdotool({ "key", "Num_Lock", "Caps_Lock" });
        xdotool({ "key", "shift+F5", "alt+KP_5" });
        QTRY_COMPARE_WITH_TIMEOUT(pressed.size(), 3, 3000);
        xdotool({ "key", "Num_Lock", "Caps_Lock" });
        QCOMPARE(pressed.at(1).at(0).toInt(), 4);
        QCOMPARE(pressed.at(2).at(0).toInt(), 5);
    }

    void unregisteredKeysAreReleased()
    {
        HotKeys keys;
        QSignalSpy pressed(&keys, &HotKeys::hotKey);
        QVERIFY(keys.registerHotKey(1, TextToShortCut("Ctrl+Alt+J")));
        QVERIFY(keys.registerHotKey(2, TextToShortCut("Ctrl+Alt+L")));
        keys.unregisterHotKey(1);
        xdotool({ "key", "ctrl+alt+j" });
        QVERIFY(!pressed.wait(400));
        // Registering an id again replaces its combination.
        QVERIFY(keys.registerHotKey(2, TextToShortCut("Ctrl+Alt+J")));
        xdotool({ "key", "ctrl+alt+l", "ctrl+alt+j" });
        QVERIFY(pressed.wait(3000));
        QVERIFY(!pressed.wait(300));
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(pressed.at(0).at(0).toInt(), 2);
        keys.unregisterAll();
        xdotool({ "key", "ctrl+alt+j" });
        QVERIFY(!pressed.wait(400));
        // Released for other programs too.
        QProcess holder;
        startHolder(holder, "Ctrl+Alt+J");
        stopHolder(holder);
    }

    // The six hotkeys of the settings, two of them alike: the second of the
    // pair fails, as RegisterHotKey did, and the others work.
    void theSameCombinationTwiceInOneProgramFailsOnce()
    {
        HotKeys keys;
        QSignalSpy pressed(&keys, &HotKeys::hotKey);
        const QStringList texts { "Ctrl+Alt+N", "Ctrl+Alt+P", "Ctrl+Alt+N", "Shift+Ctrl+K", "", "Alt+F7" };
        int failures = 0;
        for (int id = 1; id <= 6; ++id) {
            const QKeyCombination sc = TextToShortCut(texts[id - 1]);
            if (sc.toCombined() != 0 && !keys.registerHotKey(id, sc))
                ++failures;
        }
        QCOMPARE(failures, 1);
        xdotool({ "key", "ctrl+alt+n" });
        QVERIFY(pressed.wait(3000));
        QCOMPARE(pressed.at(0).at(0).toInt(), 1);
        // Another object of the same program is refused as well.
        HotKeys more;
        QVERIFY(!more.registerHotKey(9, TextToShortCut("Alt+F7")));
        QVERIFY(more.registerHotKey(9, TextToShortCut("Alt+F8")));
    }

    void aCombinationAnotherProgramHoldsIsRefused()
    {
        QProcess holder;
        startHolder(holder, "Ctrl+Alt+K");
        HotKeys keys;
        QSignalSpy pressed(&keys, &HotKeys::hotKey);
        QVERIFY(!keys.registerHotKey(1, TextToShortCut("Ctrl+Alt+K")));
        QVERIFY(keys.registerHotKey(2, TextToShortCut("Ctrl+Alt+M")));
        // The refusal took nothing from the holder: the press still goes there.
        xdotool({ "key", "ctrl+alt+k" });
        QVERIFY(holder.waitForReadyRead(3000));
        QCOMPARE(holder.readLine(), QByteArray("pressed\n"));
        QVERIFY(!pressed.wait(300));
        stopHolder(holder);
        // Once the holder is gone the combination is free.
        QVERIFY(keys.registerHotKey(1, TextToShortCut("Ctrl+Alt+K")));
        xdotool({ "key", "ctrl+alt+k" });
        QVERIFY(pressed.wait(3000));
        QCOMPARE(pressed.at(0).at(0).toInt(), 1);
    }

    void theScreenSaverStartsOnRequest()
    {
        xset({ "s", "reset" });
        QCOMPARE(ScreenSaver::IsOn(), std::optional<bool>(false));
        QVERIFY(ScreenSaver::Activate());
        QCOMPARE(ScreenSaver::IsOn(), std::optional<bool>(true));
        xset({ "s", "reset" });
        QCOMPARE(ScreenSaver::IsOn(), std::optional<bool>(false));
    }

    void theScreenSaverIsSwitchedOffAndOn()
    {
        xset({ "s", "600" });
        QCOMPARE(ScreenSaver::IsEnabled(), std::optional<bool>(true));
        xset({ "s", "off" });
        QCOMPARE(ScreenSaver::IsEnabled(), std::optional<bool>(false));

        // With a one-second idle time the server starts its saver by itself,
        // unless this program has switched it off.
        xset({ "s", "1", "0" });
        QCOMPARE(ScreenSaver::IsEnabled(), std::optional<bool>(true));
        QVERIFY(ScreenSaver::SetEnabled(false));
        QVERIFY(ScreenSaver::SetEnabled(false));
        QCOMPARE(ScreenSaver::IsEnabled(), std::optional<bool>(false));
        xset({ "s", "reset" });
        QTest::qWait(2500);
        QCOMPARE(ScreenSaver::IsOn(), std::optional<bool>(false));
        QVERIFY(ScreenSaver::SetEnabled(true));
        QCOMPARE(ScreenSaver::IsEnabled(), std::optional<bool>(true));
        QTRY_COMPARE_WITH_TIMEOUT(ScreenSaver::IsOn(), std::optional<bool>(true), 5000);
        xset({ "s", "600", "600" });
        xset({ "s", "reset" });
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0)
        return holdHotKey(argc, argv);
    QGuiApplication app(argc, argv);
    TestHotKeysX11 test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hotkeys.moc"
