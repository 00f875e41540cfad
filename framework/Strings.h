// Text helpers: integer and string conversion, and text case by the system's rules.
#pragma once

#include <string>

namespace fw {

std::string IntToStr(long long value);
// Decimal, optional sign and surrounding blanks; anything else raises EConvertError
// "'%s' is not a valid integer value".
int StrToInt(const std::string& text);

// Lower case by the system's ANSI code page rules.
std::string LowerCase(const std::string& text);

} // namespace fw
