// mkstarter: builds the starter tagline table shipped in the program folder from a
// UTF-8 text file, one tagline per line. Runs on the build machine; the table it writes
// is the same Paradox table the program creates, in the Windows ANSI code page.
#include "platform/idapi/idapi.h"
#include "taglinedb/TaglineSchema.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

// Windows-1252 has printable characters at 0x80..0x9F in place of C1 controls.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char> ToCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == c && c != 0)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

// Decodes one UTF-8 line into Windows-1252; nullopt when it is not valid UTF-8 or holds a
// character the code page lacks.
std::optional<std::string> Utf8ToCp1252(const std::string& in) {
    std::string out;
    for (size_t i = 0; i < in.size();) {
        const auto b = static_cast<unsigned char>(in[i]);
        const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= in.size() + (extra == 0))
            return std::nullopt;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : (b & 0x0F);
        for (int k = 1; k <= extra; ++k) {
            const auto cont = static_cast<unsigned char>(in[i + k]);
            if ((cont & 0xC0) != 0x80)
                return std::nullopt;
            c = (c << 6) | (cont & 0x3F);
        }
        const auto mapped = ToCp1252(c);
        if (!mapped)
            return std::nullopt;
        out += *mapped;
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

bool Check(IdpStatus status, const char* what) {
    if (status == IDP_OK)
        return true;
    char text[512] = "";
    IdpStatus ignored = 0;
    idpGetLastError(&ignored, text, sizeof text);
    std::cerr << "mkstarter: " << what << ": " << text << "\n";
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: mkstarter TAGLINES.txt OUT.db\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "mkstarter: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<std::string> taglines;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const auto text = Utf8ToCp1252(line);
        if (!text || text->size() > 255) {
            std::cerr << "mkstarter: " << argv[1] << ":" << number
                      << ": not a tagline of at most 255 Windows-1252 characters\n";
            return 1;
        }
        taglines.push_back(*text);
    }

    if (!Check(idpCreateTable(argv[2], tagline::kFieldCount, tagline::kFields, tagline::kIndexCount,
                              tagline::kIndexes),
               "create"))
        return 1;

    IdpCursor cursor = nullptr;
    if (!Check(idpOpenTable(argv[2], IDP_OPEN_EXCLUSIVE, &cursor), "open"))
        return 1;
    bool ok = true;
    for (const std::string& tagline : taglines) {
        ok = Check(idpAppend(cursor), "append") &&
             Check(idpSetString(cursor, 1, tagline.c_str()), "set") &&
             Check(idpPost(cursor), tagline.c_str());
        if (!ok)
            break;
    }
    ok = Check(idpCloseTable(cursor), "close") && ok;
    if (ok)
        std::cout << "mkstarter: " << taglines.size() << " taglines in " << argv[2] << "\n";
    return ok ? 0 : 1;
}
