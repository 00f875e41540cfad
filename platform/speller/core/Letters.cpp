// Case and letter classes of the Windows-1252 character set.
#include "platform/speller/core/Letters.h"

namespace spell {

namespace {

// The capitals outside ASCII whose small letter is not simply 0x20 above them.
unsigned char LowerOfSpecial(unsigned char c) {
    switch (c) {
    case 0x8A:
        return 0x9A; // S caron
    case 0x8C:
        return 0x9C; // OE
    case 0x8E:
        return 0x9E; // Z caron
    case 0x9F:
        return 0xFF; // Y diaeresis
    default:
        return 0;
    }
}

} // namespace

bool IsUpper(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
           LowerOfSpecial(c) != 0;
}

bool IsLetter(unsigned char c) {
    return IsUpper(c) || (c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7) || c == 0x9A ||
           c == 0x9C || c == 0x9E || c == 0x83;
}

char Lower(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<char>(c + 0x20);
    if (const unsigned char l = LowerOfSpecial(c))
        return static_cast<char>(l);
    return ch;
}

char Upper(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<char>(c - 0x20);
    switch (c) {
    case 0x9A:
        return static_cast<char>(0x8A);
    case 0x9C:
        return static_cast<char>(0x8C);
    case 0x9E:
        return static_cast<char>(0x8E);
    case 0xFF:
        return static_cast<char>(0x9F);
    default:
        return ch;
    }
}

std::string Fold(std::string_view word) {
    std::string out(word);
    for (char& c : out)
        c = IsApostrophe(c) ? '\'' : Lower(c);
    return out;
}

std::string ToUpper(std::string_view word) {
    std::string out(word);
    for (char& c : out)
        c = Upper(c);
    return out;
}

bool IsAllCaps(std::string_view word) {
    bool letters = false;
    for (const char c : word) {
        const auto u = static_cast<unsigned char>(c);
        if (IsLetter(u) && !IsUpper(u))
            return false;
        letters = letters || IsLetter(u);
    }
    return letters;
}

bool StartsUpper(std::string_view word) {
    return !word.empty() && IsUpper(static_cast<unsigned char>(word[0]));
}

bool CaseFits(std::string_view typed, std::string_view form) {
    if (typed.size() != form.size())
        return false;
    auto same = [](char a, char b) { return a == b || (IsApostrophe(a) && IsApostrophe(b)); };
    bool exact = true, capitalised = !typed.empty() && typed[0] == Upper(form[0]);
    for (size_t i = 0; i < typed.size(); ++i) {
        exact = exact && same(typed[i], form[i]);
        capitalised = capitalised && (i == 0 || same(typed[i], form[i]));
    }
    return exact || capitalised || IsAllCaps(typed);
}

std::string WithCaseOf(std::string_view typed, std::string_view form) {
    if (typed.size() > 1 && IsAllCaps(typed))
        return ToUpper(form);
    std::string out(form);
    if (StartsUpper(typed) && !out.empty())
        out[0] = Upper(out[0]);
    return out;
}

} // namespace spell
