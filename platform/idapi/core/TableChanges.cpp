// Changes of rows: inserts, updates and erasures with their key checks, and the merge
// that adds many rows at once.
#include "Table.h"

#include <algorithm>
#include <cstring>

#include "Status.h"

namespace idp {

Table::Place Table::PlaceForInsert(const uint8_t* record, std::optional<uint32_t> before) {
    CheckWritable();
    std::string clash = UniqueClash(UniqueKeys(record));
    CheckWritable(); // the unique keys, read for the first time, may show damage
    if (!clash.empty())
        throw EngineError(IDP_ERR_KEY_VIOLATION, "Index: " + clash);
    if (rows_ == 0x7FFFFFFF)
        throw EngineError(IDP_ERR_TABLE_FULL, "Table: " + path_);
    if (header_.schema.Keyed()) {
        bool found = false;
        Place place = KeyPlace(record, found);
        if (found)
            throw EngineError(IDP_ERR_KEY_VIOLATION, "Index: " + indexes_[0].name);
        return place;
    }
    if (before && *before < rows_)
        return PlaceOf(*before);
    if (blocks_.empty())
        return {0, 0};
    return {blocks_.size() - 1, blocks_.back()->count};
}

void Table::Add(const uint8_t* record) {
    InsertAt(PlaceForInsert(record, std::nullopt), record);
    AddKeys(record);
    Changed();
}

void Table::AddMany(const std::vector<uint8_t>& records) {
    const size_t rs = header_.schema.recordSize;
    const size_t n = records.size() / rs;
    if (!header_.schema.Keyed() || n * 16 < rows_) {
        for (size_t i = 0; i < n; ++i)
            Add(&records[i * rs]);
        return;
    }
    CheckWritable();
    // Sort on the first eight key bytes as one number, then on the whole key.
    std::vector<std::pair<uint64_t, uint32_t>> sorted(n);
    const size_t head = std::min<size_t>(8, header_.schema.KeySize());
    for (uint32_t i = 0; i < n; ++i) {
        uint64_t prefix = 0;
        for (size_t k = 0; k < head; ++k)
            prefix = prefix << 8 | records[i * rs + k];
        sorted[i] = {prefix << (8 * (8 - head)), i};
    }
    std::sort(sorted.begin(), sorted.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        return KeyCompare(&records[a.second * rs], &records[b.second * rs]) < 0;
    });
    std::vector<uint32_t> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = sorted[i].second;
    const uint16_t rpb = header_.schema.RecordsPerBlock();
    std::vector<std::unique_ptr<Block>> merged;
    auto put = [&](const uint8_t* r) {
        if (merged.empty() || merged.back()->count == rpb)
            merged.push_back(NewBlock());
        Block& b = *merged.back();
        std::memcpy(&b.data[b.count * rs], r, rs);
        ++b.count;
    };
    size_t next = 0;
    for (const auto& b : blocks_)
        for (uint16_t i = 0; i < b->count; ++i) {
            const uint8_t* r = b->Rows() + i * rs;
            for (; next < n && KeyCompare(&records[order[next] * rs], r) < 0; ++next)
                put(&records[order[next] * rs]);
            put(r);
        }
    for (; next < n; ++next)
        put(&records[order[next] * rs]);
    for (auto& order : keyOrders_) // worked out again from the rows when next needed
        order.reset();
    // The old blocks are free once the header names the new chain.
    for (const auto& b : blocks_) {
        freeNumbers_.insert(b->number);
        pendingEmpty_.insert(b->number);
    }
    dirtyList_.clear();
    blocks_ = std::move(merged);
    SetFirstHeads();
    for (size_t i = 0; i < blocks_.size(); ++i) {
        blocks_[i]->next = blocks_[i]->prev = 0;
        Link(i);
        MarkDirty(*blocks_[i]);
    }
    rows_ += static_cast<uint32_t>(n);
    structureChanged_ = true;
    positionsValid_ = false;
    touched_ = 0;
    Changed();
}

uint32_t Table::Insert(const uint8_t* record, std::optional<uint32_t> before) {
    Place place = PlaceForInsert(record, before);
    bool wasClean = dirtyList_.empty() || appendOnly_;
    InsertAt(place, record);
    AddKeys(record);
    Changed();
    appendOnly_ = wasClean && !header_.schema.Keyed() && !(before && *before < rows_ - 1);
    if (header_.schema.Keyed()) {
        bool found = false;
        return SeqOf(KeyPlace(record, found));
    }
    return before && *before < rows_ - 1 ? *before : rows_ - 1;
}

uint32_t Table::Update(uint32_t seq, const uint8_t* record) {
    CheckWritable();
    const uint16_t rs = header_.schema.recordSize;
    // A row written as it was changes nothing, so nothing is written.
    if (std::memcmp(RowAt(seq), record, rs) == 0)
        return seq;
    std::vector<uint8_t> old(RowAt(seq), RowAt(seq) + rs);
    // Only keys that change can clash: the row itself holds the others.
    std::vector<std::string> oldKeys = UniqueKeys(old.data());
    std::string clash = UniqueClash(UniqueKeys(record), &oldKeys);
    CheckWritable();
    bool keyChanged = header_.schema.Keyed() && KeyCompare(old.data(), record) != 0;
    if (clash.empty() && keyChanged) {
        bool found = false;
        KeyPlace(record, found);
        if (found)
            clash = indexes_[0].name.empty() ? std::string("primary") : indexes_[0].name;
    }
    if (!clash.empty())
        throw EngineError(IDP_ERR_KEY_VIOLATION, "Index: " + clash);
    RemoveKeys(old.data());
    uint32_t result = seq;
    bool found = false;
    if (keyChanged) {
        EraseAt(PlaceOf(seq));
        InsertAt(KeyPlace(record, found), record);
        result = SeqOf(KeyPlace(record, found));
    } else {
        Place p = PlaceOf(seq);
        std::memcpy(blocks_[p.block]->Rows() + size_t{p.slot} * rs, record, rs);
        MarkDirty(*blocks_[p.block]);
        touched_ = p.block;
    }
    AddKeys(record);
    Changed();
    return result;
}

void Table::Erase(uint32_t seq, std::optional<Ranked> known) {
    CheckWritable();
    RemoveKeys(RowAt(seq), known);
    EraseAt(PlaceOf(seq));
    Changed();
}

} // namespace idp
