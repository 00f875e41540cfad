// The .db file header: reading it from untrusted bytes, making one for a new table, and
// updating the counts it keeps as rows and blocks come and go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Bytes.h"
#include "Schema.h"

namespace idp {

struct TableHeader {
    Schema schema;
    uint8_t fileType = 2; // 0 keyed, 2 unkeyed
    uint16_t headerSize = 0x800;
    uint32_t numRecords = 0;
    uint16_t fileBlocks = 0;
    uint16_t usedBlocks = 0;
    uint16_t firstBlock = 0;
    uint16_t lastBlock = 0;
    int32_t autoInc = 0; // the last value given to an autoincrement field
    uint8_t auxPasswords = 0;
    bool encrypted = false;
    uint8_t changeCount = 0;
    std::vector<uint8_t> raw; // the header block as stored, headerSize bytes
};

// Parses a header; bytes holds at least the header block (more is ignored). Throws
// IDP_ERR_NOT_A_TABLE or IDP_ERR_DAMAGED naming path.
TableHeader ParseHeader(ByteView bytes, const std::string& path);
// A header for a new table (version 7 layout, ANSI code page, "ascii" sort order).
TableHeader NewHeader(const Schema& schema, const std::string& tableName);
// Writes the counts of h into h.raw.
void StoreCounts(TableHeader& h);

} // namespace idp
