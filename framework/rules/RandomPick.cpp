// The linear congruential draw of the random tagline pick.
#include "framework/rules/RandomPick.h"

namespace rules {

std::uint32_t RandomSeed(int hour, int minute, int second, int millisecond) {
    return ((static_cast<std::uint32_t>(hour) * 60u + static_cast<std::uint32_t>(minute)) * 60u +
            static_cast<std::uint32_t>(second)) *
               1000u +
           static_cast<std::uint32_t>(millisecond);
}

int RandomDraw(std::uint32_t& seed, int n) {
    seed = seed * 134775813u + 1u;
    return 1 + static_cast<int>(
                   (static_cast<std::uint64_t>(seed) * static_cast<std::uint32_t>(n)) >> 32);
}

int RandomRow(std::uint32_t seed, int rowCount, int current) {
    if (rowCount <= 0)
        return 0;
    const int row = RandomDraw(seed, rowCount);
    if (row != current || rowCount == 1)
        return row;
    const int other = RandomDraw(seed, rowCount - 1);
    return other >= current ? other + 1 : other;
}

} // namespace rules
