#pragma once

#include "serial/line_settings.h"

#include <chrono>
#include <optional>

// Time on the serial line. The program runs on the steady clock; tests make
// their own time points on it and move them forward as they please.
using LineClock = std::chrono::steady_clock;
using LineTime = LineClock::time_point;
using LineDuration = std::chrono::nanoseconds;

// How long one character occupies the wire: a start bit, the data bits, a
// parity bit unless the parity is none, and the stop bits (1.5 included),
// at the baud rate. Rounded up to the nanosecond, so pauses built on it
// only come out longer: 1.041667 ms at 9600,n,8,1.
LineDuration characterTime(const LineSettings &settings);

// The line as a UART drives it. A character handed to the system leaves
// when the one before it has left, or at once when the line is idle, and
// then takes one character time: it has left by
//   busyUntil = max(handed over, busyUntil) + characterTime.
// The same model serves the far end: fed the arrival times of characters,
// it says how much silence the wire had before each.
class LineModel
{
public:
    // busyUntil: what is known of the line before the first character
    // (nothing: the first character finds it idle).
    explicit LineModel(LineDuration characterTime, std::optional<LineTime> busyUntil = std::nullopt);

    LineDuration characterTime() const { return characterTime_; }
    // Characters taken from now on use the new time; the line's speed may
    // change between two of them.
    void setCharacterTime(LineDuration characterTime) { characterTime_ = characterTime; }

    // A character handed over (or seen arriving) at `at`. Returns the
    // silence on the wire before it: zero when it had to queue behind the
    // character before; nothing when nothing was known of the line before.
    std::optional<LineDuration> take(LineTime at);

    // When the line has sent everything taken so far.
    std::optional<LineTime> idleAt() const { return busyUntil_; }

private:
    LineDuration characterTime_;
    std::optional<LineTime> busyUntil_;
};
