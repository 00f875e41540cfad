// The blocks that hold the rows: finding a row by position, and inserting and erasing
// records within a block, splitting a full block and dropping an empty one, so that a
// change touches only the blocks it must.
#include "Table.h"

#include <algorithm>
#include <cstring>

#include "Status.h"

namespace idp {

// A block to be written is in memory until it is.
void Table::MarkDirty(Block& b) {
    if (!b.dirty) {
        Page(b);
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
        MarkDirty(b); // read as the file has it before the links change
        b.next = next;
        b.prev = prev;
    }
}

void Table::EnsurePositions() {
    if (positionsValid_)
        return;
    positions_.Assign(blocks_.size(), [&](size_t i) { return uint32_t{blocks_[i]->count}; });
    positionsValid_ = true;
}

// A row came or went in one block; when blocks came or went, the positions are worked
// out again when next needed.
void Table::AdjustPositions(size_t block, int delta) {
    if (positionsValid_)
        positions_.Add(block, delta);
}

Table::Place Table::PlaceOf(uint32_t seq) {
    EnsurePositions();
    uint32_t slot = 0;
    size_t block = positions_.Find(seq, slot);
    return {block, static_cast<uint16_t>(slot)};
}

uint32_t Table::SeqOf(Place place) {
    EnsurePositions();
    return positions_.Before(place.block) + place.slot;
}

const uint8_t* Table::RowAt(uint32_t seq) {
    Place p = PlaceOf(seq);
    return Page(*blocks_[p.block]) + size_t{p.slot} * header_.schema.recordSize;
}

std::unique_ptr<Table::Block> Table::NewBlock(std::vector<uint8_t> storage) {
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
    // Past its records a block's bytes mean nothing, so storage reused is not cleared.
    b->data = std::move(storage);
    b->data.resize(size_t{header_.schema.RecordsPerBlock()} * header_.schema.recordSize);
    return b;
}

void Table::InsertAt(Place place, const uint8_t* record) {
    const Schema& s = header_.schema;
    const size_t rs = s.recordSize;
    const uint16_t rpb = s.RecordsPerBlock();
    const bool keyed = s.Keyed();
    if (blocks_.empty()) {
        blocks_.push_back(NewBlock());
        if (keyed)
            firstHeads_.emplace_back(); // set with the record below
        Link(0);
        place = {0, 0};
        structureChanged_ = true;
        positionsValid_ = false;
    }
    Block* b = blocks_[place.block].get();
    Page(*b);
    if (b->count == rpb) {
        auto n = NewBlock();
        if (place.slot == b->count && place.block + 1 == blocks_.size()) {
            // Appending past a full last block: start a new one, keeping blocks full.
            blocks_.push_back(std::move(n));
            if (keyed)
                firstHeads_.emplace_back();
            place = {place.block + 1, 0};
        } else {
            uint16_t keep = static_cast<uint16_t>(rpb / 2);
            n->count = static_cast<uint16_t>(b->count - keep);
            uint8_t* rows = b->Rows();
            std::memcpy(n->data.data(), rows + keep * rs, n->count * rs);
            std::memset(rows + keep * rs, 0, n->count * rs);
            b->count = keep;
            MarkDirty(*b);
            if (keyed)
                firstHeads_.insert(firstHeads_.begin() + static_cast<long>(place.block) + 1,
                                   HeadOfKey(n->data.data()));
            blocks_.insert(blocks_.begin() + static_cast<long>(place.block) + 1, std::move(n));
            if (place.slot > keep)
                place = {place.block + 1, static_cast<uint16_t>(place.slot - keep)};
        }
        // The new block and its neighbours take new links.
        for (size_t i = place.block == 0 ? 0 : place.block - 1;
             i <= place.block + 2 && i < blocks_.size(); ++i)
            Link(i);
        structureChanged_ = true;
        positionsValid_ = false;
    }
    b = blocks_[place.block].get();
    uint8_t* at = b->Rows() + place.slot * rs;
    std::memmove(at + rs, at, (b->count - place.slot) * rs);
    std::memcpy(at, record, rs);
    ++b->count;
    b->gained = true;
    MarkDirty(*b);
    AdjustPositions(place.block, 1);
    if (keyed && place.slot == 0)
        firstHeads_[place.block] = HeadOfKey(record);
    touched_ = place.block;
    ++rows_;
}

void Table::EraseAt(Place place) {
    const size_t rs = header_.schema.recordSize;
    Block& b = *blocks_[place.block];
    uint8_t* rows = Page(b);
    uint8_t* at = rows + place.slot * rs;
    std::memmove(at, at + rs, (b.count - place.slot - 1u) * rs);
    --b.count;
    b.lost = true;
    std::memset(rows + b.count * rs, 0, rs);
    MarkDirty(b);
    AdjustPositions(place.block, -1);
    touched_ = place.block;
    if (header_.schema.Keyed() && place.slot == 0 && b.count > 0)
        firstHeads_[place.block] = HeadOfKey(rows);
    if (b.count == 0) {
        freeNumbers_.insert(b.number);
        pendingEmpty_.insert(b.number);
        dirtyList_.erase(std::find(dirtyList_.begin(), dirtyList_.end(), &b));
        blocks_.erase(blocks_.begin() + static_cast<long>(place.block));
        if (header_.schema.Keyed())
            firstHeads_.erase(firstHeads_.begin() + static_cast<long>(place.block));
        if (place.block > 0)
            Link(place.block - 1);
        if (place.block < blocks_.size())
            Link(place.block);
        structureChanged_ = true;
        positionsValid_ = false;
    }
    --rows_;
}

void Table::Changed() {
    modified_ = true;
    appendOnly_ = false;
    ++generation_;
    orderLookups_ = 0;
#ifndef NDEBUG
    // Debug builds check what the change touched after every change, and everything at
    // every full flush.
    AssertIntact(CheckBlocks(touched_ > 0 ? touched_ - 1 : 0, touched_ + 1));
#endif
}

} // namespace idp
