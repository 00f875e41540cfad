// Conversion of text between the program's character set (Windows ANSI, code page
// 1252) and the code page a table's header declares.
#pragma once

#include <cstdint>
#include <string>

namespace idp {

constexpr uint16_t kAnsiCodePage = 1252;

// True when text in this code page needs no conversion for the program.
bool IsAnsiCodePage(uint16_t codePage);
// Table text to program text; characters the program's set lacks become '?'.
std::string TableToAnsi(const std::string& text, uint16_t codePage);
// Program text to table text; characters the table's set lacks become '?'.
std::string AnsiToTable(const std::string& text, uint16_t codePage);
// Whether a table header may declare this code page: the DOS and Windows pages the
// Paradox language drivers use. The engine reads text of any other page as ANSI.
bool KnownCodePage(uint16_t codePage);
// The name the engine gives a code page ("cp1252").
std::string CodePageName(uint16_t codePage);

} // namespace idp
