// The table's integrity check: what must hold between the blocks, the rows and what is
// kept in memory about them, said as the first thing found not to hold. Tests run it
// after their changes; debug builds run the part near a change after every change, and
// all of it at every full flush.
#include "Table.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace idp {

namespace {

std::string Where(size_t chain, uint16_t number) {
    return "Block " + std::to_string(number) + " (chain position " + std::to_string(chain) + ")";
}

} // namespace

void Table::AssertIntact(const std::string& violation) {
    if (violation.empty())
        return;
    std::fprintf(stderr, "Table integrity: %s\n", violation.c_str());
    std::abort();
}

// The blocks from first to last (chain positions, clipped to the chain), and what must
// hold for the table as a whole that can be told without a pass over it.
std::string Table::CheckBlocks(size_t first, size_t last) {
    const uint16_t rpb = header_.schema.RecordsPerBlock();
    const size_t rs = header_.schema.recordSize;
    for (size_t i = first; i <= last && i < blocks_.size(); ++i) {
        const Block& b = *blocks_[i];
        if (b.number == 0 || b.number > header_.fileBlocks)
            return Where(i, b.number) + " lies outside the file's " +
                   std::to_string(header_.fileBlocks) + " blocks.";
        if (b.count == 0 || b.count > rpb)
            return Where(i, b.number) + " holds " + std::to_string(b.count) + " rows of " +
                   std::to_string(rpb) + ".";
        uint16_t prev = i > 0 ? blocks_[i - 1]->number : 0;
        uint16_t next = i + 1 < blocks_.size() ? blocks_[i + 1]->number : 0;
        if (b.prev != prev || b.next != next)
            return Where(i, b.number) + " links to " + std::to_string(b.prev) + " and " +
                   std::to_string(b.next) + " instead of " + std::to_string(prev) + " and " +
                   std::to_string(next) + ".";
        if (positionsValid_ && positions_.Before(i + 1) - positions_.Before(i) != b.count)
            return Where(i, b.number) + ": the block positions count other rows than it holds.";
        if (!header_.schema.Keyed())
            continue;
        if (i >= firstHeads_.size() || firstHeads_[i] != HeadOfKey(Page(*blocks_[i])))
            return Where(i, b.number) + ": the head kept of its first key is not its own.";
        const uint8_t* before =
            i > 0 ? Page(*blocks_[i - 1]) + (blocks_[i - 1]->count - 1u) * rs : nullptr;
        const uint8_t* rows = Page(*blocks_[i]);
        for (uint16_t r = 0; r < b.count; ++r) {
            const uint8_t* row = rows + r * rs;
            if (before && KeyCompare(before, row) >= 0)
                return Where(i, b.number) + ", row " + std::to_string(r) +
                       ": the key is not above the previous row's.";
            before = row;
        }
    }
    if (positionsValid_ &&
        (positions_.Size() != blocks_.size() || positions_.Before(blocks_.size()) != rows_))
        return "The block positions do not add up to the table's " + std::to_string(rows_) +
               " rows.";
    if (header_.schema.Keyed() && firstHeads_.size() != blocks_.size())
        return "The heads kept of the blocks' first keys are " +
               std::to_string(firstHeads_.size()) + " for " + std::to_string(blocks_.size()) +
               " blocks.";
    for (size_t i = 0; i < keyOrders_.size(); ++i)
        if (keyOrders_[i] && keyOrders_[i]->Size() != rows_)
            return "Index " + indexes_[i].name + " holds " + std::to_string(keyOrders_[i]->Size()) +
                   " rows, the table " + std::to_string(rows_) + ".";
    return {};
}

// An index order kept in memory against the rows: in order, unique where the index is,
// and one entry for each row.
std::string Table::CheckKeyOrder(size_t index) {
    const IndexOrder& order = *keyOrders_[index];
    const std::string name = "Index " + indexes_[index].name;
    if (std::string bad = order.Check(); !bad.empty())
        return name + ": " + bad + ".";
    const bool unique = UniqueApplies(indexes_[index]);
    const IndexOrder::Entry* prev = nullptr;
    std::string bad;
    std::vector<uint8_t> key(header_.schema.KeySize(), 0);
    order.ForEach([&](const IndexOrder::Entry& e) {
        if (!bad.empty())
            return;
        if (prev && unique && prev->Key() == e.Key())
            bad = name + " holds a unique key twice.";
        prev = &e;
        if (!bad.empty() || !header_.schema.Keyed())
            return;
        std::fill(key.begin(), key.end(), 0);
        std::copy(e.Row().begin(), e.Row().end(), key.begin());
        bool found = false;
        Place p = KeyPlace(key.data(), found);
        const uint8_t* row =
            found ? Page(*blocks_[p.block]) + p.slot * header_.schema.recordSize : nullptr;
        if (!row || EntryFor(row, index).text != e.text)
            bad = name + " holds a row the table lacks or has changed.";
    });
    if (!bad.empty() || header_.schema.Keyed())
        return bad;
    // Without a primary key every entry names no row; each row must find its own.
    for (const auto& b : blocks_)
        for (uint16_t r = 0; r < b->count; ++r) {
            size_t rank = 0;
            if (!order.RankOf(EntryFor(Page(*b) + r * header_.schema.recordSize, index), rank))
                return name + " lacks a row of the table.";
        }
    return {};
}

std::string Table::CheckInvariants() {
    if (blocks_.size() > header_.fileBlocks)
        return "The chain has " + std::to_string(blocks_.size()) + " blocks, the file " +
               std::to_string(header_.fileBlocks) + ".";
    std::vector<bool> seen(size_t{header_.fileBlocks} + 1, false);
    uint64_t rows = 0;
    for (size_t i = 0; i < blocks_.size(); ++i) {
        uint16_t n = blocks_[i]->number;
        if (n <= header_.fileBlocks && seen[n])
            return Where(i, n) + " comes twice in the chain.";
        if (freeNumbers_.count(n))
            return Where(i, n) + " is in the chain and free at once.";
        if (n <= header_.fileBlocks)
            seen[n] = true;
        if (positionsValid_ && positions_.Before(i) != rows)
            return Where(i, n) + ": the block positions put its first row elsewhere.";
        rows += blocks_[i]->count;
    }
    if (rows != rows_)
        return "The blocks hold " + std::to_string(rows) + " rows, the table counts " +
               std::to_string(rows_) + ".";
    if (std::string bad = CheckBlocks(0, blocks_.size()); !bad.empty())
        return bad;
    for (size_t i = 0; i < keyOrders_.size(); ++i)
        if (keyOrders_[i])
            if (std::string bad = CheckKeyOrder(i); !bad.empty())
                return bad;
    std::vector<const uint8_t*> bySeq; // the rows in file order, for the orders' arrays
    for (const auto& b : blocks_)
        for (uint16_t r = 0; r < b->count; ++r)
            bySeq.push_back(Page(*b) + r * header_.schema.recordSize);
    for (const auto& [index, cache] : orders_) {
        if (cache.generation != generation_)
            continue;
        const std::string name = "The order of index " + indexes_[index].name;
        if (cache.order.size() != rows_ || cache.ranks.size() != rows_)
            return name + " has other rows than the table.";
        std::string prevKey, key;
        for (uint32_t rank = 0; rank < rows_; ++rank) {
            uint32_t seq = cache.order[rank];
            if (seq >= rows_ || cache.ranks[seq] != rank)
                return name + ": rank " + std::to_string(rank) + " and its row disagree.";
            IndexKeyInto(bySeq[seq], indexes_[index], key);
            bool descending = indexes_[index].Descending();
            if (rank > 0 && (descending ? key > prevKey : key < prevKey))
                return name + ": rank " + std::to_string(rank) + " is out of order.";
            prevKey.swap(key);
        }
    }
    return {};
}

} // namespace idp
