// Weighted Damerau-Levenshtein distance over a trie walk of the sorted keys: one row of the
// table per letter of the key, so keys that share a prefix share its rows.
#include "platform/speller/core/NearWords.h"

#include "platform/speller/core/Similarity.h"

#include <algorithm>

namespace spell {

namespace {

constexpr float kSwap = 0.6f;      // two neighbours typed the other way round
constexpr float kDoubling = 0.45f; // a double letter typed single, or a single one twice

// The typed word against growing prefixes of a dictionary word.
class DistanceRows {
  public:
    explicit DistanceRows(std::string_view typed, size_t maxDepth)
        : t_(typed), width_(typed.size() + 1), cells_((maxDepth + 1) * width_) {
        for (size_t j = 0; j < width_; ++j)
            cells_[j] = j == 0 ? 0.0f : cells_[j - 1] + ExtraCost(j - 1);
    }

    // Row `k` from the rows above it, `meant` being the dictionary word's first k letters.
    // Returns the row's smallest value.
    float Fill(std::string_view meant, size_t k) {
        float* row = &cells_[k * width_];
        const float* up = row - width_;
        const char d = meant[k - 1];
        const float missing = k >= 2 && meant[k - 2] == d ? kDoubling : 1.0f;
        row[0] = up[0] + missing;
        float least = row[0];
        for (size_t j = 1; j < width_; ++j) {
            float v = up[j - 1] + SubstitutionCost(d, t_[j - 1]);
            v = std::min(v, up[j] + missing);
            v = std::min(v, row[j - 1] + ExtraCost(j - 1));
            if (k >= 2 && j >= 2 && d == t_[j - 2] && meant[k - 2] == t_[j - 1] && d != t_[j - 1])
                v = std::min(v, cells_[(k - 2) * width_ + j - 2] + kSwap);
            row[j] = v;
            least = std::min(least, v);
        }
        return least;
    }

    float Final(size_t k) const { return cells_[k * width_ + width_ - 1]; }

  private:
    // The cost of the typed letter at `j` being one too many.
    float ExtraCost(size_t j) const {
        const char c = t_[j];
        if ((j > 0 && t_[j - 1] == c) || (j + 1 < t_.size() && t_[j + 1] == c))
            return kDoubling;
        if ((j > 0 && KeysNear(t_[j - 1], c)) || (j + 1 < t_.size() && KeysNear(t_[j + 1], c)))
            return 0.7f;
        return 1.0f;
    }

    std::string_view t_;
    size_t width_;
    std::vector<float> cells_;
};

size_t SharedPrefix(std::string_view a, std::string_view b) {
    size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return n;
}

} // namespace

std::vector<NearWord> FindNearWords(const WordTable& table, std::string_view typed, float limit) {
    const size_t maxDepth = typed.size() + static_cast<size_t>(limit / kDoubling) + 1;
    DistanceRows rows(typed, maxDepth);
    std::vector<NearWord> found;
    std::string_view prev; // the key whose rows are filled, up to `valid` letters
    size_t valid = 0;
    for (size_t i = 0; i < table.Size();) {
        const std::string_view key = table.Key(i);
        size_t k = std::min(valid, SharedPrefix(prev, key));
        bool pruned = false;
        while (k < key.size()) {
            ++k;
            if (k > maxDepth || rows.Fill(key, k) > limit) {
                pruned = true;
                break;
            }
        }
        prev = key;
        if (pruned) {
            valid = k - 1;
            i = table.EndOfPrefix(i, key.substr(0, k));
            continue;
        }
        valid = key.size();
        if (rows.Final(k) <= limit)
            found.push_back({i, rows.Final(k)});
        ++i;
    }
    return found;
}

float WeightedDistance(std::string_view meant, std::string_view typed) {
    DistanceRows rows(typed, meant.size());
    for (size_t k = 1; k <= meant.size(); ++k)
        rows.Fill(meant, k);
    return rows.Final(meant.size());
}

} // namespace spell
