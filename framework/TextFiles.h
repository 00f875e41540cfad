// Text files shared with other programs: reading one whole while others may read and
// write it, overwriting one in place, replacing one whole (line breaks: text/TextLines.h).
// Failures raise EFileError: our words, the file name, then the system's reason.
#pragma once

#include "framework/Exception.h"
#include "framework/text/TextLines.h"

#include <string>
#include <vector>

namespace fw {

// The whole file, opened while other programs may read and write it; forWriting opens it
// for writing as well, so a file that could not be written later is refused at once. A
// file larger than maxSize bytes is refused.
std::string ReadSharedFile(const std::string& fileName, unsigned long long maxSize,
                           bool forWriting = false);
// Writes an existing file from its first byte and cuts it at the end of the text. The
// file keeps its identity and attributes, and other programs may hold it open meanwhile.
void OverwriteSharedFile(const std::string& fileName, const std::string& text);
// Creates the file, or replaces an existing one whole, with exactly the text.
void WriteWholeFile(const std::string& fileName, const std::string& text);

} // namespace fw
