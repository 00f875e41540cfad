// mkvtd: writes the "american.vtd" dictionary from SCOWL word lists of growing size. A word's
// rank is the smallest list that holds it, so the small list's words count as the commonest.
//   mkvtd OUT.vtd COMMON.txt USUAL.txt RARE.txt
#include "platform/speller/core/Letters.h"
#include "platform/speller/core/Speller.h"
#include "platform/speller/core/VtdFile.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>

namespace {

// A UTF-8 line in Windows-1252, when every character has a place there (the lists' accented
// names are Latin-1 letters).
std::optional<std::string> Ansi(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[++i]);
            const unsigned code = ((c & 0x1F) << 6) | (next & 0x3F);
            if ((next & 0xC0) != 0x80 || code < 0xA0)
                return std::nullopt;
            out.push_back(static_cast<char>(code));
        } else {
            return std::nullopt;
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: mkvtd OUT.vtd COMMON.txt USUAL.txt RARE.txt\n";
        return 2;
    }
    std::map<std::string, uint8_t> ranks; // word -> the highest rank of a list holding it
    const uint8_t listRank[3] = {spell::kCommon, spell::kUsual, spell::kRare};
    for (int l = 0; l < 3; ++l) {
        std::ifstream in(argv[2 + l], std::ios::binary);
        if (!in) {
            std::cerr << "mkvtd: " << argv[2 + l] << ": cannot be read\n";
            return 1;
        }
        std::string line;
        while (std::getline(in, line)) {
            const std::optional<std::string> w = Ansi(line);
            if (!w || w->empty() || w->size() > 64)
                continue;
            uint8_t& r = ranks[*w];
            r = std::max(r, listRank[l]);
        }
    }
    // Possessives of listed words are known by rule, so they need no entry.
    std::vector<std::pair<std::string, std::string>> order; // (folded, form)
    for (const auto& [w, r] : ranks) {
        const size_t n = w.size();
        if (n > 2 && w.compare(n - 2, 2, "'s") == 0 && ranks.count(w.substr(0, n - 2)))
            continue;
        order.emplace_back(spell::Fold(w), w);
    }
    std::sort(order.begin(), order.end());
    spell::WordTable table;
    for (const auto& [key, form] : order)
        table.Append(form, ranks[form]);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << spell::EncodeVtd(table);
    out.close();
    if (!out) {
        std::cerr << "mkvtd: " << argv[1] << ": cannot be written\n";
        return 1;
    }
    return 0;
}
