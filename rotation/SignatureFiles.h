// The files of the signature document: reading a text file shared with other programs,
// overwriting the signature file in place, replacing a side file whole, and turning
// every lone CR or LF of a loaded text into CR LF.
#pragma once

#include "framework/Exception.h"

#include <string>
#include <vector>

// The largest file read into a text area.
constexpr unsigned long long kMaxTextFile = 16ull << 20;

// Failures raise fw::EFileError.

// The whole file, opened for reading while other programs may read and write it.
std::string ReadSharedFile(const std::string& fileName);
// The same with every line break made CR LF, as a text area holds it.
std::string LoadTextFile(const std::string& fileName);
// A mail signature file loaded as LoadTextFile does, but opened for writing as well: a
// file the program could not save later (read-only, locked) is refused at once.
std::string LoadSignatureFile(const std::string& fileName);

// Writes an existing file from its first byte and cuts it at the end of the text. The
// file keeps its identity and attributes, and other programs may hold it open meanwhile.
void OverwriteSharedFile(const std::string& fileName, const std::string& text);
// Creates the file, or replaces an existing one whole, with exactly the text.
void WriteWholeFile(const std::string& fileName, const std::string& text);

// Lone CR and lone LF become CR LF; CR LF stays.
std::string NormaliseLineBreaks(const std::string& text);
// Lines ending at CR LF, lone CR or lone LF; a final line break gives no empty last line.
std::vector<std::string> SplitLines(const std::string& text);
