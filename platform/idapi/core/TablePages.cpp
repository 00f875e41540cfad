// The blocks' rows in memory: a block is read when first needed and kept, a pass reads
// runs of blocks into one buffer and keeps none, and every block read is checked against
// what the table has of it (its links, its rows, its first key). A block that disagrees
// shows that the .PX the table was opened from did not describe the data: the table is
// opened again from the blocks' own headers, before anything was changed, and the call is
// made again (StructureChanged). Once the blocks' headers are known to agree, a block that
// disagrees was changed by someone else while the table was open.
#include "Table.h"

#include <algorithm>
#include <cstring>

#include "FileLayout.h"
#include "Status.h"

namespace idp {

bool Table::PageMatches(const Block& b, const uint8_t* image) const {
    const Schema& s = header_.schema;
    ByteView block(image, s.blockSize);
    uint16_t next = 0, prev = 0;
    block.U16(layout::kBlockNext, next);
    block.U16(layout::kBlockPrev, prev);
    bool exact = true;
    const uint32_t count = BlockRows(block, s.recordSize, s.RecordsPerBlock(), exact);
    if (next != b.next || prev != b.prev || count != b.count)
        return false;
    const uint8_t* first = image + layout::kBlockHeader;
    return !s.Keyed() || count == 0 ||
           (HeadOfKey(first) == b.head &&
            (b.firstKey.empty() || std::memcmp(first, b.firstKey.data(), b.firstKey.size()) == 0));
}

void Table::PageMismatch() {
    if (verified_)
        ThrowDamaged(path_, "The file was changed by another program while the table was open.");
    Load(false);
    throw StructureChanged();
}

uint8_t* Table::Page(Block& b) {
    if (b.Resident())
        return b.Rows();
    const Schema& s = header_.schema;
    pageBuffer_.resize(s.blockSize);
    const size_t got = file_.ReadAt(header_.headerSize + uint64_t{b.number - 1u} * s.blockSize,
                                    pageBuffer_.data(), s.blockSize);
    if (got != s.blockSize || !PageMatches(b, pageBuffer_.data()))
        PageMismatch();
    const auto rows = pageBuffer_.begin() + layout::kBlockHeader;
    b.data.assign(rows, rows + size_t{s.RecordsPerBlock()} * s.recordSize);
    return b.data.data();
}

const uint8_t* Table::FirstKey(Block& b) {
    return b.Resident() || b.firstKey.empty() ? Page(b) : b.firstKey.data();
}

std::vector<uint8_t> Table::Drop(Block& b) {
    if (b.dirty || !b.Resident())
        return {};
    if (header_.schema.Keyed()) {
        b.firstKey.assign(b.Rows(), b.Rows() + header_.schema.KeySize());
        b.head = HeadOfKey(b.Rows());
    }
    b.loaded = nullptr;
    return std::move(b.data);
}

size_t Table::ResidentBlocks() const {
    return static_cast<size_t>(
        std::count_if(blocks_.begin(), blocks_.end(), [](const auto& b) { return b->Resident(); }));
}

// Reads the blocks from first on that lie one after another in the file and are not in
// memory, up to a run's worth and before chain position end; returns the chain position
// after the last one read.
size_t Table::ReadRun(size_t first, size_t end) {
    const uint16_t bs = header_.schema.blockSize;
    const size_t most = std::max<size_t>(1, kReadRun / bs);
    const uint16_t start = blocks_[first]->number;
    size_t last = first + 1;
    while (last < end && last - first < most && !blocks_[last]->Resident() &&
           blocks_[last]->number == start + (last - first))
        ++last;
    const size_t bytes = (last - first) * bs;
    if (scanBuffer_.size() < bytes)
        scanBuffer_.resize(bytes);
    const size_t got =
        file_.ReadAt(header_.headerSize + uint64_t{start - 1u} * bs, scanBuffer_.data(), bytes);
    for (size_t k = first; k < last; ++k)
        if ((k - first + 1) * bs > got ||
            !PageMatches(*blocks_[k], scanBuffer_.data() + (k - first) * bs))
            PageMismatch();
    return last;
}

} // namespace idp
