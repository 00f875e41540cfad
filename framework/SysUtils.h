// Run-time helpers: integer/string conversion, text case, date and time text in the
// user's locale formats, and file and path helpers.
#pragma once

#include <string>

namespace fw {

std::string IntToStr(long long value);
// Decimal, optional sign and surrounding blanks; anything else raises EConvertError
// "'%s' is not a valid integer value".
int StrToInt(const std::string& text);

// Lower case by the system's ANSI code page rules.
std::string LowerCase(const std::string& text);

// Today's date in the user's short date format, and the time of day in the user's
// time format.
std::string DateToStr();
std::string TimeToStr();

// Path helpers on backslash-separated Windows paths.
std::string ExtractFilePath(const std::string& fileName); // folder, with trailing backslash
// From the last "." after the last separator, the "." included; empty when there is none.
std::string ExtractFileExt(const std::string& fileName);
bool FileExists(const std::string& fileName);

// Full path of the running program file and the whole command line, as the system
// reports them.
std::string ProgramFileName();
std::string CommandLine();

} // namespace fw
