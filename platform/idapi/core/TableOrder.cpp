// The rows in the order of an index that is not the file's own. While nothing changes, the
// order is two arrays (rows by rank, ranks by row), worked out in one sort. After a change
// a keyed table answers from the index order kept in memory, in logarithmic time, rather
// than sorting again; once lookups since the change pass half the rows, a pass through the
// rows is under way and the arrays are worth working out again. Unkeyed tables, whose rows
// can be found again only by position, always use the arrays.
#include "Table.h"

#include <algorithm>

namespace idp {

bool Table::IsFileOrder(size_t index) const {
    const IndexDef& d = indexes_[index];
    return d.Primary() && !d.CaseInsensitive();
}

void Table::BuildOrder(size_t index, OrderCache& cache) {
    const IndexDef& d = indexes_[index];
    std::vector<std::pair<std::string, uint32_t>> keyed;
    keyed.reserve(rows_);
    uint32_t seq = 0;
    for (const auto& b : blocks_)
        for (uint16_t r = 0; r < b->count; ++r, ++seq)
            keyed.emplace_back(IndexKey(b->Rows() + size_t{r} * header_.schema.recordSize, d), seq);
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        return d.Descending() ? a.first > b.first : a.first < b.first;
    });
    cache.order.resize(rows_);
    cache.ranks.resize(rows_);
    for (uint32_t r = 0; r < rows_; ++r) {
        cache.order[r] = keyed[r].second;
        cache.ranks[keyed[r].second] = r;
    }
    cache.generation = generation_;
}

const Table::OrderCache* Table::Arrays(size_t index) {
    OrderCache& c = orders_[index];
    if (c.generation == generation_)
        return &c;
    bool stale = c.generation != OrderCache::kNever;
    if (header_.schema.Keyed() && (stale || keyOrders_[index]) && ++orderLookups_ <= rows_ / 2)
        return nullptr;
    BuildOrder(index, c);
    return &c;
}

uint32_t Table::RankOf(size_t index, uint32_t seq) {
    if (const OrderCache* c = Arrays(index))
        return c->ranks[seq];
    size_t rank = 0;
    EntryInto(RowAt(seq), index, probe_);
    [[maybe_unused]] bool found = KeyOrder(index).RankOf(probe_, rank);
#ifndef NDEBUG
    AssertIntact(found ? "" : "A row is missing from index " + indexes_[index].name);
#endif
    return static_cast<uint32_t>(rank);
}

uint32_t Table::SeqAtRank(size_t index, uint32_t rank, std::optional<uint32_t> near) {
    if (const OrderCache* c = Arrays(index))
        return c->order[rank];
    std::string_view row = KeyOrder(index).At(rank).Row();
    if (near && *near < rows_ && ExactKey(RowAt(*near), header_.schema.KeySize()) == row)
        return *near;
    std::optional<uint32_t> seq = SeqOfPrimary(row);
#ifndef NDEBUG
    AssertIntact(seq ? "" : "Index " + indexes_[index].name + " holds a row the table lacks");
#endif
    return seq.value_or(0);
}

} // namespace idp
