// Helpers on backslash-separated Windows paths, whether a file exists, and whether two
// names are one file.
#pragma once

#include <string>

namespace fw {

// The folder, with its trailing backslash (up to and including the last "\\" or ":").
std::string ExtractFilePath(const std::string& fileName);
// The name without its folder (the text after the last "\\" or ":").
std::string ExtractFileName(const std::string& fileName);
// From the last "." after the last separator, the "." included; empty when there is none.
std::string ExtractFileExt(const std::string& fileName);
bool FileExists(const std::string& fileName);
// Whether two names lead to one and the same existing file, however they are spelt
// (letter case, relative parts, short names): the system's identity of the files.
bool SameFile(const std::string& a, const std::string& b);

} // namespace fw
