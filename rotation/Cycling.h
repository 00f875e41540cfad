// The rules of tagline cycling that need no window or table: what a timer tick does for
// each frequency, which row a random change takes, and the status summary. The window
// acts on the answers (moves the table, composes, saves, shows the box).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// What one tick asks of the window, in this order: show a box (with the timer paused,
// so no other tick opens another meanwhile), change the tagline, save the signature.
struct TTickDecision {
    enum class TBox { None, Information, Error };
    TBox box = TBox::None;
    std::string message;
    bool change = false;
    bool save = false;
};

// The frequency rule for a tick at `now` (local time).
//   "Hourly":   save on every tick; change too when the hour is past the last save's
//               hour (so 23 -> 0 does not change, the next change comes at 01:00).
//   "Daily":    change and save when today is later than `date` (short date text); a
//               text the locale cannot read asks for an error box instead.
//   "Variable": change and save once `interval` minutes have passed since `lastSave`,
//               counted across hours and midnight (and at once if the clock went back).
//   "Demo":     change, never save.
//   otherwise:  the information box asking for a frequency.
TTickDecision DecideTick(const std::string& frequency, int interval, const std::string& date,
                         const SYSTEMTIME& lastSave, const SYSTEMTIME& now);

// The seed of a change's draws: the UTC time of day in milliseconds.
std::uint32_t ChangeSeed(const SYSTEMTIME& utc);

// The row a random change moves to: the r-th row in Record order (1-based) for a draw
// from a fresh seed of the UTC time of day (framework/rules/RandomPick.h), so every row can be
// taken whatever the Record values, and never `current` (the row the table stands on, in
// that order) when there is another; 0 for an empty table, which keeps its position.
int RandomRow(const SYSTEMTIME& utc, int rowCount, int current = 0);

// The status summary of the tray's "Status" command.
std::string StatusText(const std::string& frequency, const std::string& sequencer, int interval,
                       bool timerOn);

// The frequency the settings save stores: the one in force before a demonstration, not
// "Demo".
std::string FrequencyToSave(const std::string& frequency, const std::string& prevFrequency);
