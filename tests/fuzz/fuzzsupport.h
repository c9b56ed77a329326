#pragma once

#include "shared/contactrecord.h"
#include "shared/reminderrecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares. A target reads one input per call, as the
// programs would read a file or a text from outside; the process runs on
// Prague time with the clock stopped at 28.3.2026 12:00 (the day before
// summer time begins, so the skipped hour is near), dialogs scripted, and a
// scratch folder as the program folder.
namespace Fuzz {

using Seeds = QList<QByteArray>;

// Called by libFuzzer before anything runs. With --write-seeds=DIR the seeds
// are written there, one file each, and the process ends.
int initialize(int* argc, char*** argv, Seeds (*seeds)());

// A file in the scratch folder, and writing one there.
QString path(const QString& name);
void write(const QString& name, const QByteArray& bytes);

// The stopped clock's now.
double now();

// The input as text: UTF-8, invalid sequences replaced.
QString text(const QByteArray& input);

// Little-endian values taken from the input at offset; 0 past its end.
double doubleAt(const QByteArray& input, qsizetype offset);
int32_t intAt(const QByteArray& input, qsizetype offset);

// Reminders of every kind, around the night summer time begins, and the
// damaged values that once upset the readers: NaN and huge lengths, absolute
// advances far outside the years, a time in the skipped hour.
QList<ReminderRecord> sampleReminders();
QList<ContactRecord> sampleContacts();
// The bytes of a record file holding records, written by the programs' code.
QByteArray reminderFile(QList<ReminderRecord> records);
QByteArray contactFile(QList<ContactRecord> records);

// Messages shown meanwhile are dropped, so a long run does not pile them up.
void forgetDialogs();

} // namespace Fuzz

// Defines the libFuzzer entry points of a target: seeds() gives the seed
// inputs, run(const QByteArray&) reads one input.
#define KORVEL_FUZZ_TARGET(seeds, run)                                                                                 \
    extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)                                                       \
    {                                                                                                                  \
        return Fuzz::initialize(argc, argv, seeds);                                                                    \
    }                                                                                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)                                            \
    {                                                                                                                  \
        run(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));                            \
        Fuzz::forgetDialogs();                                                                                         \
        return 0;                                                                                                      \
    }
