#pragma once

#include <QApplication>
#include <QElapsedTimer>

#include <exception>
#include <functional>
#include <thread>

// The application object of each program. It carries the program's title
// (the name the other programs post to) and is the last catch for exceptions
// thrown from event handlers: the message is shown and the program goes on.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv, const QString& title);
    ~Application() override;

    const QString& title() const { return m_title; }
    bool notify(QObject* receiver, QEvent* event) override;

    // Takes the place of the error box, as the class library's OnException did.
    void setOnException(std::function<void(const std::exception&)> handler) { m_onException = std::move(handler); }
    const std::function<void(const std::exception&)>& onException() const { return m_onException; }
    void handleException(const std::exception& e);

    // Ask the program to end once the current handler has returned.
    static void terminate();

private:
    QString m_title;
    std::function<void(const std::exception&)> m_onException;
    std::thread m_fontSetUp;
};

// Lets the user in during a long loop over records (typing into a filter,
// closing the window): the pending events are processed at the first call
// and then once interval ms have passed since they last were, not after
// every record, so a list of thousands fills without laying itself out
// thousands of times.
class EventPump {
public:
    explicit EventPump(int intervalMs = 25);
    // Processes the pending events when the interval is over; true then.
    bool operator()();

    // While one lives, no pump lets events in: for handlers that must end
    // before the user acts again, such as the focus leaving a control (the
    // click that moved it is not delivered yet) or a window filling itself
    // as it is first shown.
    class Hold {
    public:
        Hold();
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };

    // Whether a pump is letting events in now: some handler is still
    // running below them.
    static bool Pumping();
    // Deletes the object once no pump lets events in any more.
    static void DeleteAfterPumping(QObject* object);

private:
    qint64 m_interval;
    QElapsedTimer m_since;
};

// Installs Qt's Czech translations (its dialogs, calendars, context menus).
// False when they are not installed: Qt then speaks English.
bool LoadQtTranslations(QCoreApplication& app);

// Shows an exception the way the running application shows it (its handler,
// or the error box). For code that must not let an exception escape.
void ShowException(const std::exception& e);

// Runs f; an exception is shown and swallowed. Returns whether f completed.
bool RunGuarded(const std::function<void()>& f);
