// Searching the sorted folded keys of the dictionary.
#include "platform/speller/core/WordTable.h"

#include "platform/speller/core/Letters.h"

#include <algorithm>

namespace spell {

std::pair<size_t, size_t> WordTable::Range(std::string_view key) const {
    size_t lo = 0, hi = Size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (Key(mid) < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    size_t last = lo;
    while (last < Size() && Key(last) == key)
        ++last;
    return {lo, last};
}

size_t WordTable::EndOfPrefix(size_t from, std::string_view prefix) const {
    size_t lo = from, hi = Size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (Key(mid).substr(0, prefix.size()) <= prefix)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void WordTable::Append(std::string_view form, uint8_t rank) {
    if (offsets.empty())
        offsets.push_back(0);
    forms.append(form);
    forms.push_back('\0');
    keys.append(Fold(form));
    keys.push_back('\0');
    offsets.push_back(static_cast<uint32_t>(forms.size()));
    ranks.push_back(rank);
}

} // namespace spell
