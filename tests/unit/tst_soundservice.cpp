#include "platform/soundservice.h"

#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs a sound tool; the files it makes are real decoder input.
void run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    QVERIFY2(p.waitForFinished(30000) && p.exitCode() == 0,
        qPrintable(program + " failed: " + QString::fromLocal8Bit(p.readAllStandardError())));
}

void sox(const QString& out, const QStringList& format, double seconds)
{
    run(QStringLiteral("sox"),
        QStringList { "-n" } + format
            + QStringList { out, "synth", QString::number(seconds), "sine", "440", "vol", "0.3" });
}

} // namespace

class TestSoundService : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_log;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList logLines() const { return QString::fromUtf8(readFileBytes(m_log)).split(u'\n', Qt::SkipEmptyParts); }

private slots:
    void initTestCase()
    {
        for (const char* tool : { "sox", "espeak-ng" })
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QFAIL(qPrintable(QStringLiteral("%1 is missing (scripts/install-deps.sh installs it)").arg(tool)));
        QVERIFY(m_dir.isValid());
        m_log = path("sound.log");
        sox(path("s16.wav"), { "-r", "44100", "-c", "2", "-b", "16" }, 0.4);
        sox(path("u8.wav"), { "-r", "8000", "-c", "1", "-b", "8", "-e", "unsigned-integer" }, 0.3);
        sox(path("float.wav"), { "-r", "48000", "-c", "1", "-b", "32", "-e", "floating-point" }, 0.3);
        sox(path("tone.aiff"), { "-r", "22050", "-c", "1", "-b", "16" }, 0.2);
        sox(path("tone.flac"), { "-r", "22050", "-c", "1", "-b", "16" }, 0.2);
        sox(path("long.wav"), { "-r", "8000", "-c", "1", "-b", "16" }, 5.0);
        sox(path("hodina č.wav"), { "-r", "22050", "-c", "1", "-b", "16" }, 0.1);
        run(QStringLiteral("espeak-ng"), { "-v", "cs", "-w", path("speech.wav"), "dvanáct hodin" });
        // Nothing a decoder can read: text behind a wave name, an empty file,
        // a wave header cut short.
        writeFileBytes(path("garbage.wav"), QByteArray("this is no sound at all\n").repeated(40));
        writeFileBytes(path("empty.wav"), QByteArray());
        writeFileBytes(path("cut.wav"), readFileBytes(path("s16.wav")).left(20));
        QDir(m_dir.path()).mkdir("folder.wav");
    }
    void init()
    {
        QFile::remove(m_log);
        qputenv("KORVEL_SOUND_LOG", QFile::encodeName(m_log));
        SoundService::setDevice(QStringLiteral("default"));
    }
    void cleanupTestCase() { qunsetenv("KORVEL_SOUND_LOG"); }

    void decodesEveryFormatAndLogsItsFullPath_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name :
            { "s16.wav", "u8.wav", "float.wav", "tone.aiff", "tone.flac", "speech.wav", "hodina č.wav" })
            QTest::newRow(name) << QString::fromUtf8(name);
    }
    void decodesEveryFormatAndLogsItsFullPath()
    {
        QFETCH(QString, name);
        QCOMPARE(SoundService::play(path(name)), SoundService::Played);
        QCOMPARE(logLines(), QStringList { path(name) });
    }

    void failedPlaysAreReportedAndNotLogged()
    {
        QCOMPARE(SoundService::play(path("missing.wav")), SoundService::FileNotFound);
        QCOMPARE(SoundService::play(QString()), SoundService::FileNotFound);
        QCOMPARE(SoundService::play(path("folder.wav")), SoundService::FileNotFound);
        QCOMPARE(SoundService::play(path("garbage.wav")), SoundService::NotDecodable);
        QCOMPARE(SoundService::play(path("empty.wav")), SoundService::NotDecodable);
        QCOMPARE(SoundService::play(path("cut.wav")), SoundService::NotDecodable);
        QVERIFY(!QFile::exists(m_log));
    }

    void logKeepsTheOrderOfPlaysAndMakesPathsAbsolute()
    {
        const QString before = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        const auto played = { SoundService::play("s16.wav"), SoundService::play(path("garbage.wav")),
            SoundService::play("./speech.wav"), SoundService::play(path("s16.wav")) };
        QDir::setCurrent(before);
        QCOMPARE(QList<SoundService::Result>(played),
            (QList<SoundService::Result> {
                SoundService::Played, SoundService::NotDecodable, SoundService::Played, SoundService::Played }));
        QCOMPARE(logLines(), (QStringList { path("s16.wav"), path("speech.wav"), path("s16.wav") }));
    }

    void logThatCannotBeWrittenIsAFailedPlay()
    {
        qputenv("KORVEL_SOUND_LOG", QFile::encodeName(path("folder.wav")));
        QCOMPARE(SoundService::play(path("s16.wav")), SoundService::DeviceFailed);
    }

    // ALSA's null device takes the samples without pacing them: every format
    // goes through decoding, the device set-up and the drain, and the call
    // comes back well before the sound's own length.
    void playsOnTheNullDeviceAndReturnsPromptly()
    {
        qunsetenv("KORVEL_SOUND_LOG");
        SoundService::setDevice(QStringLiteral("null"));
        QElapsedTimer t;
        t.start();
        for (const char* name : { "s16.wav", "u8.wav", "float.wav", "tone.flac", "speech.wav", "long.wav" })
            QVERIFY2(SoundService::play(path(QString::fromUtf8(name))) == SoundService::Played, name);
        QVERIFY2(t.elapsed() < 4000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(SoundService::play(path("garbage.wav")), SoundService::NotDecodable);
        QVERIFY(!QFile::exists(m_log));
    }

    // The clock's pieces made by the build: every name the clock plays is
    // there, decodes, and is a short spoken word of its own (a gong of a few
    // seconds); "21" is two words, longer than "1".
    void theClockPiecesOfTheBuildAreThere()
    {
        const QString dir = qEnvironmentVariable("KORVEL_BUILD_DIR") + QStringLiteral("/resources/s_hodiny/");
        QStringList names { "2_", "gong", "hodina", "hodiny", "hodin", "minuta", "minuty", "minut", "40", "45", "50" };
        for (int n = 0; n <= 23; ++n)
            names.append(QString::number(n));
        names.append("30");
        QHash<QByteArray, QString> seen;
        QHash<QString, double> seconds;
        for (const QString& name : names) {
            const QString file = dir + name + QStringLiteral(".wav");
            QCOMPARE(SoundService::play(file), SoundService::Played);
            QProcess soxi;
            soxi.start(QStringLiteral("soxi"), { "-D", file });
            QVERIFY(soxi.waitForFinished(10000));
            seconds[name] = soxi.readAll().trimmed().toDouble();
            const QByteArray bytes = readFileBytes(file);
            QVERIFY2(!seen.contains(bytes), qPrintable(name + " sounds like " + seen.value(bytes)));
            seen.insert(bytes, name);
        }
        for (const QString& name : names)
            if (name != QLatin1String("gong"))
                QVERIFY2(seconds[name] > 0.15 && seconds[name] < 2.0, qPrintable(name));
        QVERIFY(seconds["gong"] >= 2.0 && seconds["gong"] < 6.0);
        QVERIFY(seconds["21"] > seconds["1"] + 0.2);
        QCOMPARE(logLines().size(), names.size());
    }

    void aDeviceThatDoesNotExistFailsCleanly()
    {
        qunsetenv("KORVEL_SOUND_LOG");
        SoundService::setDevice(QStringLiteral("korvel_no_such_device"));
        QCOMPARE(SoundService::device(), QStringLiteral("korvel_no_such_device"));
        QCOMPARE(SoundService::play(path("s16.wav")), SoundService::NoDevice);
        // The file is looked at before the device.
        QCOMPARE(SoundService::play(path("missing.wav")), SoundService::FileNotFound);
    }
};

QTEST_GUILESS_MAIN(TestSoundService)
#include "tst_soundservice.moc"
