#pragma once

#include <QString>

#include <cstdint>

// Mark of the current record layout; every record written carries it. Each
// new layout takes the next lower value.
constexpr int32_t DataVersion = -1;

// One reminder as it stands in the reminder file (1420 bytes; the byte layout
// lives with the file code). Texts are held as QString and limited to their
// capacity in CP1250 bytes when written.
struct ReminderRecord {
    static constexpr int Size = 1420;

    int32_t Version = DataVersion;
    int32_t ID = 0;
    double Created = 0;
    bool Transferable = false;
    QString RemindDate; // capacity 10, short date text
    QString RemindTime; // capacity 5, "hh:mm"
    QString EventDate; // capacity 10
    QString EventTime; // capacity 5
    bool SoundOnly = false;
    int32_t RepeatKind = 0;
    QString Weekdays; // capacity 7, digits "1".."7", "1" = Sunday
    int32_t AdvanceKind = 0;
    double AdvanceAmount = 0;
    int32_t OverdueAction = 0;
    int32_t OverdueAmount = 0;
    QString Sound1; // capacity 255 each
    QString Sound2;
    QString Sound3;
    QString Description1; // capacity 255
    QString Description2; // capacity 255
    QString Title; // capacity 20
    bool Erased = false;
    double LastChange = 0;
    int32_t NextKind = 0;
    double NextAmount = 0;
    int32_t LengthKind = 0;
    double Length = 0;

    bool operator==(const ReminderRecord&) const = default;
};
