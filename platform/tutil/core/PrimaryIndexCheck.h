// What a .PX primary index promises, checked against the data blocks it indexes: its
// lowest level holds one entry per data block, in the blocks' key order, with the block's
// first key and its row count; every entry above holds the first key and the row count of
// the index block it points to, and every level is reached from the root. How full the
// index blocks are, how they are numbered and chained and how many levels there are is
// each writer's own choice, so none of that is compared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/PrimaryIndex.h"
#include "core/Schema.h"

namespace tutil {

// "" when the .PX bytes keep those promises for the data blocks listed in key order (the
// blocks that hold rows); otherwise what the index gets wrong, in a few words.
std::string PrimaryIndexFault(const idp::Schema& schema, const uint8_t* px, size_t size,
                              const std::vector<idp::IndexEntry>& blocks);

} // namespace tutil
