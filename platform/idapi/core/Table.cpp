// Rows of an open table and their way to and from the file. Records live in blocks that
// mirror the file's data blocks: a keyed table keeps them in key order across the block
// chain, an insert moves the records after it within one block and splits a full block,
// so a change rewrites only the blocks it touched. Writes go out new blocks first, then
// changed ones, then the header, so a failure part way leaves the previous chain whole.
#include "Table.h"

#include <algorithm>
#include <cstring>

#include "../idapi.h"
#include "FieldCodec.h"
#include "PrimaryIndex.h"
#include "Status.h"
#include "TablePath.h"
#include "TextFold.h"

namespace idp {

namespace {

constexpr size_t kMaxHeaderRead = 0x10000;
constexpr size_t kWriteRun = 1 << 20;

std::map<std::string, std::weak_ptr<Table>>& Registry() {
    static std::map<std::string, std::weak_ptr<Table>> registry;
    return registry;
}

std::shared_ptr<Table> FindOpen(const std::string& dbPath) {
    auto it = Registry().find(os::FileKey(dbPath));
    return it == Registry().end() ? nullptr : it->second.lock();
}

TableHeader ReadHeader(const os::File& file, const std::string& path) {
    uint64_t size = file.Size();
    std::vector<uint8_t> bytes(size < kMaxHeaderRead ? size : kMaxHeaderRead);
    bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
    return ParseHeader(ByteView(bytes), path);
}

} // namespace

Table::Table(std::string path, os::File file, bool exclusive)
    : path_(std::move(path)), file_(std::move(file)), exclusive_(exclusive) {}

Table::~Table() {
    try {
        Flush(true);
    } catch (const EngineError&) {
        // Close reports write failures before the last cursor lets go; here nothing can.
    }
    auto it = Registry().find(os::FileKey(path_));
    if (it != Registry().end() && it->second.expired())
        Registry().erase(it);
}

std::shared_ptr<Table> Table::Open(const std::string& dbPath, bool exclusive) {
    if (auto open = FindOpen(dbPath)) {
        if (exclusive || open->exclusive_)
            throw EngineError(IDP_ERR_LOCKED, "Table: " + dbPath);
        return open;
    }
    os::Lock lock = exclusive ? os::Lock::Exclusive : os::Lock::Shared;
    os::File file = os::File::Open(dbPath, true, lock);
    std::shared_ptr<Table> table(new Table(dbPath, std::move(file), exclusive));
    table->Load();
    Registry()[os::FileKey(dbPath)] = table;
    return table;
}

void Table::Create(const std::string& dbPath, Schema schema, std::vector<IndexDef> indexes) {
    if (FindOpen(dbPath))
        throw EngineError(IDP_ERR_LOCKED, "Table: " + dbPath);
    uint32_t offset = 0;
    for (Field& f : schema.fields) {
        f.offset = static_cast<uint16_t>(offset);
        offset += f.width;
    }
    schema.recordSize = static_cast<uint16_t>(offset);
    TableHeader header = NewHeader(schema, FileOf(dbPath));
    StoreCounts(header);
    os::File file = os::File::Create(dbPath, os::Lock::Exclusive);
    for (const std::string& companion : ExistingCompanions(dbPath))
        os::RemoveFile(companion);
    file.WriteAt(0, header.raw.data(), header.raw.size());
    if (schema.Keyed()) {
        std::vector<uint8_t> px = BuildPrimaryIndex(header.schema, {});
        os::File pxFile = os::File::Create(CompanionPath(dbPath, "PX"), os::Lock::Exclusive);
        pxFile.WriteAt(0, px.data(), px.size());
    }
    SaveIndexes(CompanionPath(dbPath, "QIX"), header.schema, indexes);
}

void Table::Delete(const std::string& dbPath) {
    if (FindOpen(dbPath))
        throw EngineError(IDP_ERR_LOCKED, "Table: " + dbPath);
    if (!os::FileExists(dbPath))
        throw EngineError(IDP_ERR_NO_SUCH_TABLE, "Table: " + dbPath);
    os::RemoveFile(dbPath);
    for (const std::string& companion : ExistingCompanions(dbPath))
        os::RemoveFile(companion);
}

void Table::Describe(const std::string& dbPath, TableHeader& header,
                     std::vector<IndexDef>& indexes) {
    if (auto open = FindOpen(dbPath)) {
        header = open->header_;
        header.numRecords = open->rows_;
        indexes = open->indexes_;
        return;
    }
    os::File file = os::File::Open(dbPath, false, os::Lock::None);
    header = ReadHeader(file, dbPath);
    indexes = LoadIndexes(CompanionPath(dbPath, "QIX"), header.schema);
}

void Table::Load() {
    header_ = ReadHeader(file_, path_);
    if (header_.encrypted)
        throw EngineError(IDP_ERR_PASSWORD, "Table: " + path_);
    Schema& s = header_.schema;
    indexes_ = LoadIndexes(CompanionPath(path_, "QIX"), s);
    const uint16_t rpb = s.RecordsPerBlock();
    const size_t rs = s.recordSize;
    uint64_t size = file_.Size();
    uint64_t dataBytes = size > header_.headerSize ? size - header_.headerSize : 0;
    uint64_t available = std::min<uint64_t>(dataBytes / s.blockSize, 0xFFFF);
    blocks_.clear();
    dirtyList_.clear();
    rows_ = 0;
    std::vector<bool> seen(available + 1, false);
    // All blocks go into one buffer (left uninitialised: the reads fill every byte), read a
    // slice at a time so that each slice is still in the cache when its autoincrement
    // values are looked at: the next number must pass every value present, whatever the
    // header says.
    const size_t dataSize = static_cast<size_t>(available * s.blockSize);
    loaded_.reset(new uint8_t[dataSize ? dataSize : 1]);
    uint8_t* data = loaded_.get();
    std::vector<uint16_t> autoIncOffsets;
    for (const Field& f : s.fields)
        if (f.type == IDP_FLD_AUTOINC)
            autoIncOffsets.push_back(f.offset);
    // The first autoincrement field's values are also kept by place in the file, so that
    // a lookup by that number needs no pass over the rows while the table is unchanged.
    numbers_.assign(autoIncOffsets.empty() ? 0 : static_cast<size_t>(available) * rpb, 0);
    const size_t slice = std::max<size_t>(1, (1u << 20) / s.blockSize) * s.blockSize;
    for (size_t at = 0; at < dataSize; at += slice) {
        size_t part = std::min(slice, dataSize - at);
        if (file_.ReadAt(header_.headerSize + at, data + at, part) != part)
            ThrowDamaged(path_, "The file ended while being read.");
        for (size_t b = at; b < at + part && !autoIncOffsets.empty(); b += s.blockSize) {
            int32_t last = static_cast<int16_t>(data[b + 4] | data[b + 5] << 8);
            size_t count = last < 0 ? 0 : std::min<size_t>(last / rs + 1, rpb);
            for (size_t r = 0; r < count; ++r)
                for (uint16_t offset : autoIncOffsets) {
                    const uint8_t* p = data + b + 6 + r * rs + offset;
                    if (offset == autoIncOffsets[0])
                        std::memcpy(&numbers_[b / s.blockSize * rpb + r], p, 4);
                    if (p[0] | p[1] | p[2] | p[3]) // not blank
                        header_.autoInc =
                            std::max(header_.autoInc, static_cast<int32_t>(DecodeInteger(p, 4)));
                }
        }
    }
    uint16_t number = header_.firstBlock;
    while (number != 0) {
        if (number > available || seen[number]) {
            damaged_ = true; // a link outside the file or a loop: keep what came before
            break;
        }
        seen[number] = true;
        ByteView block(&data[(number - 1u) * size_t{s.blockSize}], s.blockSize);
        uint16_t next = 0, last = 0;
        block.U16(0, next);
        block.U16(4, last);
        int32_t lastOffset = static_cast<int16_t>(last);
        uint32_t count = 0;
        if (lastOffset >= 0) {
            if (lastOffset % s.recordSize != 0)
                damaged_ = true;
            count = static_cast<uint32_t>(lastOffset / s.recordSize + 1);
            if (count > rpb) {
                damaged_ = true;
                count = rpb;
            }
        }
        if (count == 0) {
            // An empty block in the chain: leave it out and relink around it when writing.
            freeNumbers_.insert(number);
            if (!blocks_.empty())
                MarkDirty(*blocks_.back());
            structureChanged_ = true;
        } else {
            auto b = std::make_unique<Block>();
            b->number = number;
            b->count = static_cast<uint16_t>(count);
            b->loaded = block.Data() + 6;
            blocks_.push_back(std::move(b));
            rows_ += count;
        }
        number = next;
    }
    chainIndex_.assign(available + 1, kNotInChain);
    for (size_t i = 0; i < blocks_.size(); ++i) {
        Link(i);
        chainIndex_[blocks_[i]->number] = static_cast<uint32_t>(i);
    }
    if (header_.firstBlock == 0 && header_.numRecords > 0)
        damaged_ = true;
    for (uint16_t n = 1; n <= available; ++n)
        if (!seen[n])
            freeNumbers_.insert(n);
    diskBlocks_ = static_cast<uint16_t>(available);
    header_.fileBlocks = diskBlocks_;
    if (s.Keyed() && s.sortOrder != 0) {
        // A keyed table written with another sort order than plain byte order ("ascii")
        // may hold its rows in an order our searches do not expect; sort it so lookups
        // work, and write it back at the next change.
        bool sorted = true;
        const uint8_t* prev = nullptr;
        for (const auto& b : blocks_)
            for (uint16_t i = 0; i < b->count && sorted; ++i) {
                const uint8_t* r = b->Rows() + i * rs;
                if (prev && KeyCompare(prev, r) > 0)
                    sorted = false;
                prev = r;
            }
        if (!sorted) {
            std::vector<std::vector<uint8_t>> all;
            for (const auto& b : blocks_)
                for (uint16_t i = 0; i < b->count; ++i)
                    all.emplace_back(b->Rows() + i * rs, b->Rows() + (i + 1u) * rs);
            std::stable_sort(all.begin(), all.end(), [&](const auto& a, const auto& b) {
                return KeyCompare(a.data(), b.data()) < 0;
            });
            size_t k = 0;
            for (auto& b : blocks_) {
                uint8_t* rows = b->Own(rs, rpb);
                for (uint16_t i = 0; i < b->count; ++i, ++k)
                    std::memcpy(rows + i * rs, all[k].data(), rs);
                MarkDirty(*b);
            }
            firstKeysChanged_ = true;
        }
    }
    prefixValid_ = false;
    ++generation_;
    numbersGeneration_ = generation_;
}

void Table::Reload() {
    if (modified_ || broken_)
        return;
    blocks_.clear();
    dirtyList_.clear();
    freeNumbers_.clear();
    pendingEmpty_.clear();
    orders_.clear();
    unique_.clear();
    uniqueBuilt_ = false;
    damaged_ = false;
    Load();
}

void Table::CheckWritable() const {
    if (broken_)
        throw EngineError(IDP_ERR_IO,
                          "Table: " + path_ +
                              "\r\nAn earlier write failed; close and reopen the table.");
    if (damaged_)
        ThrowDamaged(path_, "Rebuild the table before changing it.");
}

void Table::MarkDirty(Block& b) {
    if (!b.dirty) {
        b.dirty = true;
        dirtyList_.push_back(&b);
    }
}

// Sets the links of the block at index from its neighbours in the chain.
void Table::Link(size_t index) {
    Block& b = *blocks_[index];
    uint16_t next = index + 1 < blocks_.size() ? blocks_[index + 1]->number : 0;
    uint16_t prev = index > 0 ? blocks_[index - 1]->number : 0;
    if (b.next != next || b.prev != prev) {
        b.next = next;
        b.prev = prev;
        MarkDirty(b);
    }
}

void Table::EnsurePrefix() {
    if (prefixValid_)
        return;
    prefix_.assign(blocks_.size() + 1, 0);
    for (size_t i = 0; i < blocks_.size(); ++i)
        prefix_[i + 1] = prefix_[i] + blocks_[i]->count;
    prefixValid_ = true;
}

// Keeps the block start positions right after a row came or went in one block; far from
// the end it is cheaper to work them out again when next needed.
void Table::AdjustPrefix(size_t block, int delta) {
    if (!prefixValid_)
        return;
    if (blocks_.size() - block > 64) {
        prefixValid_ = false;
        return;
    }
    for (size_t j = block + 1; j < prefix_.size(); ++j)
        prefix_[j] = static_cast<uint32_t>(static_cast<int64_t>(prefix_[j]) + delta);
}

Table::Place Table::PlaceOf(uint32_t seq) {
    EnsurePrefix();
    size_t b = static_cast<size_t>(std::upper_bound(prefix_.begin(), prefix_.end(), seq) -
                                   prefix_.begin()) -
               1;
    return {b, static_cast<uint16_t>(seq - prefix_[b])};
}

const uint8_t* Table::RowAt(uint32_t seq) {
    Place p = PlaceOf(seq);
    return blocks_[p.block]->Rows() + size_t{p.slot} * header_.schema.recordSize;
}

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
    uint32_t want = 0;
    std::memcpy(&want, key.data(), key.size());
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

std::unique_ptr<Table::Block> Table::NewBlock() {
    auto b = std::make_unique<Block>();
    if (!freeNumbers_.empty()) {
        b->number = *freeNumbers_.begin();
        freeNumbers_.erase(freeNumbers_.begin());
        pendingEmpty_.erase(b->number);
    } else if (header_.fileBlocks == 0xFFFF) {
        throw EngineError(IDP_ERR_TABLE_FULL, "Table: " + path_);
    } else {
        b->number = ++header_.fileBlocks;
    }
    b->fresh = true;
    b->data.assign(size_t{header_.schema.RecordsPerBlock()} * header_.schema.recordSize, 0);
    return b;
}

void Table::InsertAt(Place place, const uint8_t* record) {
    const Schema& s = header_.schema;
    const size_t rs = s.recordSize;
    const uint16_t rpb = s.RecordsPerBlock();
    if (blocks_.empty()) {
        blocks_.push_back(NewBlock());
        Link(0);
        place = {0, 0};
        structureChanged_ = true;
        prefixValid_ = false;
    }
    Block* b = blocks_[place.block].get();
    if (b->count == rpb) {
        auto n = NewBlock();
        if (place.slot == b->count && place.block + 1 == blocks_.size()) {
            // Appending past a full last block: start a new one, keeping blocks full.
            blocks_.push_back(std::move(n));
            place = {place.block + 1, 0};
        } else {
            uint16_t keep = static_cast<uint16_t>(rpb / 2);
            n->count = static_cast<uint16_t>(b->count - keep);
            uint8_t* rows = b->Own(rs, rpb);
            std::memcpy(n->data.data(), rows + keep * rs, n->count * rs);
            std::memset(rows + keep * rs, 0, n->count * rs);
            b->count = keep;
            MarkDirty(*b);
            blocks_.insert(blocks_.begin() + static_cast<long>(place.block) + 1, std::move(n));
            if (place.slot > keep)
                place = {place.block + 1, static_cast<uint16_t>(place.slot - keep)};
        }
        // The new block and its neighbours take new links.
        for (size_t i = place.block == 0 ? 0 : place.block - 1;
             i <= place.block + 2 && i < blocks_.size(); ++i)
            Link(i);
        structureChanged_ = true;
        firstKeysChanged_ = true;
        prefixValid_ = false;
    }
    b = blocks_[place.block].get();
    uint8_t* at = b->Own(rs, rpb) + place.slot * rs;
    std::memmove(at + rs, at, (b->count - place.slot) * rs);
    std::memcpy(at, record, rs);
    ++b->count;
    MarkDirty(*b);
    AdjustPrefix(place.block, 1);
    if (place.slot == 0)
        firstKeysChanged_ = true;
    ++rows_;
}

void Table::EraseAt(Place place) {
    const size_t rs = header_.schema.recordSize;
    Block& b = *blocks_[place.block];
    uint8_t* rows = b.Own(rs, header_.schema.RecordsPerBlock());
    uint8_t* at = rows + place.slot * rs;
    std::memmove(at, at + rs, (b.count - place.slot - 1u) * rs);
    --b.count;
    std::memset(rows + b.count * rs, 0, rs);
    MarkDirty(b);
    AdjustPrefix(place.block, -1);
    if (place.slot == 0)
        firstKeysChanged_ = true;
    if (b.count == 0) {
        freeNumbers_.insert(b.number);
        pendingEmpty_.insert(b.number);
        dirtyList_.erase(std::find(dirtyList_.begin(), dirtyList_.end(), &b));
        blocks_.erase(blocks_.begin() + static_cast<long>(place.block));
        if (place.block > 0)
            Link(place.block - 1);
        if (place.block < blocks_.size())
            Link(place.block);
        structureChanged_ = true;
        prefixValid_ = false;
    }
    --rows_;
}

void Table::Changed() {
    modified_ = true;
    appendOnly_ = false;
    ++generation_;
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

Table::Place Table::PlaceForInsert(const uint8_t* record, std::optional<uint32_t> before,
                                   std::vector<std::string>& uniqueKeys) {
    CheckWritable();
    uniqueKeys = UniqueKeys(record);
    std::string clash = UniqueClash(uniqueKeys);
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
    std::vector<std::string> keys;
    Place place = PlaceForInsert(record, std::nullopt, keys);
    InsertAt(place, record);
    AddUnique(record, keys);
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
    unique_.clear(); // worked out again from the rows when next needed
    uniqueBuilt_ = false;
    // The old blocks are free once the header names the new chain.
    for (const auto& b : blocks_) {
        freeNumbers_.insert(b->number);
        pendingEmpty_.insert(b->number);
    }
    dirtyList_.clear();
    blocks_ = std::move(merged);
    for (size_t i = 0; i < blocks_.size(); ++i) {
        blocks_[i]->next = blocks_[i]->prev = 0;
        Link(i);
        MarkDirty(*blocks_[i]);
    }
    rows_ += static_cast<uint32_t>(n);
    structureChanged_ = true;
    firstKeysChanged_ = true;
    prefixValid_ = false;
    Changed();
}

uint32_t Table::Insert(const uint8_t* record, std::optional<uint32_t> before) {
    std::vector<std::string> keys;
    Place place = PlaceForInsert(record, before, keys);
    bool wasClean = dirtyList_.empty() || appendOnly_;
    InsertAt(place, record);
    AddUnique(record, keys);
    Changed();
    appendOnly_ = wasClean && !header_.schema.Keyed() && !(before && *before < rows_ - 1);
    if (header_.schema.Keyed()) {
        bool found = false;
        place = KeyPlace(record, found);
        EnsurePrefix();
        return prefix_[place.block] + place.slot;
    }
    return before && *before < rows_ - 1 ? *before : rows_ - 1;
}

uint32_t Table::Update(uint32_t seq, const uint8_t* record) {
    CheckWritable();
    const uint16_t rs = header_.schema.recordSize;
    std::vector<uint8_t> old(RowAt(seq), RowAt(seq) + rs);
    RemoveUnique(old.data());
    std::vector<std::string> keys = UniqueKeys(record);
    std::string clash = UniqueClash(keys, seq); // the row itself is no clash
    bool keyChanged = header_.schema.Keyed() && KeyCompare(old.data(), record) != 0;
    if (clash.empty() && keyChanged) {
        bool found = false;
        KeyPlace(record, found);
        if (found)
            clash = indexes_[0].name.empty() ? std::string("primary") : indexes_[0].name;
    }
    if (!clash.empty()) {
        AddUnique(old.data(), UniqueKeys(old.data()));
        throw EngineError(IDP_ERR_KEY_VIOLATION, "Index: " + clash);
    }
    uint32_t result = seq;
    if (keyChanged) {
        EraseAt(PlaceOf(seq));
        bool found = false;
        InsertAt(KeyPlace(record, found), record);
        Place p = KeyPlace(record, found);
        EnsurePrefix();
        result = prefix_[p.block] + p.slot;
    } else {
        Place p = PlaceOf(seq);
        std::memcpy(blocks_[p.block]->Own(rs, header_.schema.RecordsPerBlock()) +
                        size_t{p.slot} * rs,
                    record, rs);
        MarkDirty(*blocks_[p.block]);
        if (p.slot == 0)
            firstKeysChanged_ = true;
    }
    AddUnique(record, keys);
    Changed();
    return result;
}

void Table::Erase(uint32_t seq) {
    CheckWritable();
    RemoveUnique(RowAt(seq));
    EraseAt(PlaceOf(seq));
    Changed();
}

int32_t Table::NextAutoInc() {
    if (header_.autoInc == 0x7FFFFFFF)
        throw EngineError(IDP_ERR_TABLE_FULL, "Table: " + path_);
    modified_ = true;
    return ++header_.autoInc;
}

void Table::BlockImage(const Block* b, uint8_t* image) const {
    const Schema& s = header_.schema;
    std::memset(image, 0, s.blockSize);
    if (!b) {
        PutU16(image + 4, static_cast<uint16_t>(-static_cast<int>(s.recordSize)));
        return;
    }
    PutU16(image, b->next);
    PutU16(image + 2, b->prev);
    PutU16(image + 4, static_cast<uint16_t>((b->count - 1) * s.recordSize));
    std::memcpy(image + 6, b->Rows(), size_t{b->count} * s.recordSize);
}

void Table::WriteBlocks() {
    const uint16_t bs = header_.schema.blockSize;
    std::sort(dirtyList_.begin(), dirtyList_.end(),
              [](const Block* a, const Block* b) { return a->number < b->number; });
    // Fresh blocks first: until the blocks that link to them are written they are unseen.
    for (int pass = 0; pass < 2; ++pass) {
        uint16_t runStart = 0, expect = 0;
        auto emit = [&] {
            if (!writeBuffer_.empty())
                file_.WriteAt(header_.headerSize + uint64_t{runStart - 1u} * bs,
                              writeBuffer_.data(), writeBuffer_.size());
            writeBuffer_.clear();
        };
        for (const Block* b : dirtyList_) {
            if (b->fresh != (pass == 0))
                continue;
            if (writeBuffer_.empty() || b->number != expect || writeBuffer_.size() >= kWriteRun) {
                emit();
                runStart = b->number;
            }
            writeBuffer_.resize(writeBuffer_.size() + bs);
            BlockImage(b, writeBuffer_.data() + writeBuffer_.size() - bs);
            expect = static_cast<uint16_t>(b->number + 1);
        }
        emit();
    }
    for (Block* b : dirtyList_)
        b->dirty = b->fresh = false;
    dirtyList_.clear();
    if (header_.fileBlocks > diskBlocks_)
        diskBlocks_ = header_.fileBlocks;
}

// Blocks that left the chain are written empty, so that a reader going through the file
// block by block finds no stale rows in them.
void Table::WriteEmptyBlocks() {
    const uint16_t bs = header_.schema.blockSize;
    writeBuffer_.resize(bs);
    BlockImage(nullptr, writeBuffer_.data());
    for (uint16_t n : pendingEmpty_)
        file_.WriteAt(header_.headerSize + uint64_t{n - 1u} * bs, writeBuffer_.data(), bs);
    pendingEmpty_.clear();
    // The run writer takes a non-empty buffer for blocks still to be written.
    writeBuffer_.clear();
}

void Table::Flush(bool full) {
    if (!modified_ || broken_)
        return; // nothing changed (a table sorted at load stays untouched on disk)
    if (!full && appendOnly_ && !structureChanged_ && dirtyList_.size() == 1 &&
        dirtyList_[0] == blocks_.back().get() &&
        blocks_.back()->count < header_.schema.RecordsPerBlock())
        return; // appends wait for their block to fill
    bool blocksDirty = !dirtyList_.empty();
    bool writeHeader = structureChanged_ || !pendingEmpty_.empty() || (full && modified_);
    bool writeIndex = header_.schema.Keyed() && (firstKeysChanged_ || writeHeader);
    if (!blocksDirty && !writeHeader && !writeIndex)
        return;
    try {
        if (blocksDirty)
            WriteBlocks();
        if (writeHeader) {
            header_.numRecords = rows_;
            header_.usedBlocks = static_cast<uint16_t>(blocks_.size());
            header_.firstBlock = blocks_.empty() ? 0 : blocks_.front()->number;
            header_.lastBlock = blocks_.empty() ? 0 : blocks_.back()->number;
            StoreCounts(header_);
            file_.WriteAt(0, header_.raw.data(), header_.raw.size());
        }
        if (!pendingEmpty_.empty())
            WriteEmptyBlocks();
        if (writeIndex) {
            std::vector<IndexEntry> entries;
            for (const auto& b : blocks_)
                entries.push_back({b->Rows(), b->number, b->count});
            std::vector<uint8_t> px = BuildPrimaryIndex(header_.schema, entries);
            os::File pxFile = os::File::Open(CompanionPath(path_, "PX"), true, os::Lock::None);
            pxFile.WriteAt(0, px.data(), px.size());
            pxFile.Truncate(px.size());
        }
    } catch (const EngineError&) {
        broken_ = true;
        throw;
    }
    structureChanged_ = false;
    firstKeysChanged_ = false;
    appendOnly_ = false;
    if (full)
        modified_ = false;
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

std::string Table::ReadBlob(const uint8_t* field, const Field& f) {
    if (!blobs_)
        blobs_ = std::make_unique<BlobFile>(CompanionPath(path_, "MB"));
    return blobs_->Read(field, f);
}

} // namespace idp
