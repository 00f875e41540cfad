// The rows in the order of an index that is not the file's own. While nothing changes, the
// order is two arrays (rows by rank, ranks by row), worked out in one sort. After a change
// a keyed table answers from the index order kept in memory, in logarithmic time, rather
// than sorting again; once lookups since the change pass half the rows, a pass through the
// rows is under way and the arrays are worth working out again. Unkeyed tables, whose rows
// can be found again only by position, always use the arrays.
#include "Table.h"

#include <algorithm>
#include <unordered_map>

namespace idp {

bool Table::IsFileOrder(size_t index) const {
    const IndexDef& d = indexes_[index];
    return d.Primary() && !d.CaseInsensitive();
}

void Table::BuildOrder(size_t index, OrderCache& cache) {
    const IndexDef& d = indexes_[index];
    const size_t rs = header_.schema.recordSize;
    const bool down = d.Descending();
    // A row's key is kept as its first sixteen bytes beside its position, so the pass keeps
    // neither keys nor rows; only rows whose heads tie are read again for their whole keys.
    struct Item {
        KeyHead head;
        uint32_t seq;
    };
    std::vector<Item> items;
    items.reserve(rows_);
    uint32_t seq = 0;
    ForEachBlock([&](size_t, const uint8_t* rows, uint16_t count) {
        for (uint16_t r = 0; r < count; ++r, ++seq)
            items.push_back({IndexHead(rows + r * rs, d), seq});
        return true;
    });
    std::sort(items.begin(), items.end(), [down](const Item& a, const Item& b) {
        if (a.head != b.head)
            return down ? a.head > b.head : a.head < b.head;
        return a.seq < b.seq;
    });
    std::vector<bool> tied(rows_, false);
    bool ties = false;
    for (size_t i = 1; i < items.size(); ++i)
        if (items[i].head == items[i - 1].head)
            ties = tied[items[i].seq] = tied[items[i - 1].seq] = true;
    cache.repeats = false;
    if (ties) {
        std::unordered_map<uint32_t, std::string> keys;
        seq = 0;
        ForEachBlock([&](size_t, const uint8_t* rows, uint16_t count) {
            for (uint16_t r = 0; r < count; ++r, ++seq)
                if (tied[seq])
                    IndexKeyInto(rows + r * rs, d, keys[seq]);
            return true;
        });
        // Equal keys keep the file's order, as the positions already have it.
        for (size_t i = 0, j = 0; i < items.size(); i = j) {
            for (j = i + 1; j < items.size() && items[j].head == items[i].head;)
                ++j;
            if (j - i == 1)
                continue;
            std::stable_sort(items.begin() + static_cast<long>(i),
                             items.begin() + static_cast<long>(j),
                             [&](const Item& a, const Item& b) {
                                 const std::string &ka = keys[a.seq], &kb = keys[b.seq];
                                 return down ? ka > kb : ka < kb;
                             });
            for (size_t k = i + 1; k < j && !cache.repeats; ++k)
                cache.repeats = keys[items[k].seq] == keys[items[k - 1].seq];
        }
    }
    cache.order.resize(rows_);
    cache.ranks.resize(rows_);
    for (uint32_t r = 0; r < rows_; ++r) {
        cache.order[r] = items[r].seq;
        cache.ranks[items[r].seq] = r;
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

const std::vector<uint32_t>& Table::Ranks(size_t index) {
    OrderCache& c = orders_[index];
    if (c.generation != generation_)
        BuildOrder(index, c);
    return c.ranks;
}

bool Table::KnownDistinct(const IndexDef& d) const {
    for (const auto& [index, cache] : orders_) {
        const IndexDef& mine = indexes_[index];
        if (cache.generation == generation_ && !cache.repeats && mine.fields == d.fields &&
            mine.CaseInsensitive() == d.CaseInsensitive() && !mine.Expression())
            return true;
    }
    return false;
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
