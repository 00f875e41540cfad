// Repeated values of unique secondary indexes: a pass over the rows when they are in the
// index's order already, else a sort.
#include "UniqueValues.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>

#include "idapi.h"

namespace tutil {

std::vector<const idp::IndexDef*> UniqueSecondaries(const std::vector<idp::IndexDef>& indexes) {
    std::vector<const idp::IndexDef*> unique;
    for (const idp::IndexDef& d : indexes)
        if (d.Unique() && !d.Primary() && !d.Expression())
            unique.push_back(&d);
    return unique;
}

RepeatedValues::RepeatedValues(const idp::Schema& schema, const idp::IndexDef& index)
    : schema_(schema), index_(index) {
    exact_ = !index.CaseInsensitive() ||
             std::none_of(index.fields.begin(), index.fields.end(), [&](int f) {
                 return schema.fields[static_cast<size_t>(f)].type == IDP_FLD_ALPHA;
             });
    ascending_ = exact_;
}

// The order of the engine's keys for an exact index: the last alpha field up to its end,
// the others whole.
int RepeatedValues::Compare(const uint8_t* a, const uint8_t* b) const {
    for (size_t k = 0; k < index_.fields.size(); ++k) {
        const idp::Field& f = schema_.fields[static_cast<size_t>(index_.fields[k])];
        const bool text = f.type == IDP_FLD_ALPHA && k + 1 == index_.fields.size();
        const int c = text ? std::strncmp(reinterpret_cast<const char*>(a + f.offset),
                                          reinterpret_cast<const char*>(b + f.offset), f.width)
                           : std::memcmp(a + f.offset, b + f.offset, f.width);
        if (c != 0)
            return c;
    }
    return 0;
}

std::vector<size_t> RepeatedValues::Repeated() const {
    if (ascending_)
        return {};
    std::vector<size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::vector<size_t> repeated;
    if (exact_) {
        // The rows themselves are compared: no key is built.
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return Compare(rows_[a], rows_[b]) < 0; });
        for (size_t i = 1; i < order.size(); ++i)
            if (Compare(rows_[order[i - 1]], rows_[order[i]]) == 0)
                repeated.push_back(order[i]);
    } else {
        std::vector<std::string> keys(rows_.size());
        for (size_t i = 0; i < rows_.size(); ++i)
            idp::FieldsKeyInto(schema_, rows_[i], index_, keys[i]);
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return keys[a] < keys[b]; });
        for (size_t i = 1; i < order.size(); ++i)
            if (keys[order[i]] == keys[order[i - 1]])
                repeated.push_back(order[i]);
    }
    std::sort(repeated.begin(), repeated.end());
    return repeated;
}

} // namespace tutil
