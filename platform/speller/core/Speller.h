// The spell checker's portable core: the "american.vtd" dictionary, the user's own word
// list, and the checker that finds unknown words in Windows-1252 text and suggests others.
#pragma once

#include "platform/speller/core/WordTable.h"

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace spell {

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// "american.vtd", our compact format: words sorted by their folded form, prefix-compressed,
// each with a commonness rank.
class Dictionary {
  public:
    static Dictionary Load(const std::string& path); // throws spell::Error with a clear text
    bool Contains(std::string_view word) const;      // exact form, case rules applied
    const WordTable& Words() const { return words_; }

  private:
    explicit Dictionary(WordTable words) : words_(std::move(words)) {}
    WordTable words_;
};

// The user's own list ("Add"), one word per line, saved at once on every addition.
class UserWords {
  public:
    explicit UserWords(std::string path); // loads if present; missing file = empty list
    bool Contains(std::string_view word) const;
    // Appends and saves at once (survives a restart). When the file cannot be written the
    // word is still known for this session and is saved with the next addition that
    // succeeds; the spell::Error names the file and the system's reason.
    void Add(std::string_view word);
    const std::vector<std::string>& Words() const { return words_; }

  private:
    std::string path_;
    std::vector<std::string> words_;
    size_t saved_ = 0;                              // words_[0, saved_) are in the file
    std::multimap<std::string, std::string> byKey_; // folded form -> word as added
};

// What the checker passes over and what it offers, as chosen in the control's options.
struct Options {
    bool ignoreUppercase = false; // words in capitals throughout ("NASA")
    bool ignoreNumbers = true;    // words with digits in them ("2nd", "mp3")
    bool ignoreAddresses = true;  // e-mail and web addresses
    bool suggestSplit = true;     // a word split in two ("alot" -> "a lot")
    bool operator==(const Options&) const = default;
};

// The options as text: one "Name=0" or "Name=1" line per option.
std::string OptionsText(const Options& options);
// Sets the options that `text`'s lines name; false (and `options` unspecified) when a
// line is damaged. Names this version does not know are passed over.
bool ReadOptions(std::string_view text, Options& options);
// The options file. A missing or damaged file gives the defaults; saving throws
// spell::Error with the file's name and the reason.
Options LoadOptions(const std::string& path);
void SaveOptions(const std::string& path, const Options& options);

struct Misspelling {
    size_t offset;
    size_t length;
}; // byte range within the text

// Every word the checker looks at in `text`, in order: numbers and addresses left out
// as `options` say (plain numbers always).
std::vector<Misspelling> WordsOf(std::string_view text, const Options& options = {});

class Checker {
  public:
    Checker(const Dictionary& dictionary, UserWords& user);
    // The first unknown word at or after `from`; skips numbers, e-mail and web addresses
    // and words in capitals as the options say; applies capitals, sentence-start capitals,
    // apostrophes and possessives.
    std::optional<Misspelling> NextMisspelling(std::string_view text, size_t from) const;
    std::vector<std::string> Suggest(std::string_view word, size_t max = 8) const;
    void IgnoreAll(std::string_view word); // for this Checker's life
    void AddToUserWords(std::string_view word);
    void ClearIgnored();
    // Whether a single word is known to the dictionary, the user's list or the ignored ones.
    bool IsKnown(std::string_view word) const;
    const Options& GetOptions() const { return options_; }
    void SetOptions(const Options& options) { options_ = options; }

  private:
    const Dictionary& dictionary_;
    UserWords& user_;
    Options options_;
    std::set<std::string> ignored_; // folded forms
};

} // namespace spell
