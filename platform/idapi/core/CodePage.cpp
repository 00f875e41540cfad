// Code-page conversion through Unicode: a byte of the source page becomes a code point,
// which the target page's table maps back to a byte.
#include "CodePage.h"

#include <array>
#include <map>

#include "CodePageTables.h"

namespace idp {

namespace {

// The upper-half table of a supported code page; null for pages treated as ANSI.
const uint16_t* UpperHalf(uint16_t codePage) {
    switch (codePage) {
    case 437:
        return kCp437;
    case 850:
        return kCp850;
    case 852:
        return kCp852;
    case 1250:
        return kCp1250;
    default:
        return nullptr;
    }
}

uint32_t ToUnicode(unsigned char c, const uint16_t* upper) {
    return c < 0x80 ? c : upper[c - 0x80];
}

unsigned char FromUnicode(uint32_t u, const uint16_t* upper) {
    if (u < 0x80)
        return static_cast<unsigned char>(u);
    for (int i = 0; i < 128; ++i)
        if (upper[i] == u)
            return static_cast<unsigned char>(0x80 + i);
    return '?';
}

using ByteMap = std::array<unsigned char, 256>;

ByteMap BuildMap(const uint16_t* from, const uint16_t* to) {
    ByteMap map{};
    for (int c = 0; c < 256; ++c)
        map[c] = FromUnicode(ToUnicode(static_cast<unsigned char>(c), from), to);
    return map;
}

// One translation table per page and direction, built on first use.
const ByteMap& CachedMap(const uint16_t* from, const uint16_t* to) {
    static std::map<std::pair<const uint16_t*, const uint16_t*>, ByteMap> cache;
    auto it = cache.find({from, to});
    if (it == cache.end())
        it = cache.emplace(std::make_pair(from, to), BuildMap(from, to)).first;
    return it->second;
}

std::string Translate(const std::string& text, const uint16_t* from, const uint16_t* to) {
    const ByteMap& map = CachedMap(from, to);
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(map[static_cast<unsigned char>(c)]);
    return out;
}

bool NeedsWork(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

} // namespace

bool KnownCodePage(uint16_t codePage) {
    static constexpr uint16_t kPages[] = {437, 737,  850,  852,  855,  857,  860,  861,  862,
                                          863, 864,  865,  866,  869,  874,  932,  936,  949,
                                          950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257};
    for (uint16_t page : kPages)
        if (page == codePage)
            return true;
    return false;
}

bool IsAnsiCodePage(uint16_t codePage) {
    return UpperHalf(codePage) == nullptr;
}

std::string TableToAnsi(const std::string& text, uint16_t codePage) {
    const uint16_t* upper = UpperHalf(codePage);
    if (!upper || !NeedsWork(text))
        return text;
    return Translate(text, upper, kCp1252);
}

std::string AnsiToTable(const std::string& text, uint16_t codePage) {
    const uint16_t* upper = UpperHalf(codePage);
    if (!upper || !NeedsWork(text))
        return text;
    return Translate(text, kCp1252, upper);
}

std::string CodePageName(uint16_t codePage) {
    return "cp" + std::to_string(codePage == 0 ? kAnsiCodePage : codePage);
}

} // namespace idp
