// The naming rules of the table utility's tables: extensions stripped, directory parts
// split off, and the underscore that marks a backup table's name.
#pragma once

#include <string>

namespace tablenames {

// Everything up to and including the last ":" or "\" (empty when there is none).
std::string DirectoryPart(const std::string& name);
// The rest after DirectoryPart.
std::string FilePart(const std::string& name);
// The directory part, then the file part up to its first ".".
std::string StripExtension(const std::string& name);
// A name shorter than 8 gains "_"; otherwise the last of its first eight characters that
// is not "_" becomes "_" (unchanged when all eight are).
std::string UnderscoreName(const std::string& name);
// The directory with a "\" at its end.
std::string WithBackslash(const std::string& directory);

} // namespace tablenames
