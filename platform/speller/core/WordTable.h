// The dictionary's words in memory: folded keys in sorted order beside the words' own forms
// and their commonness ranks, searched by binary search without building anything more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace spell {

// Commonness of a word: the higher, the commoner.
enum Rank : uint8_t { kRare = 1, kUsual = 2, kCommon = 3 };

struct WordTable {
    std::string forms;             // each word as spelt, NUL after each
    std::string keys;              // each word folded to lower case, at the same offsets
    std::vector<uint32_t> offsets; // start of word i; one more at the end
    std::vector<uint8_t> ranks;

    size_t Size() const { return ranks.size(); }
    std::string_view Form(size_t i) const {
        return {forms.data() + offsets[i], offsets[i + 1] - offsets[i] - 1};
    }
    std::string_view Key(size_t i) const {
        return {keys.data() + offsets[i], offsets[i + 1] - offsets[i] - 1};
    }
    // The words whose folded form is `key`: [first, last).
    std::pair<size_t, size_t> Range(std::string_view key) const;
    // The first word at or after `from` whose key does not begin with `prefix`.
    size_t EndOfPrefix(size_t from, std::string_view prefix) const;
    void Append(std::string_view form, uint8_t rank);
};

} // namespace spell
