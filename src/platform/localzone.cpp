#include "localzone.h"

#include <QtGlobal>

#include <ctime>

#include <sys/stat.h>
#include <time.h>

namespace {

struct FileIdentity {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = -1;
    timespec mtime {};

    bool operator==(const FileIdentity& o) const
    {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec
            && mtime.tv_nsec == o.mtime.tv_nsec;
    }
};

// A link switched to another zone names another file: stat follows it.
FileIdentity identityOf(const QByteArray& file)
{
    FileIdentity id;
    struct stat st;
    if (::stat(file.constData(), &st) == 0) {
        id.dev = st.st_dev;
        id.ino = st.st_ino;
        id.size = st.st_size;
        id.mtime = st.st_mtim;
    }
    return id;
}

struct Pinned {
    QByteArray file; // empty: TZ is the user's
    QByteArray tz; // what we put into TZ
    FileIdentity seen;
    qint64 lastCheck = -1; // monotonic second
};

Pinned& pinned()
{
    static Pinned p;
    return p;
}

qint64 monotonicSecond()
{
    timespec t;
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
    return t.tv_sec;
}

} // namespace

namespace LocalZone {

void pin(const QByteArray& zoneFile)
{
    Pinned& p = pinned();
    if (qEnvironmentVariableIsSet("TZ") && qgetenv("TZ") != p.tz)
        return;
    // The library reads the zone again only when TZ differs from the value
    // it saw last: "//etc/localtime" names the same file in other words.
    const QByteArray plain = ':' + zoneFile;
    p.tz = p.tz == plain ? ":/" + zoneFile : plain;
    p.file = zoneFile;
    qputenv("TZ", p.tz);
    tzset();
    p.seen = identityOf(zoneFile);
}

void followChanges(bool checkNow)
{
    Pinned& p = pinned();
    if (p.file.isEmpty())
        return;
    const qint64 second = monotonicSecond();
    if (!checkNow && second == p.lastCheck)
        return;
    p.lastCheck = second;
    if (qgetenv("TZ") != p.tz)
        return; // a zone set meanwhile by someone else
    if (!(identityOf(p.file) == p.seen))
        pin(p.file);
}

} // namespace LocalZone
