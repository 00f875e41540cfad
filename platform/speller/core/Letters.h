// Letters of Windows-1252 text: which bytes are letters, their case, and the case patterns
// a word may take (lower, Capitalised, ALL CAPS).
#pragma once

#include <string>
#include <string_view>

namespace spell {

bool IsLetter(unsigned char c);
bool IsUpper(unsigned char c);
char Lower(char c);
char Upper(char c);
// An apostrophe as typed: the ASCII one or the typographic right quote.
inline bool IsApostrophe(char c) {
    return c == '\'' || static_cast<unsigned char>(c) == 0x92;
}

std::string Fold(std::string_view word);    // lower case, typographic apostrophes as "'"
std::string ToUpper(std::string_view word); // every letter in capitals
bool IsAllCaps(std::string_view word);      // has letters and no small ones
bool StartsUpper(std::string_view word);

// Whether `typed` is an acceptable way of writing the dictionary form `form` (same folded
// form): as spelt, in capitals throughout, or with its first letter made a capital.
bool CaseFits(std::string_view typed, std::string_view form);
// `form` written the way `typed` is: ALL CAPS or Capitalised carried over.
std::string WithCaseOf(std::string_view typed, std::string_view form);

// A word found by `known` directly, or as the possessive of a known word ("dog's",
// "dogs'").
template <class Known> bool KnownOrPossessive(std::string_view word, Known known) {
    if (known(word))
        return true;
    const size_t n = word.size();
    if (n > 2 && IsApostrophe(word[n - 2]) && (word[n - 1] == 's' || word[n - 1] == 'S'))
        return known(word.substr(0, n - 2));
    if (n > 2 && IsApostrophe(word[n - 1]) && (word[n - 2] == 's' || word[n - 2] == 'S'))
        return known(word.substr(0, n - 1));
    return false;
}

} // namespace spell
