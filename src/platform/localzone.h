#pragma once

// The local time zone as the C library knows it. Without TZ in the
// environment, glibc looks at "/etc/localtime" again (several stat calls) at
// every local-time conversion, thousands of times in one pass over the
// reminders. The programs name the zone file in TZ instead, so that it is
// read once, and have it read again when the file changes.
#include <QByteArray>

namespace LocalZone {

// Names zoneFile in TZ when TZ is not set (an empty TZ means UTC and stays).
// Called once, at start-up, before any thread runs.
void pin(const QByteArray& zoneFile = QByteArrayLiteral("/etc/localtime"));

// When the pinned zone file is another file now, or was changed, the C
// library reads it again. One stat, done at most once a second unless
// checkNow is set; nothing when TZ names a zone of the user's choice.
void followChanges(bool checkNow = false);

} // namespace LocalZone
