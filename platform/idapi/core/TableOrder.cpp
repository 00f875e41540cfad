// The rows in the order of an index that is not the file's own.
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

const std::vector<uint32_t>& Table::Order(size_t index) {
    OrderCache& c = orders_[index];
    if (c.generation != generation_)
        BuildOrder(index, c);
    return c.order;
}

const std::vector<uint32_t>& Table::Ranks(size_t index) {
    OrderCache& c = orders_[index];
    if (c.generation != generation_)
        BuildOrder(index, c);
    return c.ranks;
}

} // namespace idp
