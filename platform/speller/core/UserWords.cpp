// The user's own word list: a text file of one word a line, appended to on every addition.
#include "platform/speller/core/Letters.h"
#include "platform/speller/core/Speller.h"
#include "platform/speller/core/TextFile.h"

#include <fstream>

namespace spell {

UserWords::UserWords(std::string path) : path_(std::move(path)) {
    std::ifstream in(path_, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && !Contains(line)) {
            byKey_.emplace(Fold(line), line);
            words_.push_back(line);
        }
    }
    saved_ = words_.size();
}

bool UserWords::Contains(std::string_view word) const {
    return KnownOrPossessive(word, [this](std::string_view w) {
        const auto [first, last] = byKey_.equal_range(Fold(w));
        for (auto it = first; it != last; ++it)
            if (CaseFits(w, it->second))
                return true;
        return false;
    });
}

void UserWords::Add(std::string_view word) {
    if (word.empty() || word.find_first_of("\r\n") != std::string_view::npos)
        throw Error("\"" + std::string(word) + "\" cannot be added to the word list");
    if (!Contains(word)) {
        byKey_.emplace(Fold(word), std::string(word));
        words_.emplace_back(word);
    }
    if (saved_ == words_.size())
        return;
    // Words a failed save left behind go with this one.
    std::string lines;
    for (size_t i = saved_; i < words_.size(); ++i)
        lines += words_[i] + "\r\n";
    WriteText(path_, lines, true, "The word list");
    saved_ = words_.size();
}

} // namespace spell
