#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <optional>

#include <cerrno>

class QTimer;
class QWidget;

// A fresh program folder in a temporary directory; the programs' code finds
// its settings file there while the object lives.
class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    QString iniPath() const { return file(QStringLiteral("korvel.ini")); }

private:
    QTemporaryDir m_dir;
};

// A share that has stopped answering: a FUSE file system mounted in a
// temporary folder that never answers (tests/tools/korvel_deadmount), so that
// every look at it waits. Only this process and the programs it starts see
// it. Gone with the object, and at the latest after two minutes, when
// whatever waits on it gets an error. Needs root and /dev/fuse; without them,
// or when the mount fails, unavailable() says why.
class DeadMount {
public:
    DeadMount();
    ~DeadMount();
    QString unavailable() const { return m_unavailable; }
    // The mount point, and the folder that holds it.
    QString path() const { return m_dir.filePath(QStringLiteral("share")); }
    QString parent() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_unavailable;
};

// Message and modal dialogs answered from a queue for the object's lifetime.
class ScriptedDialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs();
};

// The program clock stopped at a given moment for the object's lifetime.
class FixedClock {
public:
    explicit FixedClock(const QDateTime& t);
    ~FixedClock();
};

// Every write of this process that would make a file larger than bytes
// fails (EFBIG, as a full disk would stop it) for the object's lifetime.
class WriteLimit {
public:
    explicit WriteLimit(qint64 bytes);
    ~WriteLimit();

private:
    qint64 m_saved;
    void (*m_handler)(int);
};

// A tmpfs of 1 MiB for the object's lifetime, seen only by this process and
// the programs it starts (root only; elsewhere a plain folder, and fill()
// stops every write of this process that would make a file larger: EFBIG).
class SmallDisk {
public:
    SmallDisk();
    ~SmallDisk();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    // Takes all the room that is left: from now on no file there can grow.
    void fill();
    // What a write that finds no room fails with.
    int noRoomCode() const { return m_mounted ? ENOSPC : EFBIG; }
    // From now on every fsync, or every close, of a file there by this
    // process fails with EIO, as a disk that cannot write back reports it.
    enum Call { Sync, Close };
    void failWriteBack(Call call);
    bool writeBackFails(int fd, Call call) const;

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    std::optional<WriteLimit> m_limit;
    std::optional<Call> m_failing;
    QByteArray m_canonical; // the path as the kernel names it
};

// A timer of the programs run for span milliseconds of real time on the
// stopped program clock: the clock is set to each moment the timer would fire
// and handler runs, until the timer stops or would fire after the span. The
// number of runs; a timer that spins stops being run after 100000.
int RunTimer(QTimer& timer, qint64 span, const std::function<void()>& handler);

QByteArray readFileBytes(const QString& path);
void writeFileBytes(const QString& path, const QByteArray& bytes);

// Where a picture a test keeps for people to look at goes:
// $KORVEL_ARTIFACTS/<name> (else "artifacts" in the build folder); the
// folder is made.
QString artifactPath(const QString& name);

// Saves a picture of the widget as name (".png" added) in the folder for
// test artefacts ($KORVEL_ARTIFACTS, else "artifacts" in the build folder);
// returns whether it was saved.
bool saveScreenshot(QWidget* w, const QString& name);

// Frees every top-level window but the program's main form; a window that
// went with one freed before it is passed over.
void freeWindowsBut(const QWidget* mainForm);

// Types text into a widget one character at a time (QTest::keyClicks cannot
// send characters outside ASCII).
void typeText(QWidget* w, const QString& text);

// Input as the window system hands it over: a key goes to the control that
// has the focus, a press gives the focus to the control under the point
// first, shortcuts and modal windows apply.
void pressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void mouseButton(QWidget* control, bool press); // at the control's centre
// Runs f the next time events are processed, as input the user gives while
// a handler is still at work: inside the handler when it lets events in,
// else after it.
void atNextEvents(QObject* context, std::function<void()> f);
