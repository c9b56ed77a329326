#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

// How one program posts a command code to another. Every program that takes
// codes binds one datagram Unix socket named after its application title in
// the user's runtime folder; a message is 8 bytes, int32 code and int32
// argument, little-endian, or 12 bytes when a uint32 user time follows: the
// X server time of the user's key press or click the code was sent for (see
// useraction.h). Posting is fire and forget: the sender learns only whether
// the receiver was found.
//
// The program's own endpoint is CommandChannel::own(). Received codes, and
// codes posted to the program itself, reach its hook on the main thread in
// the order they arrived, one per event-loop pass, so they are also handled
// while a modal dialog runs its own loop. A code that came with a user time
// is handled inside a UserAction::Scope of that time.
class CommandChannel : public QObject {
    Q_OBJECT
public:
    using Hook = std::function<void(int32_t code, int32_t arg)>;

    enum class ListenResult {
        Listening,
        AlreadyRunning, // a live program holds the title
        Failed, // no usable runtime folder, or the socket could not be made
    };

    // The program's endpoint; lives on the main thread until the program ends,
    // when its socket file is removed.
    static CommandChannel& own();

    // Claims the title. A socket file left by a program that ended without
    // removing it is replaced; a live one is never touched.
    ListenResult listen(const QString& title);
    // Stops receiving and removes the socket file (when it is still ours).
    void close();
    bool isListening() const { return m_fd >= 0; }
    QString title() const { return m_title; }

    // Codes that arrive before a hook is set wait for it.
    void setHook(Hook hook);

    // At most this many received codes wait for the hook; a peer that posts
    // faster than the hook handles them, or a program whose hook never
    // comes, loses the excess instead of filling the memory.
    static constexpr size_t MaxWaiting = 4096;
    // Received codes dropped so far for want of room.
    size_t dropped() const;

    // The own queue: the code reaches the own hook after the current handler
    // has returned, behind the codes already received.
    void postToSelf(int32_t code, int32_t arg = 0);

    // One message to the program holding title; userTime 0 sends none. False:
    // it does not run (no socket, or a socket nobody reads any more), or its
    // queue stayed full.
    static bool post(const QString& title, int32_t code, int32_t arg = 0, uint32_t userTime = 0);
    // Whether a program holds title; it receives nothing from the probe.
    static bool answers(const QString& title);

    // $XDG_RUNTIME_DIR/korvel, else /tmp/korvel-<uid>.
    static QString socketFolder();
    static QString socketPath(const QString& title);

    ~CommandChannel() override;

private:
    struct Reader;
    struct Message {
        int32_t code;
        int32_t arg;
        uint32_t userTime;
    };

    CommandChannel();
    // received: from another program, dropped when MaxWaiting wait.
    void enqueue(Message m, bool received);
    void scheduleDelivery();
    void deliverOne();

    QString m_title;
    int m_fd = -1;
    uint64_t m_dev = 0;
    uint64_t m_ino = 0;
    std::unique_ptr<Reader> m_reader;
    Hook m_hook;
    mutable std::mutex m_lock; // guards m_queue and m_dropped: the reader thread appends
    std::deque<Message> m_queue;
    size_t m_dropped = 0;
};
