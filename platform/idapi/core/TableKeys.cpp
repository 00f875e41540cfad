// Keys: the comparable key of a record for an index, finding rows by key, and the index
// orders kept in memory, which also answer whether a unique key is taken.
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

KeyHead Table::HeadOfKey(const uint8_t* record) const {
    return KeyHead::Of(record, header_.schema.KeySize());
}

void Table::SetFirstHeads() {
    firstHeads_.clear();
    if (header_.schema.Keyed())
        for (const auto& b : blocks_)
            firstHeads_.push_back(b->Resident() ? HeadOfKey(b->Rows()) : b->head);
}

// The last block whose first key is not above the record's (the first block when none is).
size_t Table::BlockOfKey(const uint8_t* record) {
    // Whether a block's first key is above the record's: told by the heads, kept in one
    // array, unless they are equal.
    const KeyHead head = HeadOfKey(record);
    auto startsAfter = [&](size_t block) {
        if (firstHeads_[block] != head)
            return firstHeads_[block] > head;
        return KeyCompare(FirstKey(*blocks_[block]), record) > 0;
    };
    // Rows looked up one after another tend to lie together (the next row of an index
    // order is most often the next in the file too), so the last block found is tried
    // first.
    const size_t last = lastKeyBlock_;
    if (last < blocks_.size() && (last == 0 || !startsAfter(last)) &&
        (last + 1 == blocks_.size() || startsAfter(last + 1)))
        return last;
    // Blocks whose first key has a lower head come before the record, those with a higher
    // one after it: only blocks of the record's head need their rows compared.
    size_t lo = static_cast<size_t>(std::lower_bound(firstHeads_.begin(), firstHeads_.end(), head) -
                                    firstHeads_.begin());
    size_t hi = static_cast<size_t>(
        std::upper_bound(firstHeads_.begin() + static_cast<long>(lo), firstHeads_.end(), head) -
        firstHeads_.begin());
    while (lo < hi) { // the first block of that head whose first key is above the record's
        size_t mid = (lo + hi) / 2;
        if (startsAfter(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    lastKeyBlock_ = lo > 0 ? lo - 1 : 0;
    return lastKeyBlock_;
}

Table::Place Table::KeyPlace(const uint8_t* record, bool& found) {
    found = false;
    const uint16_t rs = header_.schema.recordSize;
    if (blocks_.empty())
        return {0, 0};
    const size_t block = BlockOfKey(record);
    const Block& b = *blocks_[block];
    const uint8_t* rows = Page(*blocks_[block]);
    uint16_t l = 0, h = b.count;
    // The block's rows are fetched together rather than one probe after another.
    for (uint16_t r = 0; r < b.count && r < 32; ++r)
        __builtin_prefetch(rows + size_t{r} * rs);
    while (l < h) {
        uint16_t mid = static_cast<uint16_t>((l + h) / 2);
        if (KeyCompare(rows + size_t{mid} * rs, record) < 0)
            l = static_cast<uint16_t>(mid + 1);
        else
            h = mid;
    }
    found = l < b.count && KeyCompare(rows + size_t{l} * rs, record) == 0;
    // A key past a block's last row may belong to the next block, if that block's first
    // key as the .PX gave it was too high: reading that block checks it.
    if (!found && l == b.count && block + 1 < blocks_.size() && !verified_)
        Page(*blocks_[block + 1]);
    return {block, l};
}

// The row whose primary key is row, an IndexOrder entry's row part.
std::optional<uint32_t> Table::SeqOfPrimary(std::string_view row) {
    keyBuffer_.assign(header_.schema.KeySize(), 0);
    std::memcpy(keyBuffer_.data(), row.data(), std::min(row.size(), keyBuffer_.size()));
    bool found = false;
    Place p = KeyPlace(keyBuffer_.data(), found);
    if (!found)
        return std::nullopt;
    return SeqOf(p);
}

std::optional<uint32_t> Table::FindByPrimary(const uint8_t* record,
                                             const std::vector<std::string>* keys) {
    if (!header_.schema.Keyed())
        return std::nullopt;
    bool found = false;
    Place p = KeyPlace(record, found);
    if (found)
        return SeqOf(p);
    if (!indexes_[0].CaseInsensitive())
        return std::nullopt;
    // A twin differing in case lies anywhere in byte order: a search of the rows, unless
    // the index order is in memory.
    std::string folded = keys ? (*keys)[0] : IndexKey(record, indexes_[0]);
    if (!keyOrders_[0])
        return FindKey(indexes_[0], folded);
    const IndexOrder::Entry* twin = keyOrders_[0]->FindKey(folded);
    return twin ? SeqOfPrimary(twin->Row()) : std::nullopt;
}

std::optional<uint32_t> Table::FindKey(const IndexDef& index, const std::string& key) {
    if (index.Expression())
        IndexKey(nullptr, index); // refuses expression indexes
    const size_t rs = header_.schema.recordSize;
    std::optional<uint32_t> hit;
    uint32_t seq = 0;
    if (index.fields.size() == 1) { // one fixed-width field: compare its bytes directly
        const Field& f = header_.schema.fields[static_cast<size_t>(index.fields[0])];
        const Field* numbered = nullptr; // the first autoincrement field has a column
        for (const Field& g : header_.schema.fields)
            if (!numbered && g.type == IDP_FLD_AUTOINC)
                numbered = &g;
        if (&f == numbered && key.size() <= 4)
            return FindNumber(f, key);
        if (f.type != IDP_FLD_ALPHA && key.size() <= f.width) {
            std::string padded = key;
            padded.resize(f.width, '\0');
            uint32_t first4 = 0; // most such fields are 4 bytes: test those as one word
            std::memcpy(&first4, padded.data(), std::min<size_t>(4, f.width));
            ForEachBlock([&](size_t, const uint8_t* rows, uint16_t count) {
                const uint8_t* p = rows + f.offset;
                for (uint16_t r = 0; r < count && !hit; ++r, ++seq, p += rs) {
                    uint32_t word = 0;
                    std::memcpy(&word, p, std::min<size_t>(4, f.width));
                    if (word == first4 && std::memcmp(p, padded.data(), f.width) == 0)
                        hit = seq;
                }
                return !hit;
            });
            return hit;
        }
    }
    ForEachBlock([&](size_t, const uint8_t* rows, uint16_t count) {
        for (uint16_t r = 0; r < count && !hit; ++r, ++seq)
            if (RowMatches(rows + size_t{r} * rs, index, key))
                hit = seq;
        return !hit;
    });
    return hit;
}

// A lookup of an autoincrement number in the column of the first such field, worked out
// in one pass at the first lookup and kept while the rows do not change.
std::optional<uint32_t> Table::FindNumber(const Field& f, const std::string& key) {
    if (numbersGeneration_ != generation_) {
        numbers_.clear();
        numbers_.reserve(rows_);
        ForEachBlock([&](size_t, const uint8_t* rows, uint16_t count) {
            for (uint16_t r = 0; r < count; ++r) {
                uint32_t raw = 0;
                ByteView(rows + size_t{r} * header_.schema.recordSize + f.offset, 4).U32(0, raw);
                numbers_.push_back(raw);
            }
            return true;
        });
        numbersGeneration_ = generation_;
    }
    // The column holds the stored bytes read as a little-endian number; so is the key.
    uint8_t bytes[4] = {};
    std::memcpy(bytes, key.data(), key.size());
    uint32_t want = 0;
    ByteView(bytes, sizeof bytes).U32(0, want);
    auto at = std::find(numbers_.begin(), numbers_.end(), want);
    if (at == numbers_.end())
        return std::nullopt;
    return static_cast<uint32_t>(at - numbers_.begin());
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
    std::vector<std::string> keys;
    UniqueKeysInto(record, keys);
    return keys;
}

void Table::UniqueKeysInto(const uint8_t* record, std::vector<std::string>& keys) const {
    keys.resize(indexes_.size());
    for (size_t i = 0; i < indexes_.size(); ++i) {
        if (UniqueApplies(indexes_[i]))
            IndexKeyInto(record, indexes_[i], keys[i]);
        else
            keys[i].clear();
    }
}

void Table::EntryInto(const uint8_t* record, size_t index, IndexOrder::Entry& entry) const {
    IndexKeyInto(record, indexes_[index], entry.text);
    entry.keyLength = static_cast<uint16_t>(entry.text.size());
    entry.head = IndexOrder::HeadOf(entry.text);
    entry.text.append(ExactKey(record, header_.schema.KeySize()));
}

IndexOrder::Entry Table::EntryFor(const uint8_t* record, size_t index) const {
    IndexOrder::Entry entry;
    EntryInto(record, index, entry);
    return entry;
}

IndexOrder& Table::KeyOrder(size_t index) {
    std::unique_ptr<IndexOrder>& order = keyOrders_[index];
    if (order)
        return *order;
    const IndexDef& d = indexes_[index];
    std::vector<IndexOrder::Entry> entries;
    entries.reserve(rows_);
    ForEachBlock([&](size_t, const uint8_t* rows, uint16_t count) {
        for (uint16_t r = 0; r < count; ++r)
            entries.push_back(EntryFor(rows + size_t{r} * header_.schema.recordSize, index));
        return true;
    });
    order = std::make_unique<IndexOrder>(d.Descending());
    order->Assign(std::move(entries));
    if (UniqueApplies(d)) {
        // A key found twice in a unique index: the rows can be read, but not changed.
        const IndexOrder::Entry* prev = nullptr;
        order->ForEach([&](const IndexOrder::Entry& e) {
            if (prev && prev->Key() == e.Key())
                damaged_ = true;
            prev = &e;
        });
    }
    return *order;
}

void Table::PrepareForManyRows() {
    for (size_t i = 0; i < indexes_.size(); ++i)
        if (UniqueApplies(indexes_[i]))
            KeyOrder(i);
}

std::string Table::UniqueClash(const std::vector<std::string>& keys,
                               const std::vector<std::string>* unchanged) {
    for (size_t i = 0; i < indexes_.size(); ++i) {
        if (!UniqueApplies(indexes_[i]) || (unchanged && (*unchanged)[i] == keys[i]))
            continue;
        if (KeyOrder(i).FindKey(keys[i]))
            return indexes_[i].name;
    }
    return {};
}

void Table::AddKeys(const uint8_t* record) {
    for (size_t i = 0; i < keyOrders_.size(); ++i)
        if (keyOrders_[i])
            keyOrders_[i]->Insert(EntryFor(record, i));
}

void Table::RemoveKeys(const uint8_t* record, std::optional<Ranked> known) {
    for (size_t i = 0; i < keyOrders_.size(); ++i)
        if (keyOrders_[i]) {
            EntryInto(record, i, probe_);
            // Where the rank is known, the entry needs no search.
            [[maybe_unused]] bool erased =
                (known && known->index == i && keyOrders_[i]->EraseAt(known->rank, probe_)) ||
                keyOrders_[i]->Erase(probe_);
#ifndef NDEBUG
            AssertIntact(erased ? "" : "A row's entry is missing from index " + indexes_[i].name);
#endif
        }
}

std::string Table::IndexKey(const uint8_t* record, const IndexDef& index) const {
    std::string key;
    IndexKeyInto(record, index, key);
    return key;
}

namespace {

void CheckOrders(const IndexDef& index) {
    if (index.Expression())
        throw EngineError(IDP_ERR_UNSUPPORTED,
                          "Index: " + index.name + "\r\nExpression indexes cannot order rows.");
}

} // namespace

void Table::IndexKeyInto(const uint8_t* record, const IndexDef& index, std::string& key) const {
    CheckOrders(index);
    FieldsKeyInto(header_.schema, record, index, key);
}

KeyHead Table::IndexHead(const uint8_t* record, const IndexDef& index) const {
    CheckOrders(index);
    return FieldsKeyHead(header_.schema, record, index);
}

} // namespace idp
