#pragma once

#include <QLatin1String>
#include <QString>

#include <functional>
#include <optional>

// Reminders and contacts travel between two machines through files of the
// home files' layouts in an exchange folder: "exp_imp.dat" (reminders) and
// "kexp_imp.dat" (contacts), each optionally with a ".bak" copy. The receiver
// keys reminders by Created and contacts by unikat. Before an import the home
// files are copied to "korvel.bak" and "kkorvel.bak" in the program folder.
//
// Every file these routines write is written beside its target and put in
// place in one step (ReplacementFile): a failure leaves the file that was
// there. File errors throw IoError.

inline constexpr QLatin1String ReminderExchangeName("exp_imp.dat");
inline constexpr QLatin1String ReminderExchangeBackupName("exp_imp.bak");
inline constexpr QLatin1String ContactExchangeName("kexp_imp.dat");
inline constexpr QLatin1String ContactExchangeBackupName("kexp_imp.bak");
inline constexpr QLatin1String ReminderHomeBackupName("korvel.bak");
inline constexpr QLatin1String ContactHomeBackupName("kkorvel.bak");

// The exchange folder of the settings ([Nastav] "expimpdir", stored in the
// Windows form; default the program folder) as a path of this file system;
// empty when it can never exist here (a drive letter).
QString StoredExchangeFolder(const QString& iniPath, const QString& programDir);
// The folder's volume is ready and the folder exists (beeps when the volume
// is not ready, as DriveReady does).
bool ExchangeFolderUsable(const QString& folder);

// [FImport] of the settings file records each exchange as a date text
// (DateToStr) and a time text (TimeToStr) under two keys. A key that is
// missing or whose text does not parse takes its default: the date
// "1.1.2000", the time defaultTime.
double StoredMoment(const QString& iniPath, const QString& dateKey, const QString& timeKey, const QString& defaultTime);
void StoreMoment(const QString& iniPath, const QString& dateKey, const QString& timeKey, double moment);

// When the file was last written, to the whole second (what the keys can
// hold, so a stored file time compares equal to the file's); none when the
// file does not exist.
std::optional<double> ExchangeFileTime(const QString& path);
// a is later than b by at least a whole second (both to the whole second).
bool LaterToTheSecond(double a, double b);

// Progress of a pass over a file: the record position just handled and the
// running total of the pass (exported, deleted or imported records).
using ExchangeProgress = std::function<void(int position, int total)>;

// The transferable records of the home file, in its order, with IDs (record
// numbers) 1..n, into target and, when backupTarget is not empty, the same
// into backupTarget (the backup is put in place first). With changedAfter,
// only records changed later than that moment. Returns n. A run that finds
// nothing still leaves an empty target.
int ExportReminders(const QString& homePath, const QString& target, const QString& backupTarget,
    std::optional<double> changedAfter, const ExchangeProgress& progress);
int ExportContacts(const QString& homePath, const QString& target, const QString& backupTarget,
    std::optional<double> changedAfter, const ExchangeProgress& progress);

// Removes every transferable erased reminder from the home file, then
// renumbers it (open pop-ups follow through the renumber hook). Returns how
// many went.
int RemoveTransferredErasedReminders(const QString& homePath, const ExchangeProgress& progress);
// The same for contacts marked transferable and deleted; the rest are
// numbered by position when any went.
int RemoveTransferredErasedContacts(const QString& homePath, const ExchangeProgress& progress);

// What an exchange file holds, judged from its size and its first record's
// version mark before anything of it is used.
enum class ExchangeLayout {
    Missing, // no such file
    Current, // records of this program's layout (or an empty file)
    OldLayout, // reminders of the previous layout: not imported
    NewerLayout, // written by a newer version: not readable here
    Damaged, // part of a record, or a file of another kind
};
struct ExchangeCheck {
    ExchangeLayout layout = ExchangeLayout::Missing;
    int count = 0; // whole records, for Current and OldLayout
};
ExchangeCheck CheckReminderExchange(const QString& path);
ExchangeCheck CheckContactExchange(const QString& path);

// Copies a home file aside before an import; nothing happens when there is
// no home file yet.
void BackUpHomeFile(const QString& homePath, const QString& backupPath);

struct ExchangeImport {
    ExchangeCheck check;
    int imported = 0; // records written into the home file
    int deleted = 0; // imported erased records removed at home again
    int skipped = 0; // records of another version mark, left out
};

// Every record of the exchange file into the home file, in file order: one
// with the key of a home record (the first, compared as the same double)
// replaces it and keeps its ID, any other is appended with a new ID. With
// removeErased, an imported record marked erased is removed at home at once
// and the home file renumbered. The home file is replaced as a whole when
// all is done; reminders renumbered tell open pop-ups through the renumber
// hook. A file that is damaged, of the previous or of a newer layout
// imports nothing (see check); one that is missing, or goes or shrinks while
// it is read, throws IoError. The home file's lock is held throughout.
ExchangeImport ImportReminders(
    const QString& exchangePath, const QString& homePath, bool removeErased, const ExchangeProgress& progress);
ExchangeImport ImportContacts(
    const QString& exchangePath, const QString& homePath, bool removeErased, const ExchangeProgress& progress);
