// The rules of the signature document that need no window, file or system service: the
// variables of a body expanded word by word, and the draft composed from body and
// tagline. The program and the command-line tool compose signatures through them alike.
#pragma once

#include <string>
#include <vector>

namespace rules {

inline const std::string kDateVariable = "#DATE#";
inline const std::string kTimeVariable = "#TIME#";

// Splits a line into words at single blanks, empty words kept, and joins them back: the
// window does it through its string splitter, the tool with the plain functions.
class TWordSplitter {
  public:
    virtual std::vector<std::string>& Split(const std::string& line) = 0;
    virtual std::string Join() = 0;

  protected:
    ~TWordSplitter() = default;
};

class TBlankSplitter : public TWordSplitter {
  public:
    std::vector<std::string>& Split(const std::string& line) override;
    std::string Join() override;

  private:
    std::vector<std::string> words_;
};

// Each line of the text (at CR LF, CR or LF) split into words; a word that is exactly
// "#DATE#" or "#TIME#" (case counts, whole words only) becomes date or time; the lines
// come back each followed by CR LF.
std::string ExpandWords(const std::string& text, const std::string& date, const std::string& time,
                        TWordSplitter& words);

// The draft: the expanded body then the tagline, or with the tagline on top the tagline,
// CR LF, then the expanded body. The tagline is never expanded.
std::string ComposeDraft(const std::string& expandedBody, const std::string& tagline,
                         bool tagOnTop);

// The names of the variable list file: its lines, then the two built-in names where the
// file lacks them; and the file's text for those names, each followed by CR LF.
std::vector<std::string> VariableNames(const std::string& storedList);
std::string VariableListText(const std::vector<std::string>& names);

} // namespace rules
