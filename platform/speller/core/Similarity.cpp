// Keyboard geometry, sound-alike letters and the sound key used to rank suggestions.
#include "platform/speller/core/Similarity.h"

#include <cmath>

namespace spell {

namespace {

struct Key {
    int row = -1;
    float x = 0;
};

Key Locate(char c) {
    static constexpr std::string_view rows[3] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
    static constexpr float shift[3] = {0.0f, 0.25f, 0.75f};
    for (int r = 0; r < 3; ++r)
        if (const size_t col = rows[r].find(c); col != std::string_view::npos)
            return {r, static_cast<float>(col) + shift[r]};
    return {};
}

bool SoundAlike(char a, char b) {
    static constexpr std::string_view pairs[] = {"ck", "cs", "sz", "iy", "fv", "gj", "kq", "mn"};
    for (const std::string_view p : pairs)
        if ((p[0] == a && p[1] == b) || (p[0] == b && p[1] == a))
            return true;
    return false;
}

} // namespace

bool KeysNear(char a, char b) {
    const Key ka = Locate(a), kb = Locate(b);
    return a != b && ka.row >= 0 && kb.row >= 0 && std::abs(ka.row - kb.row) <= 1 &&
           std::fabs(ka.x - kb.x) < 1.0f;
}

bool IsVowel(char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

float SubstitutionCost(char meant, char typed) {
    if (meant == typed)
        return 0.0f;
    if (KeysNear(meant, typed))
        return 0.6f;
    if ((IsVowel(meant) && IsVowel(typed)) || SoundAlike(meant, typed))
        return 0.7f;
    return 1.0f;
}

std::string SoundKey(std::string_view w) {
    std::string s;
    for (size_t i = 0; i < w.size(); ++i) {
        const char c = w[i];
        const char next = i + 1 < w.size() ? w[i + 1] : '\0';
        auto nextIs = [&](std::string_view any) {
            return next != '\0' && any.find(next) != std::string_view::npos;
        };
        if (c < 'a' || c > 'z')
            continue;
        if (i == 0 && (w.substr(0, 2) == "kn" || w.substr(0, 2) == "gn" || w.substr(0, 2) == "wr" ||
                       w.substr(0, 2) == "pn"))
            continue;
        char out = c;
        if (c == 'p' && next == 'h') {
            out = 'f';
            ++i;
        } else if (c == 'c' && next == 'k') {
            out = 'k';
            ++i;
        } else if (c == 'c') {
            out = nextIs("eiy") ? 's' : 'k';
        } else if (c == 'q') {
            out = 'k';
        } else if (c == 'x') {
            s += 'k';
            out = 's';
        } else if (c == 'z') {
            out = 's';
        } else if (c == 'g' && next == 'h') {
            ++i;
            continue;
        } else if (c == 'd' && next == 'g') {
            out = 'j';
            ++i;
        } else if (c == 'w' && next == 'h') {
            out = 'w';
            ++i;
        } else if (c == 'h' || c == 'w' || c == 'y') {
            if (i > 0 || !nextIs("aeiou"))
                continue;
        } else if (IsVowel(c)) {
            if (i > 0)
                continue;
            out = 'a';
        }
        if (s.empty() || s.back() != out)
            s += out;
    }
    return s;
}

} // namespace spell
