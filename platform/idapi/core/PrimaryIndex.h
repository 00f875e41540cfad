// The .PX primary index of a keyed table: written whole for other Paradox programs, and
// read by the engine's open for what its first level says of the data blocks, so that
// opening a large table reads the index and not the rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "KeyHead.h"
#include "Os.h"
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

// A .PX's first level: the data blocks in key order, the rows each holds, and the head of
// its first key.
struct IndexLevel {
    std::vector<uint16_t> blocks;
    std::vector<uint16_t> counts;
    std::vector<KeyHead> heads;
};

// Reads the first level of a .PX made for a table of this schema, going down the left
// edge of the upper levels and then along the first level's chain. False when the file is
// no such index or contradicts itself: a wrong layout, links that loop or leave the file,
// entries past a block's end, block numbers named twice, keys that do not rise.
bool ReadPrimaryIndex(const os::File& px, const Schema& schema, IndexLevel& level);

} // namespace idp
