// Finding the next unknown word in a text: words are runs of letters with apostrophes inside;
// numbers, e-mail addresses and web addresses are passed over unless the options say not.
#include "platform/speller/core/Letters.h"
#include "platform/speller/core/Speller.h"

namespace spell {

namespace {

bool IsBlank(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == 0xA0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWordByte(char c) {
    return IsLetter(static_cast<unsigned char>(c)) || IsDigit(c);
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && Fold(s.substr(0, prefix.size())) == prefix;
}

// A run of non-blank text that is an address: a URL or "www." host, or name@host.domain.
bool IsAddress(std::string_view chunk) {
    size_t start = 0;
    while (start < chunk.size() && !IsWordByte(chunk[start]))
        ++start;
    const std::string_view s = chunk.substr(start);
    if (s.find("://") != std::string_view::npos || StartsWithNoCase(s, "www.") ||
        StartsWithNoCase(s, "mailto:"))
        return true;
    const size_t at = s.find('@');
    return at != std::string_view::npos && at > 0 && IsWordByte(s[at - 1]) &&
           s.find('.', at) != std::string_view::npos && at + 1 < s.size() && IsWordByte(s[at + 1]);
}

// Calls `take(offset, length)` for each word starting at or after `from` until it returns
// true.
template <class Take>
void ScanWords(std::string_view text, size_t from, const Options& options, Take take) {
    if (from > text.size())
        return;
    // Start at the beginning of the run of text `from` lies in, so an address is seen whole.
    size_t pos = from;
    while (pos > 0 && !IsBlank(text[pos - 1]))
        --pos;
    while (pos < text.size()) {
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        size_t end = pos;
        while (end < text.size() && !IsBlank(text[end]))
            ++end;
        const std::string_view chunk = text.substr(pos, end - pos);
        const bool address = options.ignoreAddresses && IsAddress(chunk);
        for (size_t i = 0; !address && i < chunk.size();) {
            if (!IsWordByte(chunk[i])) {
                ++i;
                continue;
            }
            size_t j = i;
            bool digits = false, letters = false;
            while (j < chunk.size() &&
                   (IsWordByte(chunk[j]) ||
                    (IsApostrophe(chunk[j]) && j + 1 < chunk.size() && IsWordByte(chunk[j + 1])))) {
                digits = digits || IsDigit(chunk[j]);
                letters = letters || IsLetter(static_cast<unsigned char>(chunk[j]));
                ++j;
            }
            const bool skip = digits && (options.ignoreNumbers || !letters);
            if (!skip && pos + i >= from && take(pos + i, j - i))
                return;
            i = j;
        }
        pos = end;
    }
}

} // namespace

Checker::Checker(const Dictionary& dictionary, UserWords& user)
    : dictionary_(dictionary), user_(user) {}

bool Checker::IsKnown(std::string_view word) const {
    return dictionary_.Contains(word) || user_.Contains(word) ||
           KnownOrPossessive(word,
                             [this](std::string_view w) { return ignored_.count(Fold(w)) != 0; });
}

std::vector<Misspelling> WordsOf(std::string_view text, const Options& options) {
    std::vector<Misspelling> words;
    ScanWords(text, 0, options, [&](size_t offset, size_t length) {
        words.push_back({offset, length});
        return false;
    });
    return words;
}

std::optional<Misspelling> Checker::NextMisspelling(std::string_view text, size_t from) const {
    std::optional<Misspelling> found;
    ScanWords(text, from, options_, [&](size_t offset, size_t length) {
        const std::string_view word = text.substr(offset, length);
        if (!(options_.ignoreUppercase && IsAllCaps(word)) && !IsKnown(word))
            found = Misspelling{offset, length};
        return found.has_value();
    });
    return found;
}

void Checker::IgnoreAll(std::string_view word) {
    ignored_.insert(Fold(word));
}

void Checker::AddToUserWords(std::string_view word) {
    user_.Add(word);
}

void Checker::ClearIgnored() {
    ignored_.clear();
}

} // namespace spell
