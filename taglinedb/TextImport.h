// The lines of a text file to import as taglines. Line breaks may be CR LF, CR or LF, and
// the last line needs none. A file that starts with a UTF-8 or UTF-16 byte-order mark is
// converted into the ANSI code page the tables hold. A file holding NUL bytes is no text
// file and is refused before anything is imported.
#pragma once

#include <string>
#include <vector>

// The largest file imported; a tagline file is a few megabytes.
constexpr unsigned long long kMaxImportFile = 256ull << 20;

struct TImportText {
    std::vector<std::string> lines;
    // Characters with no equivalent in the ANSI code page became "?".
    bool replaced = false;
};

// Raises fw::EFileError when the file cannot be read or is too large, and fw::Exception
// when it is not text.
TImportText ReadImportLines(const std::string& fileName);
