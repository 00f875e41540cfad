// Variable expansion word by word, with the variable list file kept in step.
#include "rotation/Variables.h"

#include "framework/DateFormat.h"
#include "framework/Paths.h"
#include "rotation/SignatureFiles.h"

#include <algorithm>
#include <vector>

namespace {

const std::string kDate = "#DATE#";
const std::string kTime = "#TIME#";
const std::string kBlank = " ";

// The names of the list file, then the two built-in names unless the file has them. The
// file is rewritten only when its text changes, so it does not grow with every use.
std::vector<std::string> VariableList(const std::string& listFile) {
    const bool exists = fw::FileExists(listFile);
    const std::string stored = exists ? fw::ReadSharedFile(listFile, kMaxTextFile) : std::string();
    std::vector<std::string> names = fw::SplitLines(stored);
    for (const std::string& name : {kDate, kTime})
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    std::string text;
    for (const std::string& name : names)
        text += name + "\r\n";
    if (!exists || text != stored)
        fw::WriteWholeFile(listFile, text);
    return names;
}

} // namespace

std::string ExpandVariables(const std::string& text, TBrkApart& breakIt,
                            const std::string& listFile, const TVariableValues& values) {
    const std::vector<std::string> names = VariableList(listFile);
    breakIt.BreakString = kBlank;
    breakIt.AllowEmptyString = true;
    std::string out;
    for (const std::string& line : fw::SplitLines(text)) {
        breakIt.BaseString = line;
        breakIt.Split();
        for (std::string& word : breakIt.StringList())
            for (const std::string& name : names) {
                if (word != name)
                    continue;
                if (name == kDate)
                    word = fw::FormatDateTime(values.custDate, values.now);
                else if (name == kTime)
                    word = fw::FormatDateTime(values.custTime, values.now);
            }
        breakIt.Join();
        out += breakIt.BaseString + "\r\n";
    }
    return out;
}
