// Word-by-word expansion of the date and time variables, and the draft's composition.
#include "framework/rules/SignatureRules.h"

#include "framework/text/TextLines.h"

#include <algorithm>

namespace rules {

std::vector<std::string>& TBlankSplitter::Split(const std::string& line) {
    words_ = fw::SplitPieces(line, " ", true);
    return words_;
}

std::string TBlankSplitter::Join() {
    return fw::JoinPieces(words_, " ", true);
}

std::string ExpandWords(const std::string& text, const std::string& date, const std::string& time,
                        TWordSplitter& words) {
    std::string out;
    for (const std::string& line : fw::SplitLines(text)) {
        for (std::string& word : words.Split(line)) {
            if (word == kDateVariable)
                word = date;
            else if (word == kTimeVariable)
                word = time;
        }
        out += words.Join() + "\r\n";
    }
    return out;
}

std::string ComposeDraft(const std::string& expandedBody, const std::string& tagline,
                         bool tagOnTop) {
    return tagOnTop ? tagline + "\r\n" + expandedBody : expandedBody + tagline;
}

std::vector<std::string> VariableNames(const std::string& storedList) {
    std::vector<std::string> names = fw::SplitLines(storedList);
    for (const std::string& name : {kDateVariable, kTimeVariable})
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    return names;
}

std::string VariableListText(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += name + "\r\n";
    return text;
}

} // namespace rules
