// What makes one spelling a likely slip for another: keys side by side on a QWERTY keyboard,
// letters that sound alike, and a rough key of how a word sounds.
#pragma once

#include <string>
#include <string_view>

namespace spell {

// Neighbouring keys on a QWERTY keyboard (lower-case letters only).
bool KeysNear(char a, char b);
bool IsVowel(char c);
// The cost of typing `typed` where `meant` belongs, 0 to 1.
float SubstitutionCost(char meant, char typed);
// How a folded word sounds, roughly: words that sound alike get the same key.
std::string SoundKey(std::string_view folded);

} // namespace spell
