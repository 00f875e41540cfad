// The work of the fuzz target and of its corpus replay: store untrusted bytes as a table
// (a ".db" file, and a ".mb" memo file when the input carries one) and use every reading
// path of the engine on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "idapi.h"

namespace idpfuzz {

// Inputs may hold a memo file after this marker: bytes before it are the .db file.
constexpr char kMemoMarker[] = "\n--MB--\n";

// Writes the input into dir as "F.db" (and "F.mb"), opens it and reads every field of
// every row in every index order, then tries a change. Returns the open status.
IdpStatus OpenAndRead(const uint8_t* data, size_t size, const std::string& dir);

} // namespace idpfuzz
