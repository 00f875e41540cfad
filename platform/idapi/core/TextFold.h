// Case folding of program text (Windows ANSI), used by case-insensitive names, indexes
// and lookups.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace idp {

// The upper-case form of one ANSI byte (letters with accents included): Windows-1252
// upper-casing of ASCII letters, of the Latin-1 letters at 0xE0-0xFE (but the division
// sign 0xF7), and of the four letters whose capitals live at 0x8A, 0x8C, 0x8E, 0x9F.
inline unsigned char FoldByte(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A: // s caron
        return 0x8A;
    case 0x9C: // oe
        return 0x8C;
    case 0x9E: // z caron
        return 0x8E;
    case 0xFF: // y diaeresis
        return 0x9F;
    default:
        return c;
    }
}

// FoldByte as a table, for inner loops.
inline const std::array<uint8_t, 256> kFoldTable = [] {
    std::array<uint8_t, 256> map{};
    for (int c = 0; c < 256; ++c)
        map[static_cast<size_t>(c)] = FoldByte(static_cast<unsigned char>(c));
    return map;
}();

std::string FoldCase(const std::string& text);

} // namespace idp
