// Moving and copying a table's files by name, for the rebuild's swap of the new files
// for the old and for the error table's replacement.
#pragma once

#include <string>
#include <vector>

namespace tutil {

// Renames a file, copying and removing it where a rename cannot (another file system).
// Throws idp::EngineError IDP_ERR_ACCESS when neither works; the target is replaced.
void MoveFile(const std::string& from, const std::string& to);
void CopyFile(const std::string& from, const std::string& to);
// The .db and every companion file of a table that exists, the .db first.
std::vector<std::string> TableFiles(const std::string& dbPath);
// The companion path of file (same extension) for another table's .db path.
std::string SameKindFor(const std::string& file, const std::string& otherDbPath);
// Removes a table's files (those that exist).
void RemoveTableFiles(const std::string& dbPath);

} // namespace tutil
