// Writing the checker's small per-user files, with failures told by file name and reason.
#pragma once

#include <string>
#include <string_view>

namespace spell {

// Writes `data` to `path` (appended, or replacing the file whole through a temporary
// beside it), making its folder first. Throws spell::Error: "<what> <path> cannot be
// written: <the system's reason>".
void WriteText(const std::string& path, std::string_view data, bool append, const char* what);

} // namespace spell
