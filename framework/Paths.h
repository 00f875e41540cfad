// Helpers on backslash-separated Windows paths, and whether a file exists.
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

} // namespace fw
