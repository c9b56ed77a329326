#pragma once

#include <QString>

#include <functional>

// Reminder files of the previous layout: 1388-byte records that begin with
// the ID (no version mark), hold the advance amount as a whole number and end
// after LastChange. They are only ever read, to be converted; each old record
// becomes a current one with the same ID, and the fields the old layout lacks
// get the values of a new reminder.
constexpr int OldReminderSize = 1388;

// The records of the reminder file at path, counted in the layout it holds:
// one record of the previous layout is shorter than a record of this one and
// must not count as none.
int StoredReminderCount(const QString& path);

struct OldDataConversion {
    enum Outcome {
        NoData, // no reminder file
        NotOldLayout, // already current (or newer, and the program is ending): nothing to do
        WorkCopyFailed, // the old file could not be copied aside; nothing changed
        Converted,
    };
    Outcome outcome = NoData;
    int count = 0; // old records converted
    QString failure; // why the work copy failed
};

// Converts the reminder file at dataPath when it holds the previous layout.
// The old file is first copied to workPath (replacing it only with a whole
// copy), which stays as it is afterwards.
// The new records go to a file beside the data file that replaces it only
// once it is complete and on disk, so that whatever fails, the data file is
// either all old or all new; the data file's lock is held throughout.
// progress(n, count) follows each record.
// File errors throw IoError, with the data file untouched and no new file
// left behind.
OldDataConversion ConvertOldReminderFile(
    const QString& dataPath, const QString& workPath, const std::function<void(int done, int count)>& progress);
