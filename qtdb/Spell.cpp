// qtdb spell: ispell's pipe protocol (-a) over our dictionary, for editors and scripts that
// drive `ispell -a`: a banner, then for each input line one answer per word and a blank line.
#include "qtdb/Commands.h"
#include "qtdb/Engine.h"
#include "qtdb/UserFiles.h"
#include "platform/speller/core/Letters.h"
#include "platform/speller/core/Speller.h"
#include "QuiptideVersion.h"

#include <filesystem>
#include <iostream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace qtdb {

namespace {

namespace fs = std::filesystem;

// "american.vtd" beside the qtdb program itself, or where the Linux package puts it
// (the program in .../bin, the dictionary in .../share/quiptide).
std::string DefaultDictionary() {
#ifdef _WIN32
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const fs::path self(std::string(path, n));
    return (self.parent_path() / "american.vtd").string();
#else
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    const fs::path beside = self.parent_path() / "american.vtd";
    if (fs::exists(beside, ec))
        return beside.string();
    return (self.parent_path().parent_path() / "share" / "quiptide" / "american.vtd").string();
#endif
}

class Pipe {
  public:
    Pipe(const Options& o, const spell::Dictionary& d, spell::UserWords& user,
         const spell::Options& choices)
        : o_(o), dictionary_(d), user_(user), checker_(d, user) {
        checker_.SetOptions(choices);
    }

    // One input line: a command, or text to check (after "^", always text).
    void Line(std::string line) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = InputText(line, o_.encoding, "standard input");
        const char first = line.empty() ? '\0' : line[0];
        const std::string rest = line.empty() ? "" : line.substr(1);
        switch (first) {
        case '*':
            return Add(rest);
        case '&':
            return Add(spell::Fold(rest));
        case '@':
            return checker_.IgnoreAll(Trim(rest));
        case '!':
            terse_ = true;
            return;
        case '%':
            terse_ = false;
            return;
        case '#': // the list is saved on every addition
        case '~': // no formatter modes
        case '+':
        case '-':
            return;
        case '^':
            return Check(rest, 1);
        default:
            return Check(line, 0);
        }
    }

  private:
    static std::string Trim(const std::string& s) {
        const size_t a = s.find_first_not_of(" \t");
        return a == std::string::npos ? "" : s.substr(a, s.find_last_not_of(" \t") - a + 1);
    }

    void Add(const std::string& word) {
        if (const std::string w = Trim(word); !w.empty())
            user_.Add(w);
    }

    // The answers for each word: "*" known, "+ ROOT" known as a possessive of ROOT, "& word
    // count offset: suggestions" or "# word offset" unknown; offsets count from the line's
    // first character.
    void Check(const std::string& text, size_t shift) {
        for (const spell::Misspelling& w : spell::WordsOf(text, checker_.GetOptions())) {
            const std::string word = text.substr(w.offset, w.length);
            const size_t offset = w.offset + shift;
            if (checker_.IsKnown(word)) {
                if (!terse_)
                    Out(Possessive(word) ? "+ " + Root(word) : "*");
                continue;
            }
            const std::vector<std::string> s = checker_.Suggest(word, 10);
            if (s.empty()) {
                Out("# " + word + " " + std::to_string(offset));
                continue;
            }
            std::string answer =
                "& " + word + " " + std::to_string(s.size()) + " " + std::to_string(offset) + ":";
            for (size_t i = 0; i < s.size(); ++i)
                answer += (i ? ", " : " ") + s[i];
            Out(answer);
        }
        std::cout << kEol << std::flush;
    }

    static std::string Root(const std::string& word) {
        return word.substr(0, word.size() - (spell::IsApostrophe(word.back()) ? 1 : 2));
    }

    // Known only by the possessive rule: the whole form is in neither list.
    bool Possessive(const std::string& word) const {
        const size_t n = word.size();
        const bool ending =
            n > 2 && (spell::IsApostrophe(word[n - 2]) || spell::IsApostrophe(word[n - 1]));
        if (!ending)
            return false;
        const auto [first, last] = dictionary_.Words().Range(spell::Fold(word));
        return first == last && !user_.Contains(word) && checker_.IsKnown(Root(word));
    }

    void Out(const std::string& line) { std::cout << OutputText(line, o_.encoding) << kEol; }

    const Options& o_;
    const spell::Dictionary& dictionary_;
    spell::UserWords& user_;
    spell::Checker checker_;
    bool terse_ = false;
};

} // namespace

int Spell(const Options& o) {
    if (!o.operands.empty())
        throw Error("spell reads standard input and takes no file: " + o.operands[0]);
    const spell::Dictionary dictionary =
        spell::Dictionary::Load(o.dictionary.empty() ? DefaultDictionary() : o.dictionary);
    spell::UserWords user(o.personal.empty() ? (UserFolder() / "userwords.txt").string()
                                             : o.personal);
    std::cout << "@(#) International Ispell Version 3.1.20 (but really qtdb " << QUIPTIDE_VERSION
              << ")" << kEol << std::flush;
    Pipe pipe(o, dictionary, user,
              spell::LoadOptions((UserFolder() / "spelloptions.txt").string()));
    for (std::string line; std::getline(std::cin, line);)
        pipe.Line(line);
    return 0;
}

} // namespace qtdb
