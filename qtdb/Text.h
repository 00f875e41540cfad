// Text as qtdb reads and writes it: the program's character set (Windows-1252), or UTF-8
// for terminals that speak it; lines of an input file; taglines escaped on one line.
#pragma once

#include <string>
#include <vector>

namespace qtdb {

enum class Encoding { Windows1252, Utf8 };

// Windows-1252 text as UTF-8, and UTF-8 as Windows-1252 (characters it lacks become "?",
// and replaced, when given, says whether any did).
std::string Utf8FromAnsi(const std::string& text);
std::string AnsiFromUtf8(const std::string& text, bool* replaced = nullptr);

// An input file's text in the program's character set: a UTF-8 byte-order mark, or the
// utf-8 encoding asked for, converts it. Raises Error naming the file when it holds a NUL
// byte: it is then no text file.
std::string InputText(const std::string& bytes, Encoding encoding, const std::string& file);
// Program text as written out in the encoding asked for.
std::string OutputText(const std::string& text, Encoding encoding);

// A tagline on one line: "\" as "\\", a line break (CR LF, CR or LF) as "\n"; and back.
std::string EscapeLineBreaks(const std::string& tagline);
std::string UnescapeLineBreaks(const std::string& line);

// The whole file, or standard input for "-"; raises Error naming it when it cannot be read.
std::string ReadInput(const std::string& file);

} // namespace qtdb
