// Text helpers: integer and string conversion, text case by the system's rules, and
// Unicode text in the ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace fw {

std::string IntToStr(long long value);
// Decimal, optional sign and surrounding blanks; anything else raises EConvertError
// "'%s' is not a valid integer value".
int StrToInt(const std::string& text);

// Lower case by the system's ANSI code page rules.
std::string LowerCase(const std::string& text);

// Unicode text in the system's ANSI code page, as the program's texts are. There are no
// "best fit" lookalikes: a character the code page lacks becomes "?", and replaced (when
// given) tells whether any did.
std::string AnsiFromWide(std::wstring_view text, bool* replaced = nullptr);

} // namespace fw
