#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// The clock of the tray resident: the time spoken at the quarter hours the
// user has switched on ([Hodiny] of the settings file, read fresh on every
// use) and on demand, as a sequence of pieces played one after another from
// the folder "s_hodiny" of the program folder. A piece is named by its file
// name without ".wav".

// The pieces of the announcement at hour:minute (a quarter): an optional
// gong, the hour, optionally its word, then for the quarters the minutes and
// optionally "minut". cycle24 false speaks hours above 12 less 12.
QStringList QuarterAnnouncement(int hour, int minute, bool gong, bool words, bool cycle24);
// The pieces of the time hour:minute spoken on demand.
QStringList SpokenTime(int hour, int minute, bool words, bool cycle24);

// The quarter hours that are switched on, by minute 00, 15, 30, 45.
using QuarterSlots = std::array<bool, 4>;
QuarterSlots ReadQuarterSlots(const QString& iniPath);
// The first of the next four quarter-hour slots after now that is switched
// on (local date and time of day); none when no slot is.
std::optional<double> NextQuarterSlot(double now, const QuarterSlots& quarters);

// The next moment to announce; an hour from now when nothing is switched on.
double NextAnnouncementTime(const QString& iniPath);
// Announces the current quarter hour when it is switched on and was not
// handled yet; lastMinute (hour x 60 + minute, -1 for none) is the quarter
// handled last. A tick late within the quarter's minute still announces.
void AnnounceTime(const QString& iniName, const QString& baseDir, int32_t& lastMinute);
// Speaks the current time, whatever is switched on.
void SpeakCurrentTime(const QString& iniName, const QString& baseDir);
// Plays the pieces one after another; missing ones are passed over in silence.
void PlayClockPieces(const QString& baseDir, const QStringList& pieces);
