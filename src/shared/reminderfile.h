#pragma once

#include "reminderrecord.h"

#include <QList>
#include <QPair>
#include <QString>

#include <functional>

// The reminder file ("korvel.da1" and the exchange and backup files of the
// same layout): ReminderRecords without a header, addressed by 1-based
// position. Each operation opens and closes the file; failures throw IoError.

int ReminderCount(const QString& path);

// Clamps position to 1..count and writes the clamped value back, then reads
// that record. On an empty or missing file only ID and Created of the record
// are zeroed, and false comes back.
bool ReadReminder(int& position, const QString& path, ReminderRecord& record);

// Position 1..count + 1 (count + 1 appends); creates the file. A position
// beyond count + 1 is refused with a KorvelError.
void WriteReminder(int position, const QString& path, const ReminderRecord& record);

// The record as the file holds it (ReminderRecord::Size bytes), for a whole
// file written through one open.
QByteArray ReminderBytes(const ReminderRecord& record);

// Whether the two records are stored as the same bytes (a damaged double
// equals itself).
bool SameReminder(const ReminderRecord& a, const ReminderRecord& b);

// Gives the record the next free ID (stored in record.ID as well), writes it
// after the last record and returns the ID.
int AppendReminder(const QString& path, ReminderRecord& record);

int NextRecordId(const QString& path);
bool ReminderIdExists(const QString& path, int id, int count);

// Every change that moves records writes the file anew beside the old one
// and puts it in place in one step: a program killed at any moment leaves
// the old file or the new one.

// Removes the first record with the ID; later records move down and keep
// their IDs until RenumberReminders.
void DeleteReminder(int id, const QString& path);

// ID := position for every record. Open pop-up windows follow through the
// hook the reminders program installs.
void RenumberReminders(const QString& path);

// DeleteReminder for each listed ID, then RenumberReminders, in one pass
// and one replacement of the file.
void DeleteReminders(const QList<int32_t>& ids, const QString& path);

// Removes every record for which drop(position, record) holds, then
// renumbers as RenumberReminders does, in one pass; returns how many went.
int RemoveRemindersWhere(
    const QString& path, const std::function<bool(int position, const ReminderRecord& record)>& drop);

// Tells the renumber hook, in order, of the ID changes (old, new) of a file
// that was renumbered as it was written some other way.
void ReportRenumbered(const QList<QPair<int, int>>& changes);

// Called by RenumberReminders for each record whose ID changed, in position
// order, once the file is written.
void SetReminderRenumberHook(std::function<void(int oldId, int newId)> hook);

// Every record in position order, in one pass over one open of the file.
void ForEachReminder(const QString& path, const std::function<void(int position, const ReminderRecord& record)>& visit);

enum class DataVersionCheck { Current, OldLayout, NewerLayout };

// NewerLayout: the user has been told and the application asked to end; the
// caller does nothing more with the file.
DataVersionCheck CheckDataVersion(const QString& path);
// The same judgement without a word to the user.
DataVersionCheck DataVersionOf(const QString& path);

// baseDir + path when path begins with "\" (stored relative to the program
// folder); any other path unchanged.
QString ExpandDataPath(const QString& path, const QString& baseDir);

// s without prefix when s begins with it (letters A-Z compared without regard
// to case); otherwise s.
QString StripPathPrefix(const QString& s, const QString& prefix);
