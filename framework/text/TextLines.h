// Lines of a text and its line breaks of every kind (CR LF, lone CR, lone LF), and the
// pieces of a string between occurrences of a separator.
#pragma once

#include <string>
#include <vector>

namespace fw {

// Lone CR and lone LF become CR LF; CR LF stays.
std::string NormaliseLineBreaks(const std::string& text);
// Lines ending at CR LF, lone CR or lone LF; a final line break gives no empty last line.
std::vector<std::string> SplitLines(const std::string& text);

// The pieces of text between occurrences of separator (an empty separator gives the whole
// text as the one piece); keepEmpty keeps the empty ones, so that JoinPieces gives the
// text back exactly.
std::vector<std::string> SplitPieces(const std::string& text, const std::string& separator,
                                     bool keepEmpty);
std::string JoinPieces(const std::vector<std::string>& pieces, const std::string& separator,
                       bool keepEmpty);

} // namespace fw
