// The .PX primary index of a keyed table, written for other Paradox programs: the
// engine itself finds rows through its in-memory blocks and never needs to read it.
#pragma once

#include <cstdint>
#include <vector>

#include "Schema.h"

namespace idp {

struct IndexEntry {
    const uint8_t* key; // the key fields of the first record of a data block
    uint16_t block;     // that data block's number
    uint32_t count;     // records in it
};

// The whole .PX file for data blocks listed in key order.
std::vector<uint8_t> BuildPrimaryIndex(const Schema& schema, const std::vector<IndexEntry>& blocks);

} // namespace idp
