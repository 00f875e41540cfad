// qtdb's shuffle: the next tagline of a table's round (every tagline once, in random
// order, before any repeats), the round kept per table in the user's folder.
#pragma once

#include <cstdint>

namespace qtdb {

class Cursor;

// Moves the cursor to the next tagline of its table's round and keeps the round.
void ShuffleTo(Cursor& rows, std::uint32_t seed);

} // namespace qtdb
