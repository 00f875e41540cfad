// Variable expansion word by word, with the variable list file kept in step.
#include "rotation/Variables.h"

#include "framework/DateFormat.h"
#include "framework/Paths.h"
#include "rotation/SignatureFiles.h"
#include "framework/rules/SignatureRules.h"

#include <vector>

namespace {

// The names of the list file, then the two built-in names unless the file has them. The
// file is rewritten only when its text changes, so it does not grow with every use.
void KeepVariableList(const std::string& listFile) {
    const bool exists = fw::FileExists(listFile);
    const std::string stored = exists ? fw::ReadSharedFile(listFile, kMaxTextFile) : std::string();
    const std::string text = rules::VariableListText(rules::VariableNames(stored));
    if (!exists || text != stored)
        fw::WriteWholeFile(listFile, text);
}

// The window's string splitter, splitting at single blanks with empty words kept.
class TBreakItWords : public rules::TWordSplitter {
  public:
    explicit TBreakItWords(TBrkApart& breakIt) : breakIt_(breakIt) {
        breakIt_.BreakString.assign(1, ' ');
        breakIt_.AllowEmptyString = true;
    }
    std::vector<std::string>& Split(const std::string& line) override {
        breakIt_.BaseString = line;
        breakIt_.Split();
        return breakIt_.StringList();
    }
    std::string Join() override {
        breakIt_.Join();
        return breakIt_.BaseString;
    }

  private:
    TBrkApart& breakIt_;
};

} // namespace

std::string ExpandVariables(const std::string& text, TBrkApart& breakIt,
                            const std::string& listFile, const TVariableValues& values) {
    KeepVariableList(listFile);
    TBreakItWords words(breakIt);
    return rules::ExpandWords(text, fw::FormatDateTime(values.custDate, values.now),
                              fw::FormatDateTime(values.custTime, values.now), words);
}
