// Writing a table's files whole from rows in memory: the .db with its blocks linked in
// order, the .PX of a keyed table and the .QIX sidecar. Rebuilt tables, the key-violation
// and problem tables and the error table are all written this way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Header.h"
#include "core/IndexDefs.h"

namespace tutil {

struct TableContent {
    // The header to start from (its structure and raw bytes); the counts are set anew.
    idp::TableHeader header;
    std::vector<const uint8_t*> rows; // each header.schema.recordSize bytes, in file order
    // Rows of each block in turn; empty: every block as full as it can be.
    std::vector<uint16_t> fills;
    std::vector<idp::IndexDef> indexes; // for the sidecar (none when nothing to say)
};

// Writes the files at dbPath (.db extension included), replacing what is there. Throws
// idp::EngineError when a write fails or the rows do not fit the format.
void WriteTableFiles(const std::string& dbPath, TableContent content);

// A header for a new table of these fields (offsets and record size worked out here).
idp::TableHeader HeaderFor(std::vector<idp::Field> fields, const std::string& tableName);

} // namespace tutil
