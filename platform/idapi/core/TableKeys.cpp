// Keys: the comparable key of a record for an index, finding rows by key, and the keys of
// unique indexes kept in memory so that a change can be checked against them.
#include "Table.h"

#include <algorithm>
#include <cstring>

#include "../idapi.h"
#include "Status.h"
#include "TextFold.h"

namespace idp {

int Table::KeyCompare(const uint8_t* a, const uint8_t* b) const {
    return std::memcmp(a, b, header_.schema.KeySize());
}

Table::Place Table::KeyPlace(const uint8_t* record, bool& found) {
    found = false;
    const uint16_t rs = header_.schema.recordSize;
    if (blocks_.empty())
        return {0, 0};
    size_t lo = 0, hi = blocks_.size();
    while (hi - lo > 1) { // the last block whose first key is not above the record's
        size_t mid = (lo + hi) / 2;
        if (KeyCompare(blocks_[mid]->Rows(), record) <= 0)
            lo = mid;
        else
            hi = mid;
    }
    const Block& b = *blocks_[lo];
    uint16_t l = 0, h = b.count;
    while (l < h) {
        uint16_t mid = static_cast<uint16_t>((l + h) / 2);
        if (KeyCompare(b.Rows() + size_t{mid} * rs, record) < 0)
            l = static_cast<uint16_t>(mid + 1);
        else
            h = mid;
    }
    found = l < b.count && KeyCompare(b.Rows() + size_t{l} * rs, record) == 0;
    return {lo, l};
}

std::optional<uint32_t> Table::FindByPrimary(const uint8_t* record,
                                             const std::vector<std::string>* keys) {
    if (!header_.schema.Keyed())
        return std::nullopt;
    bool found = false;
    Place p = KeyPlace(record, found);
    if (found) {
        EnsurePrefix();
        return prefix_[p.block] + p.slot;
    }
    if (!indexes_[0].CaseInsensitive())
        return std::nullopt;
    // A twin differing in case lies anywhere in byte order.
    std::string folded = keys ? (*keys)[0] : IndexKey(record, indexes_[0]);
    if (!uniqueBuilt_)
        return FindKey(indexes_[0], folded);
    auto it = unique_[0].find(folded);
    if (it == unique_[0].end())
        return std::nullopt;
    std::vector<uint8_t> exact(header_.schema.recordSize, 0);
    std::memcpy(exact.data(), it->second.data(), it->second.size());
    p = KeyPlace(exact.data(), found);
    if (!found)
        return std::nullopt;
    EnsurePrefix();
    return prefix_[p.block] + p.slot;
}

std::optional<uint32_t> Table::FindKey(const IndexDef& index, const std::string& key,
                                       std::optional<uint32_t> except) {
    if (index.Expression())
        IndexKey(nullptr, index); // refuses expression indexes
    const size_t rs = header_.schema.recordSize;
    uint32_t seq = 0;
    if (index.fields.size() == 1) { // one fixed-width field: compare its bytes directly
        const Field& f = header_.schema.fields[static_cast<size_t>(index.fields[0])];
        if (std::optional<uint32_t> hit = FindNumber(f, key, except); hit || NumbersApply(f))
            return hit;
        if (f.type != IDP_FLD_ALPHA && key.size() <= f.width) {
            std::string padded = key;
            padded.resize(f.width, '\0');
            uint32_t first4 = 0; // most such fields are 4 bytes: test those as one word
            std::memcpy(&first4, padded.data(), std::min<size_t>(4, f.width));
            for (const auto& b : blocks_) {
                const uint8_t* p = b->Rows() + f.offset;
                for (uint16_t r = 0; r < b->count; ++r, ++seq, p += rs) {
                    uint32_t word = 0;
                    std::memcpy(&word, p, std::min<size_t>(4, f.width));
                    if (word == first4 && seq != except &&
                        std::memcmp(p, padded.data(), f.width) == 0)
                        return seq;
                }
            }
            return std::nullopt;
        }
    }
    for (const auto& b : blocks_)
        for (uint16_t r = 0; r < b->count; ++r, ++seq) {
            if (seq != except && RowMatches(b->Rows() + size_t{r} * rs, index, key))
                return seq;
        }
    return std::nullopt;
}

bool Table::NumbersApply(const Field& f) const {
    if (numbersGeneration_ != generation_ || numbers_.empty() || f.type != IDP_FLD_AUTOINC)
        return false;
    for (const Field& g : header_.schema.fields)
        if (g.type == IDP_FLD_AUTOINC)
            return &g == &f; // the column holds the first autoincrement field
    return false;
}

// A lookup of an autoincrement number in the column kept since the table was read.
std::optional<uint32_t> Table::FindNumber(const Field& f, const std::string& key,
                                          std::optional<uint32_t> except) {
    if (!NumbersApply(f) || key.size() > 4)
        return std::nullopt;
    // The column holds the stored bytes read as a little-endian number; so is the key.
    uint8_t bytes[4] = {};
    std::memcpy(bytes, key.data(), key.size());
    uint32_t want = 0;
    ByteView(bytes, sizeof bytes).U32(0, want);
    const uint16_t rpb = header_.schema.RecordsPerBlock();
    for (size_t i = 0; i < numbers_.size(); ++i) {
        if (numbers_[i] != want)
            continue;
        size_t number = i / rpb + 1, slot = i % rpb;
        uint32_t chain = chainIndex_[number];
        if (chain == kNotInChain || slot >= blocks_[chain]->count)
            continue; // a block outside the chain, or past its rows
        EnsurePrefix();
        uint32_t seq = prefix_[chain] + static_cast<uint32_t>(slot);
        if (seq != except)
            return seq;
    }
    return std::nullopt;
}

void Table::PrepareForManyRows() {
    BuildUnique();
}

// Whether a record's key for an index equals key, compared as IndexKey would make it,
// without building it: a search of every row stays a pass over the bytes.
bool Table::RowMatches(const uint8_t* record, const IndexDef& index, const std::string& key) const {
    size_t at = 0;
    for (size_t k = 0; k < index.fields.size(); ++k) {
        const Field& f = header_.schema.fields[static_cast<size_t>(index.fields[k])];
        const uint8_t* p = record + f.offset;
        bool alpha = f.type == IDP_FLD_ALPHA;
        bool fold = alpha && index.CaseInsensitive();
        bool inText = true;
        for (uint16_t i = 0; i < f.width; ++i, ++at) {
            uint8_t c = p[i];
            if (alpha && c == 0) {
                if (k + 1 == index.fields.size())
                    return at >= key.size(); // the rest of the last text is padding
                inText = false;
            }
            if (fold && inText)
                c = FoldByte(c);
            if (at < key.size() ? c != static_cast<uint8_t>(key[at]) : c != 0)
                return false;
        }
    }
    return at >= key.size();
}

bool Table::UniqueApplies(const IndexDef& d) const {
    // An autoincrement field alone needs no check: the engine gives each row a new number.
    bool numbered = d.fields.size() == 1 &&
                    header_.schema.fields[static_cast<size_t>(d.fields[0])].type == IDP_FLD_AUTOINC;
    return d.Unique() && !d.Expression() && !numbered && !(d.Primary() && !d.CaseInsensitive());
}

std::vector<std::string> Table::UniqueKeys(const uint8_t* record) const {
    std::vector<std::string> keys(indexes_.size());
    for (size_t i = 0; i < indexes_.size(); ++i)
        if (UniqueApplies(indexes_[i]))
            keys[i] = IndexKey(record, indexes_[i]);
    return keys;
}

// The primary key of a record without its trailing zero bytes, as the unique maps keep it.
static std::string ExactKey(const uint8_t* record, uint16_t keySize) {
    size_t n = keySize;
    while (n > 0 && record[n - 1] == 0)
        --n;
    return std::string(reinterpret_cast<const char*>(record), n);
}

void Table::BuildUnique() {
    if (uniqueBuilt_)
        return;
    unique_.assign(indexes_.size(), {});
    const size_t rs = header_.schema.recordSize;
    for (size_t i = 0; i < indexes_.size(); ++i) {
        if (!UniqueApplies(indexes_[i]))
            continue;
        unique_[i].reserve(rows_ * 2);
        for (const auto& b : blocks_)
            for (uint16_t r = 0; r < b->count; ++r) {
                const uint8_t* rec = b->Rows() + r * rs;
                unique_[i].emplace(IndexKey(rec, indexes_[i]),
                                   ExactKey(rec, header_.schema.KeySize()));
            }
    }
    uniqueBuilt_ = true;
}

std::string Table::UniqueClash(const std::vector<std::string>& keys,
                               std::optional<uint32_t> except) {
    for (size_t i = 0; i < indexes_.size(); ++i) {
        if (!UniqueApplies(indexes_[i]))
            continue;
        bool taken = uniqueBuilt_ ? unique_[i].count(keys[i]) > 0
                                  : FindKey(indexes_[i], keys[i], except).has_value();
        if (taken)
            return indexes_[i].name;
    }
    return {};
}

void Table::AddUnique(const uint8_t* record, const std::vector<std::string>& keys) {
    if (!uniqueBuilt_)
        return;
    for (size_t i = 0; i < indexes_.size(); ++i)
        if (UniqueApplies(indexes_[i]))
            unique_[i].emplace(keys[i], ExactKey(record, header_.schema.KeySize()));
}

void Table::RemoveUnique(const uint8_t* record) {
    if (!uniqueBuilt_)
        return;
    for (size_t i = 0; i < indexes_.size(); ++i)
        if (UniqueApplies(indexes_[i]))
            unique_[i].erase(IndexKey(record, indexes_[i]));
}

std::string Table::IndexKey(const uint8_t* record, const IndexDef& index) const {
    std::string key;
    IndexKeyInto(record, index, key);
    return key;
}

void Table::IndexKeyInto(const uint8_t* record, const IndexDef& index, std::string& key) const {
    if (index.Expression())
        throw EngineError(IDP_ERR_UNSUPPORTED,
                          "Index: " + index.name + "\r\nExpression indexes cannot order rows.");
    // Keys have one length, so dropping the zero padding at the end keeps both equality
    // and order, and makes the keys of short taglines short.
    key.clear();
    for (size_t k = 0; k < index.fields.size(); ++k) {
        const Field& f = header_.schema.fields[static_cast<size_t>(index.fields[k])];
        const uint8_t* p = record + f.offset;
        size_t length = f.width;
        if (f.type == IDP_FLD_ALPHA && k + 1 == index.fields.size())
            length = static_cast<size_t>(std::find(p, p + f.width, uint8_t{0}) -
                                         p); // the rest is padding
        size_t at = key.size();
        key.append(reinterpret_cast<const char*>(p), length);
        if (index.CaseInsensitive() && f.type == IDP_FLD_ALPHA)
            for (size_t i = at; i < key.size() && key[i]; ++i)
                key[i] = static_cast<char>(FoldByte(static_cast<unsigned char>(key[i])));
    }
    while (!key.empty() && key.back() == 0)
        key.pop_back();
}

} // namespace idp
