// Names of a table's files: the .db path the user gives (with or without extension) and
// the companion files beside it (.PX primary index, .MB memos, our index sidecar).
#pragma once

#include <string>
#include <vector>

namespace idp {

// The directory part of a path, with its trailing separator ("" when there is none).
std::string DirectoryOf(const std::string& path);
// The file part of a path.
std::string FileOf(const std::string& path);
// True when the file part has an extension.
bool HasExtension(const std::string& path);
// The table's .db path: the path itself, or with ".db" added when it has no extension
// (an existing ".DB" spelling is used when that is what the disk has).
std::string TableFilePath(const std::string& path);
// A companion file: the .db path with its extension replaced by ext, in the case the
// disk has or, for a new file, in the case of the .db extension.
std::string CompanionPath(const std::string& dbPath, const std::string& ext);
// Every companion file of a table that exists on disk (index, memo and our sidecar).
std::vector<std::string> ExistingCompanions(const std::string& dbPath);
// Simple wildcard match ('*' and '?'), case ignored.
bool WildcardMatch(const std::string& pattern, const std::string& name);

} // namespace idp
