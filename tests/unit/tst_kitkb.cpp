#include "components/kitkb.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>

namespace {

// A keyboard monitor as an outside vendor might ship it; it logs every call.
// Built as a real shared library so the loader is tried against the dynamic
// linker itself.
const char* const MonitorSource = R"(
#include <stdint.h>
#include <stdio.h>
#include <string.h>
static char log_[4096];
static void note(const char* what, uint32_t w)
{
    size_t n = strlen(log_);
    snprintf(log_ + n, sizeof log_ - n, "%s %u;", what, w);
}
const char* KbMonLog(void) { return log_; }
int32_t RegisterKeyboardHook(uint32_t w) { note("reg", w); return 0xC100 + (int32_t)w; }
#ifndef NO_DEREGISTER
void DeregisterKeyboardHook(uint32_t w) { note("dereg", w); }
#endif
)";

} // namespace

class TestKitKb : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    // Compiles the monitor into the temporary folder; extra flags choose the
    // variant.
    QString buildMonitor(const QString& name, const QStringList& flags = {})
    {
        const QString source = m_dir.filePath("kbmon.c");
        QFile f(source);
        if (!f.exists()) {
            f.open(QIODevice::WriteOnly);
            f.write(MonitorSource);
            f.close();
        }
        const QString out = m_dir.filePath(name);
        QProcess cc;
        cc.start(QStandardPaths::findExecutable("cc"), QStringList { "-shared", "-fPIC", "-o", out, source } + flags);
        if (!cc.waitForFinished(60000) || cc.exitCode() != 0)
            qWarning() << cc.readAllStandardError();
        return QFile::exists(out) ? out : QString();
    }

    // The log of a monitor library: read through a handle of the test's own,
    // which keeps the library mapped after the loader has let it go.
    static QString logOf(void* handle)
    {
        using LogProc = const char* (*)();
        auto proc = reinterpret_cast<LogProc>(dlsym(handle, "KbMonLog"));
        return proc ? QString::fromLatin1(proc()) : QStringLiteral("<no log>");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (QStandardPaths::findExecutable("cc").isEmpty())
            QSKIP("no C compiler to build the test monitor with");
    }

    void cleanup()
    {
        UnloadKeyboardMonitor();
        SetKeyboardMonitorLibraryName("libKbMon.so");
    }

    void aMissingLibraryIsNoError()
    {
        QCOMPARE(KeyboardMonitorLibraryName(), QString("libKbMon.so"));
        QVERIFY(!LoadMonitor());
        QVERIFY(!KeyboardMonitorLoaded());
        QCOMPARE(RegisterMonitorWindow(42), 0);
        DeregisterMonitorWindow(42);
        UnloadKeyboardMonitor();
        SetKeyboardMonitorLibraryName(m_dir.filePath("nothing-here.so"));
        QVERIFY(!LoadMonitor());
    }

    void unloadingDeregistersTheLastWindowFirst()
    {
        const QString path = buildMonitor("libKbMon.so");
        QVERIFY(!path.isEmpty());
        void* own = dlopen(QFile::encodeName(path).constData(), RTLD_NOW);
        QVERIFY(own);
        SetKeyboardMonitorLibraryName(path);
        QVERIFY(LoadMonitor());
        QVERIFY(KeyboardMonitorLoaded());
        QCOMPARE(RegisterMonitorWindow(7), 0xC107);
        QCOMPARE(RegisterMonitorWindow(9), 0xC109);
        UnloadKeyboardMonitor();
        QVERIFY(!KeyboardMonitorLoaded());
        QCOMPARE(logOf(own), QString("reg 7;reg 9;dereg 9;dereg 7;"));
        // The library is gone: registering now asks nobody.
        QCOMPARE(RegisterMonitorWindow(5), 0);
        dlclose(own);
    }

    void reloadingStartsWithNoWindows()
    {
        const QString path = buildMonitor("libKbMonReload.so");
        QVERIFY(!path.isEmpty());
        void* own = dlopen(QFile::encodeName(path).constData(), RTLD_NOW);
        QVERIFY(own);
        SetKeyboardMonitorLibraryName(path);
        QVERIFY(LoadMonitor());
        RegisterMonitorWindow(1);
        QVERIFY(LoadMonitor()); // frees the held library first, deregistering its window
        RegisterMonitorWindow(2);
        DeregisterMonitorWindow(2);
        UnloadKeyboardMonitor();
        QCOMPARE(logOf(own), QString("reg 1;dereg 1;reg 2;dereg 2;"));
        dlclose(own);
    }

    void withoutDeregisterExportUnloadingStillEnds()
    {
        const QString path = buildMonitor("libKbMonHalf.so", { "-DNO_DEREGISTER" });
        QVERIFY(!path.isEmpty());
        void* own = dlopen(QFile::encodeName(path).constData(), RTLD_NOW);
        QVERIFY(own);
        SetKeyboardMonitorLibraryName(path);
        QVERIFY(LoadMonitor());
        QCOMPARE(RegisterMonitorWindow(3), 0xC103);
        QCOMPARE(RegisterMonitorWindow(4), 0xC104);
        DeregisterMonitorWindow(3); // nothing to call
        UnloadKeyboardMonitor();
        QVERIFY(!KeyboardMonitorLoaded());
        QCOMPARE(logOf(own), QString("reg 3;reg 4;"));
        // Windows of a library that is gone are not handed to the next one.
        const QString full = buildMonitor("libKbMonFull.so");
        void* other = dlopen(QFile::encodeName(full).constData(), RTLD_NOW);
        QVERIFY(other);
        SetKeyboardMonitorLibraryName(full);
        QVERIFY(LoadMonitor());
        QCOMPARE(RegisterMonitorWindow(8), 0xC108);
        UnloadKeyboardMonitor();
        QCOMPARE(logOf(other), QString("reg 8;dereg 8;"));
        dlclose(other);
        dlclose(own);
    }
};

QTEST_GUILESS_MAIN(TestKitKb)
#include "tst_kitkb.moc"
