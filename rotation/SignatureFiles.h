// The files of the signature document: a text file loaded into a text area (with its line
// breaks made CR LF) and the signature file, which must stay writable.
#pragma once

#include "framework/TextFiles.h"

#include <string>

// The largest file read into a text area.
constexpr unsigned long long kMaxTextFile = 16ull << 20;

// The whole file with every line break made CR LF, as a text area holds it.
std::string LoadTextFile(const std::string& fileName);
// A mail signature file loaded as LoadTextFile does, but opened for writing as well: a
// file the program could not save later (read-only, locked) is refused at once.
std::string LoadSignatureFile(const std::string& fileName);
