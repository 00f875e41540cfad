// The .PX primary index of a keyed table, written for other Paradox programs: the
// engine itself finds rows through its in-memory blocks and never needs to read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "Schema.h"

namespace idp {

struct IndexEntry {
    const uint8_t* key; // the key fields of the first record of a data block
    uint16_t block;     // that data block's number
    uint32_t count;     // records in it
};

// Receives a .PX file piece by piece: its index blocks in file order, then its header.
using PxSink = std::function<void(size_t offset, const uint8_t* bytes, size_t size)>;

// The .PX file for data blocks listed in key order, handed to sink; returns its size.
// Comparing the pieces with a stored file checks it without building a second one.
size_t WritePrimaryIndex(const Schema& schema, const std::vector<IndexEntry>& blocks,
                         const PxSink& sink);
// The whole .PX file for data blocks listed in key order.
std::vector<uint8_t> BuildPrimaryIndex(const Schema& schema, const std::vector<IndexEntry>& blocks);

} // namespace idp
