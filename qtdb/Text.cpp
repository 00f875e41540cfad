// Character sets, escapes and input files of qtdb.
#include "qtdb/Text.h"

#include "qtdb/Engine.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace qtdb {

namespace {

// Windows-1252's characters 0x80 to 0x9F; 0 where it has none.
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t FromAnsi(unsigned char c) {
    return c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The Windows-1252 byte of a character, or '?' when it has none.
char ToAnsi(char32_t c, bool& replaced) {
    if (c < 0x80 || (c >= 0xA0 && c < 0x100))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c && c != 0)
            return static_cast<char>(0x80 + i);
    replaced = true;
    return '?';
}

// The next character of UTF-8 text; a malformed sequence gives U+FFFD for its first byte.
char32_t NextUtf8(const std::string& s, size_t& i) {
    const auto b = static_cast<unsigned char>(s[i++]);
    int more = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (b >= 0x80 && more == 0)
        return 0xFFFD;
    char32_t c = more == 3 ? b & 0x07 : more == 2 ? b & 0x0F : more == 1 ? b & 0x1F : b;
    for (int k = 0; k < more; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return c;
}

} // namespace

std::string Utf8FromAnsi(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        const char32_t u = FromAnsi(c);
        AppendUtf8(out, u != 0 || c == 0 ? u : 0xFFFD); // the five bytes it leaves unused
    }
    return out;
}

std::string AnsiFromUtf8(const std::string& text, bool* replaced) {
    bool lost = false;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
        out += ToAnsi(NextUtf8(text, i), lost);
    if (replaced)
        *replaced = lost;
    return out;
}

std::string InputText(const std::string& bytes, Encoding encoding, const std::string& file) {
    if (bytes.find('\0') != std::string::npos)
        throw Error(file + ": not a text file (it holds NUL bytes); nothing was imported");
    const bool bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (bom)
        return AnsiFromUtf8(bytes.substr(3));
    return encoding == Encoding::Utf8 ? AnsiFromUtf8(bytes) : bytes;
}

std::string OutputText(const std::string& text, Encoding encoding) {
    return encoding == Encoding::Utf8 ? Utf8FromAnsi(text) : text;
}

std::string EscapeLineBreaks(const std::string& tagline) {
    std::string out;
    for (size_t i = 0; i < tagline.size(); ++i) {
        const char c = tagline[i];
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r' || c == '\n') {
            out += "\\n";
            if (c == '\r' && i + 1 < tagline.size() && tagline[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeLineBreaks(const std::string& line) {
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == 'n' || line[i + 1] == '\\')) {
            out += line[i + 1] == 'n' ? "\r\n" : "\\";
            ++i;
        } else {
            out += line[i];
        }
    }
    return out;
}

std::string ReadInput(const std::string& file) {
    if (file == "-") {
        std::ostringstream all;
        all << std::cin.rdbuf();
        return all.str();
    }
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw Error(file + ": cannot be read (" + std::strerror(errno) + ")");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw Error(file + ": cannot be read");
    return bytes;
}

} // namespace qtdb
