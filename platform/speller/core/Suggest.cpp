// Suggestions for an unknown word: near dictionary and user words, and the word split in two,
// ranked by how likely a slip each is, how alike they sound and how common the word is.
#include "platform/speller/core/Letters.h"
#include "platform/speller/core/NearWords.h"
#include "platform/speller/core/Similarity.h"
#include "platform/speller/core/Speller.h"

#include <algorithm>

namespace spell {

namespace {

// Every edit reaches at most 1, so two edits of any kind stay within this.
constexpr float kReach = 2.0f;

struct Scored {
    std::string word;
    float score;
};

float Score(float cost, int rank, std::string_view typedKey, std::string_view key,
            const std::string& typedSound) {
    float s = cost + 0.45f * static_cast<float>(kCommon - rank);
    if (!key.empty() && !typedKey.empty() && key[0] != typedKey[0])
        s += 0.2f;
    if (SoundKey(key) == typedSound)
        s -= 0.35f;
    return s;
}

} // namespace

std::vector<std::string> Checker::Suggest(std::string_view word, size_t max) const {
    if (word.empty() || max == 0)
        return {};
    // A possessive of an unknown word: suggest for the word and keep the ending.
    const size_t n = word.size();
    if (n > 2 && IsApostrophe(word[n - 2]) && (word[n - 1] == 's' || word[n - 1] == 'S')) {
        std::vector<std::string> out = Suggest(word.substr(0, n - 2), max);
        for (std::string& s : out)
            s.append(word.substr(n - 2));
        return out;
    }
    const std::string typed = Fold(word);
    const std::string sound = SoundKey(typed);
    const WordTable& table = dictionary_.Words();
    std::vector<Scored> all;
    for (const NearWord& near : FindNearWords(table, typed, kReach)) {
        const std::string_view form = table.Form(near.index);
        float s = Score(near.cost, table.ranks[near.index], typed, table.Key(near.index), sound);
        if (StartsUpper(form) && !StartsUpper(word))
            s += 0.2f; // a name offered for a word typed in small letters
        all.push_back({WithCaseOf(word, form), s});
    }
    for (const std::string& w : user_.Words()) {
        const std::string key = Fold(w);
        const float cost = WeightedDistance(key, typed);
        if (cost <= kReach && key != typed)
            all.push_back({WithCaseOf(word, w), Score(cost, kUsual, typed, key, sound)});
    }
    // Two words run together: both halves common enough to be meant.
    for (size_t i = 1; options_.suggestSplit && i < typed.size(); ++i) {
        const std::string_view a = std::string_view(word).substr(0, i), b = word.substr(i);
        auto common = [&](std::string_view part) {
            const auto [first, last] = table.Range(Fold(part));
            for (size_t j = first; j < last; ++j)
                if (table.ranks[j] >= kUsual && CaseFits(part, table.Form(j)) &&
                    (part.size() > 1 || part == "a" || part == "I" || part == "A"))
                    return true;
            return false;
        };
        // Short halves ("ts ripped") are more often a slip inside one word.
        const bool shortHalf = (a.size() < 3 && a != "a" && a != "A" && a != "I") || b.size() < 3;
        if (common(a) && common(b))
            all.push_back({std::string(a) + " " + std::string(b), shortHalf ? 1.4f : 0.7f});
    }
    // A possessive or "'s" contraction typed without its apostrophe ("thats", "Johns").
    if (n > 2 && (word[n - 1] == 's' || word[n - 1] == 'S') &&
        dictionary_.Contains(word.substr(0, n - 1)))
        all.push_back({std::string(word.substr(0, n - 1)) + "'" + word[n - 1], 0.5f});
    std::stable_sort(all.begin(), all.end(),
                     [](const Scored& x, const Scored& y) { return x.score < y.score; });
    std::vector<std::string> out;
    for (const Scored& s : all) {
        if (out.size() == max)
            break;
        if (s.word != word && std::find(out.begin(), out.end(), s.word) == out.end())
            out.push_back(s.word);
    }
    return out;
}

} // namespace spell
