// The work of the fuzz target and of its corpus replay: store untrusted bytes as a table
// (a ".db" file, and a ".px" primary index and a ".mb" memo file when the input carries
// them) and use every reading path of the engine on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "idapi.h"

namespace idpfuzz {

// Inputs may hold a primary index after the first marker and a memo file after the
// second, in that order: the bytes before the first marker found are the .db file.
constexpr char kIndexMarker[] = "\n--PX--\n";
constexpr char kMemoMarker[] = "\n--MB--\n";

// Writes the input into dir as "F.db" (and "F.px", written after it, and "F.mb"), counts
// its rows, opens it and reads rows by their place in the file, then every field of every
// row in every index order, then tries a change. Returns the open status.
IdpStatus OpenAndRead(const uint8_t* data, size_t size, const std::string& dir);

} // namespace idpfuzz
