#include "fileopens.h"

#include <QFile>
#include <QTest>

#include <sys/inotify.h>
#include <unistd.h>

FileOpenCounter::FileOpenCounter(const QString& path)
    : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    // The kernel merges an event into an identical one still unread; with the
    // closes watched too, the opens of open-read-close cycles alternate with
    // them and are each counted.
    if (m_fd < 0 || inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_OPEN | IN_CLOSE) < 0)
        qFatal("cannot watch %s", qPrintable(path));
}

FileOpenCounter::~FileOpenCounter()
{
    close(m_fd);
}

int FileOpenCounter::count()
{
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            return m_count;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_OPEN)
                ++m_count;
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
}
