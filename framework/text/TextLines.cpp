// Line breaks and separator pieces, with no system services.
#include "framework/text/TextLines.h"

#include <utility>

namespace fw {

std::string NormaliseLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else
            out += c;
    }
    return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> SplitPieces(const std::string& text, const std::string& separator,
                                     bool keepEmpty) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    for (;;) {
        // An empty separator is never found: the whole string is the only piece.
        const auto p = separator.empty() ? std::string::npos : text.find(separator, start);
        std::string piece =
            text.substr(start, p == std::string::npos ? std::string::npos : p - start);
        if (!piece.empty() || keepEmpty)
            pieces.push_back(std::move(piece));
        if (p == std::string::npos)
            return pieces;
        start = p + separator.size();
    }
}

std::string JoinPieces(const std::vector<std::string>& pieces, const std::string& separator,
                       bool keepEmpty) {
    std::string text;
    if (pieces.empty())
        return text;
    text = pieces.front();
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        if (pieces[i].empty() && !keepEmpty)
            continue;
        text += separator;
        text += pieces[i];
    }
    return text;
}

} // namespace fw
