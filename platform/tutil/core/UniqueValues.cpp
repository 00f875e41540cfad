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
    size_t width = 0;
    for (int f : index.fields)
        width += schema.fields[static_cast<size_t>(f)].width;
    packed_ = exact_ && width <= 8;
}

void RepeatedValues::Reserve(size_t rows) {
    rows_.reserve(rows);
    if (packed_)
        numbers_.reserve(rows);
}

uint64_t RepeatedValues::Packed(const uint8_t* row) const {
    uint64_t v = 0;
    unsigned bytes = 0;
    for (size_t k = 0; k < index_.fields.size(); ++k) {
        const idp::Field& f = schema_.fields[static_cast<size_t>(index_.fields[k])];
        const bool text = f.type == IDP_FLD_ALPHA && k + 1 == index_.fields.size();
        bool ended = false;
        for (uint16_t i = 0; i < f.width; ++i, ++bytes) {
            const uint8_t c = row[f.offset + i];
            ended = ended || (text && c == 0);
            v = v << 8 | (ended ? 0 : c);
        }
    }
    return bytes < 8 ? v << (8 * (8 - bytes)) : v;
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
    std::vector<size_t> order(packed_ ? 0 : rows_.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::vector<size_t> repeated;
    if (packed_) {
        // Ties keep the rows' order, so the first row of a value stays.
        std::vector<std::pair<uint64_t, size_t>> values(rows_.size());
        for (size_t i = 0; i < rows_.size(); ++i)
            values[i] = {numbers_[i], i};
        std::sort(values.begin(), values.end());
        for (size_t i = 1; i < values.size(); ++i)
            if (values[i].first == values[i - 1].first)
                repeated.push_back(values[i].second);
    } else if (exact_) {
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
