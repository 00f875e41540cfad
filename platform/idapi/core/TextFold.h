// Case folding of program text (Windows ANSI), used by case-insensitive names, indexes
// and lookups.
#pragma once

#include <cstddef>
#include <string>

namespace idp {

// The upper-case form of one ANSI byte (letters with accents included).
unsigned char FoldByte(unsigned char c);
std::string FoldCase(const std::string& text);

} // namespace idp
