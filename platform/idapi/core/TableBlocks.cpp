// The blocks that hold the rows: finding a row by position, and inserting and erasing
// records within a block, splitting a full block and dropping an empty one, so that a
// change touches only the blocks it must.
#include "Table.h"

#include <algorithm>
#include <cstring>

#include "Status.h"

namespace idp {

void Table::MarkDirty(Block& b) {
    if (!b.dirty) {
        b.dirty = true;
        dirtyList_.push_back(&b);
    }
}

// Sets the links of the block at index from its neighbours in the chain.
void Table::Link(size_t index) {
    Block& b = *blocks_[index];
    uint16_t next = index + 1 < blocks_.size() ? blocks_[index + 1]->number : 0;
    uint16_t prev = index > 0 ? blocks_[index - 1]->number : 0;
    if (b.next != next || b.prev != prev) {
        b.next = next;
        b.prev = prev;
        MarkDirty(b);
    }
}

void Table::EnsurePrefix() {
    if (prefixValid_)
        return;
    prefix_.assign(blocks_.size() + 1, 0);
    for (size_t i = 0; i < blocks_.size(); ++i)
        prefix_[i + 1] = prefix_[i] + blocks_[i]->count;
    prefixValid_ = true;
}

// Keeps the block start positions right after a row came or went in one block; far from
// the end it is cheaper to work them out again when next needed.
void Table::AdjustPrefix(size_t block, int delta) {
    if (!prefixValid_)
        return;
    if (blocks_.size() - block > 64) {
        prefixValid_ = false;
        return;
    }
    for (size_t j = block + 1; j < prefix_.size(); ++j)
        prefix_[j] = static_cast<uint32_t>(static_cast<int64_t>(prefix_[j]) + delta);
}

Table::Place Table::PlaceOf(uint32_t seq) {
    EnsurePrefix();
    size_t b = static_cast<size_t>(std::upper_bound(prefix_.begin(), prefix_.end(), seq) -
                                   prefix_.begin()) -
               1;
    return {b, static_cast<uint16_t>(seq - prefix_[b])};
}

const uint8_t* Table::RowAt(uint32_t seq) {
    Place p = PlaceOf(seq);
    return blocks_[p.block]->Rows() + size_t{p.slot} * header_.schema.recordSize;
}

std::unique_ptr<Table::Block> Table::NewBlock() {
    auto b = std::make_unique<Block>();
    if (!freeNumbers_.empty()) {
        b->number = *freeNumbers_.begin();
        freeNumbers_.erase(freeNumbers_.begin());
        pendingEmpty_.erase(b->number);
    } else if (header_.fileBlocks == 0xFFFF) {
        throw EngineError(IDP_ERR_TABLE_FULL, "Table: " + path_);
    } else {
        b->number = ++header_.fileBlocks;
    }
    b->fresh = true;
    b->data.assign(size_t{header_.schema.RecordsPerBlock()} * header_.schema.recordSize, 0);
    return b;
}

void Table::InsertAt(Place place, const uint8_t* record) {
    const Schema& s = header_.schema;
    const size_t rs = s.recordSize;
    const uint16_t rpb = s.RecordsPerBlock();
    if (blocks_.empty()) {
        blocks_.push_back(NewBlock());
        Link(0);
        place = {0, 0};
        structureChanged_ = true;
        prefixValid_ = false;
    }
    Block* b = blocks_[place.block].get();
    if (b->count == rpb) {
        auto n = NewBlock();
        if (place.slot == b->count && place.block + 1 == blocks_.size()) {
            // Appending past a full last block: start a new one, keeping blocks full.
            blocks_.push_back(std::move(n));
            place = {place.block + 1, 0};
        } else {
            uint16_t keep = static_cast<uint16_t>(rpb / 2);
            n->count = static_cast<uint16_t>(b->count - keep);
            uint8_t* rows = b->Own(rs, rpb);
            std::memcpy(n->data.data(), rows + keep * rs, n->count * rs);
            std::memset(rows + keep * rs, 0, n->count * rs);
            b->count = keep;
            MarkDirty(*b);
            blocks_.insert(blocks_.begin() + static_cast<long>(place.block) + 1, std::move(n));
            if (place.slot > keep)
                place = {place.block + 1, static_cast<uint16_t>(place.slot - keep)};
        }
        // The new block and its neighbours take new links.
        for (size_t i = place.block == 0 ? 0 : place.block - 1;
             i <= place.block + 2 && i < blocks_.size(); ++i)
            Link(i);
        structureChanged_ = true;
        firstKeysChanged_ = true;
        prefixValid_ = false;
    }
    b = blocks_[place.block].get();
    uint8_t* at = b->Own(rs, rpb) + place.slot * rs;
    std::memmove(at + rs, at, (b->count - place.slot) * rs);
    std::memcpy(at, record, rs);
    ++b->count;
    MarkDirty(*b);
    AdjustPrefix(place.block, 1);
    if (place.slot == 0)
        firstKeysChanged_ = true;
    ++rows_;
}

void Table::EraseAt(Place place) {
    const size_t rs = header_.schema.recordSize;
    Block& b = *blocks_[place.block];
    uint8_t* rows = b.Own(rs, header_.schema.RecordsPerBlock());
    uint8_t* at = rows + place.slot * rs;
    std::memmove(at, at + rs, (b.count - place.slot - 1u) * rs);
    --b.count;
    std::memset(rows + b.count * rs, 0, rs);
    MarkDirty(b);
    AdjustPrefix(place.block, -1);
    if (place.slot == 0)
        firstKeysChanged_ = true;
    if (b.count == 0) {
        freeNumbers_.insert(b.number);
        pendingEmpty_.insert(b.number);
        dirtyList_.erase(std::find(dirtyList_.begin(), dirtyList_.end(), &b));
        blocks_.erase(blocks_.begin() + static_cast<long>(place.block));
        if (place.block > 0)
            Link(place.block - 1);
        if (place.block < blocks_.size())
            Link(place.block);
        structureChanged_ = true;
        prefixValid_ = false;
    }
    --rows_;
}

void Table::Changed() {
    modified_ = true;
    appendOnly_ = false;
    ++generation_;
}

} // namespace idp
