#pragma once

#include <QString>

#include <cstdint>

// How long a program that was just started may take until it takes codes.
inline constexpr int ProgramStartWaitMs = 5000;

// Posts code to the program holding title. When none does, the program file
// programName is started from the program folder without arguments, and the
// caller waits (at most timeoutMs, less when the started program ends first)
// until it takes codes. Returns whether the code was posted; a program that
// cannot be started loses the code silently. userTime: the user's action the
// code is sent for (CommandChannel::post).
bool PostOrStart(const QString& title, const QString& programName, int32_t code, int32_t arg = 0,
    int timeoutMs = ProgramStartWaitMs, uint32_t userTime = 0);
