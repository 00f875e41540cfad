// The dictionary words within a weighted edit distance of a typed word, found by walking the
// sorted keys as a trie and leaving out every branch that is already too far.
#pragma once

#include "platform/speller/core/WordTable.h"

#include <string_view>
#include <vector>

namespace spell {

struct NearWord {
    size_t index; // into the table
    float cost;   // weighted edits: keyboard slips, doubled letters and swaps cost less
};

// Insertions, deletions, substitutions and swaps of neighbours, each costing at most 1, up to
// `limit` in all; `typed` is folded.
std::vector<NearWord> FindNearWords(const WordTable& table, std::string_view typed, float limit);

// The weighted distance itself, for words outside the table (the user's list).
float WeightedDistance(std::string_view meant, std::string_view typed);

} // namespace spell
