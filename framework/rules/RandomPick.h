// The random pick of a tagline change, with no system services: seeded from the UTC time
// of day in milliseconds, then seed = seed * 134775813 + 1 (mod 2^32), giving 1 + the high
// 32 bits of seed * n. The program and the command-line tool draw alike.
#pragma once

#include <cstdint>

namespace rules {

std::uint32_t RandomSeed(int hour, int minute, int second, int millisecond);
int RandomDraw(std::uint32_t& seed, int n);
// The row (1-based, in Record order) of a draw from a fresh seed; 0 for an empty table.
// A draw that lands on `current` (the row the table stands on; 0 for none) is drawn again
// over the other rows, so a change always changes and stays uniform over the others; a
// table of one row yields that row.
int RandomRow(std::uint32_t seed, int rowCount, int current = 0);

} // namespace rules
