// The files qtdb keeps for the user: where they live (beside the program's own on
// Windows, the configuration folder elsewhere), read whole, and replaced whole so that
// two copies of qtdb running at once never leave half a file.
#pragma once

#include <filesystem>
#include <string>

namespace qtdb {

// %APPDATA%\Quiptide on Windows; $XDG_CONFIG_HOME/quiptide, or ~/.config/quiptide.
std::filesystem::path UserFolder();
// The file's bytes; empty when it is missing, cannot be read, or is larger than maxSize.
std::string ReadUserFile(const std::filesystem::path& file, size_t maxSize);
// Writes a temporary file beside it and renames it into place (the folder is made when
// missing). Raises Error naming the file when it cannot be written.
void ReplaceUserFile(const std::filesystem::path& file, const std::string& bytes);

} // namespace qtdb
