// Repeated values of unique indexes: a pass over the rows when they are in the
// index's order already, else a sort.
#include "UniqueValues.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>

#include "core/TextFold.h"
#include "idapi.h"

namespace tutil {

std::vector<const idp::IndexDef*> UniqueBeyondKeyOrder(const std::vector<idp::IndexDef>& indexes) {
    std::vector<const idp::IndexDef*> unique;
    for (const idp::IndexDef& d : indexes)
        if (d.Unique() && !d.Expression() && (!d.Primary() || d.CaseInsensitive()))
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
    if (!exact_)
        hashes_.reserve(rows);
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

namespace {

constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;

uint64_t Mix(uint64_t h, uint64_t word) {
    h = (h ^ word) * 0x9E3779B97F4A7C15u;
    return h ^ (h >> 29);
}

// Eight bytes of text upper-cased as FoldByte does, all at once when they are ASCII.
uint64_t FoldWord(uint64_t w) {
    if (w & kHighs) {
        uint64_t folded = 0;
        for (int i = 0; i < 8; ++i)
            folded |= uint64_t{idp::FoldByte(static_cast<unsigned char>(w >> (8 * i)))} << (8 * i);
        return folded;
    }
    const uint64_t fromA = (w + (0x80 - 'a') * kOnes) & kHighs;
    const uint64_t pastZ = (w + (0x80 - 'z' - 1) * kOnes) & kHighs;
    return w ^ ((fromA & ~pastZ) >> 2); // 0x80 >> 2 is the case bit
}

} // namespace

uint64_t RepeatedValues::FoldedHash(const uint8_t* row) const {
    // A function of the key FieldsKeyInto builds (text up to its end, folded when the index
    // ignores case; the other fields whole), taken eight bytes at a time, so that rows of
    // one key always meet.
    uint64_t h = 0;
    for (size_t k = 0; k < index_.fields.size(); ++k) {
        const idp::Field& f = schema_.fields[static_cast<size_t>(index_.fields[k])];
        const uint8_t* p = row + f.offset;
        const bool text = f.type == IDP_FLD_ALPHA;
        for (size_t at = 0; at < f.width; at += 8) {
            uint64_t w = 0;
            const size_t n = std::min<size_t>(8, f.width - at);
            std::memcpy(&w, p + at, n); // little-endian: byte i at bits 8i
            if (text) {
                // Nothing from the text's end on counts.
                const uint64_t zero = (w - kOnes) & ~w & kHighs;
                const uint64_t ends = n < 8 ? zero | (kHighs << (8 * n)) : zero;
                if (ends) {
                    const int stop = __builtin_ctzll(ends) / 8;
                    w = stop == 0 ? 0 : w & (~uint64_t{0} >> (64 - 8 * stop));
                    h = Mix(h, FoldWord(w));
                    break;
                }
                w = FoldWord(w);
            }
            h = Mix(h, w);
        }
        h = Mix(h, 0x100 + k); // where a field ends
    }
    return h;
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
        std::vector<size_t> order(rows_.size());
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return Compare(rows_[a], rows_[b]) < 0; });
        for (size_t i = 1; i < order.size(); ++i)
            if (Compare(rows_[order[i - 1]], rows_[order[i]]) == 0)
                repeated.push_back(order[i]);
    } else {
        // The folded keys' hashes in a table: a row repeats when an earlier row's key is
        // its own.
        size_t slots = 16;
        while (slots < 2 * rows_.size())
            slots *= 2;
        std::vector<uint32_t> table(slots, 0); // a row's position + 1; 0 for none
        std::string key, other;
        for (size_t i = 0; i < rows_.size(); ++i) {
            for (size_t at = hashes_[i] & (slots - 1);; at = (at + 1) & (slots - 1)) {
                const uint32_t held = table[at];
                if (held == 0) {
                    table[at] = static_cast<uint32_t>(i + 1);
                    break;
                }
                if (hashes_[held - 1] == hashes_[i]) {
                    // The rows are read again only when the hashes meet.
                    idp::FieldsKeyInto(schema_, rows_[i], index_, key);
                    idp::FieldsKeyInto(schema_, rows_[held - 1], index_, other);
                    if (other == key) {
                        repeated.push_back(i);
                        break;
                    }
                }
            }
        }
    }
    std::sort(repeated.begin(), repeated.end());
    return repeated;
}

} // namespace tutil
