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
    uint64_t size = file_.Size();
    uint64_t dataBytes = size > header_.headerSize ? size - header_.headerSize : 0;
    uint64_t available = std::min<uint64_t>(dataBytes / s.blockSize, 0xFFFF);
    std::vector<uint8_t> data(static_cast<size_t>(available * s.blockSize));
    if (file_.ReadAt(header_.headerSize, data.data(), data.size()) != data.size())
        ThrowDamaged(path_, "The file ended while being read.");
    blocks_.clear();
    rows_ = 0;
    std::vector<bool> seen(available + 1, false);
    uint16_t number = header_.firstBlock;
    while (number != 0) {
        if (number > available) {
            damaged_ = true; // a link outside the file: keep what came before it
            break;
        }
        if (seen[number]) {
            damaged_ = true; // a loop in the chain
            break;
        }
        seen[number] = true;
        ByteView block(&data[(number - 1) * size_t{s.blockSize}], s.blockSize);
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
                blocks_.back().dirty = true;
            structureChanged_ = true;
        } else {
            Block b;
            b.number = number;
            b.count = static_cast<uint16_t>(count);
            b.data.assign(size_t{rpb} * s.recordSize, 0);
            std::memcpy(b.data.data(), block.Data() + 6, size_t{count} * s.recordSize);
            blocks_.push_back(std::move(b));
            rows_ += count;
        }
        number = next;
    }
    if (header_.firstBlock == 0 && header_.numRecords > 0)
        damaged_ = true;
    for (uint16_t n = 1; n <= available; ++n)
        if (!seen[n])
            freeNumbers_.insert(n);
    diskBlocks_ = static_cast<uint16_t>(available);
    header_.fileBlocks = diskBlocks_;
    // The next autoincrement value must pass every value present, whatever the header says.
    for (const Field& f : s.fields)
        if (f.type == IDP_FLD_AUTOINC)
            for (const Block& b : blocks_)
                for (uint16_t i = 0; i < b.count; ++i) {
                    const uint8_t* p = &b.data[size_t{i} * s.recordSize + f.offset];
                    if (!IsBlankField(p, f))
                        header_.autoInc = std::max<int32_t>(
                            header_.autoInc, static_cast<int32_t>(DecodeInteger(p, 4)));
                }
    if (s.Keyed()) {
        // A keyed table written by a program with another sort order (or damaged) may not
        // be in byte order; sort it so lookups work, and write it back at the next change.
        bool sorted = true;
        const uint8_t* prev = nullptr;
        for (const Block& b : blocks_)
            for (uint16_t i = 0; i < b.count && sorted; ++i) {
                const uint8_t* r = &b.data[size_t{i} * s.recordSize];
                if (prev && KeyCompare(prev, r) > 0)
                    sorted = false;
                prev = r;
            }
        if (!sorted) {
            std::vector<std::vector<uint8_t>> all;
            for (const Block& b : blocks_)
                for (uint16_t i = 0; i < b.count; ++i)
                    all.emplace_back(b.data.begin() + size_t{i} * s.recordSize,
                                     b.data.begin() + (size_t{i} + 1) * s.recordSize);
            std::stable_sort(all.begin(), all.end(), [&](const auto& a, const auto& b) {
                return KeyCompare(a.data(), b.data()) < 0;
            });
            size_t k = 0;
            for (Block& b : blocks_) {
                for (uint16_t i = 0; i < b.count; ++i, ++k)
                    std::memcpy(&b.data[size_t{i} * s.recordSize], all[k].data(), s.recordSize);
                b.dirty = true;
            }
            firstKeysChanged_ = true;
        }
    }
    prefixValid_ = false;
    ++generation_;
}

void Table::Reload() {
    if (modified_ || broken_)
        return;
    blocks_.clear();
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

void Table::EnsurePrefix() {
    if (prefixValid_)
        return;
    prefix_.assign(blocks_.size() + 1, 0);
    for (size_t i = 0; i < blocks_.size(); ++i)
        prefix_[i + 1] = prefix_[i] + blocks_[i].count;
    prefixValid_ = true;
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
    return &blocks_[p.block].data[size_t{p.slot} * header_.schema.recordSize];
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
        if (KeyCompare(blocks_[mid].data.data(), record) <= 0)
            lo = mid;
        else
            hi = mid;
    }
    const Block& b = blocks_[lo];
    uint16_t l = 0, h = b.count;
    while (l < h) {
        uint16_t mid = static_cast<uint16_t>((l + h) / 2);
        if (KeyCompare(&b.data[size_t{mid} * rs], record) < 0)
            l = static_cast<uint16_t>(mid + 1);
        else
            h = mid;
    }
    found = l < b.count && KeyCompare(&b.data[size_t{l} * rs], record) == 0;
    return {lo, l};
}

std::optional<uint32_t> Table::FindByPrimary(const uint8_t* record) {
    if (!header_.schema.Keyed())
        return std::nullopt;
    bool found = false;
    Place p = KeyPlace(record, found);
    if (!found && indexes_[0].CaseInsensitive()) {
        BuildUnique();
        auto it = unique_[0].find(IndexKey(record, indexes_[0]));
        if (it == unique_[0].end())
            return std::nullopt;
        std::vector<uint8_t> exact(header_.schema.recordSize, 0);
        std::memcpy(exact.data(), it->second.data(), it->second.size());
        p = KeyPlace(exact.data(), found);
    }
    if (!found)
        return std::nullopt;
    EnsurePrefix();
    return prefix_[p.block] + p.slot;
}

uint16_t Table::NewBlockNumber() {
    if (!freeNumbers_.empty()) {
        uint16_t n = *freeNumbers_.begin();
        freeNumbers_.erase(freeNumbers_.begin());
        pendingEmpty_.erase(n);
        return n;
    }
    if (header_.fileBlocks == 0xFFFF)
        throw EngineError(IDP_ERR_TABLE_FULL, "Table: " + path_);
    return ++header_.fileBlocks;
}

void Table::InsertAt(Place place, const uint8_t* record) {
    const Schema& s = header_.schema;
    const uint16_t rs = s.recordSize, rpb = s.RecordsPerBlock();
    if (blocks_.empty()) {
        Block b;
        b.number = NewBlockNumber();
        b.data.assign(size_t{rpb} * rs, 0);
        blocks_.push_back(std::move(b));
        place = {0, 0};
        structureChanged_ = true;
    }
    Block* b = &blocks_[place.block];
    if (b->count == rpb) {
        Block n;
        n.number = NewBlockNumber();
        n.data.assign(size_t{rpb} * rs, 0);
        n.dirty = true;
        b = &blocks_[place.block];
        b->dirty = true; // its link to the next block changes
        if (place.slot == b->count && place.block + 1 == blocks_.size()) {
            // Appending past a full last block: start a new one, keeping blocks full.
            blocks_.push_back(std::move(n));
            place = {place.block + 1, 0};
        } else {
            uint16_t keep = static_cast<uint16_t>(rpb / 2);
            n.count = static_cast<uint16_t>(b->count - keep);
            std::memcpy(n.data.data(), &b->data[size_t{keep} * rs], size_t{n.count} * rs);
            b->count = keep;
            blocks_.insert(blocks_.begin() + static_cast<long>(place.block) + 1, std::move(n));
            if (place.block + 2 < blocks_.size())
                blocks_[place.block + 2].dirty = true; // its link back changes
            if (place.slot > keep)
                place = {place.block + 1, static_cast<uint16_t>(place.slot - keep)};
        }
        structureChanged_ = true;
        firstKeysChanged_ = true;
    }
    b = &blocks_[place.block];
    uint8_t* at = &b->data[size_t{place.slot} * rs];
    std::memmove(at + rs, at, (size_t{b->count} - place.slot) * rs);
    std::memcpy(at, record, rs);
    ++b->count;
    b->dirty = true;
    if (place.slot == 0)
        firstKeysChanged_ = true;
    ++rows_;
}

void Table::EraseAt(Place place) {
    const uint16_t rs = header_.schema.recordSize;
    Block& b = blocks_[place.block];
    uint8_t* at = &b.data[size_t{place.slot} * rs];
    std::memmove(at, at + rs, (size_t{b.count} - place.slot - 1) * rs);
    --b.count;
    std::memset(&b.data[size_t{b.count} * rs], 0, rs);
    b.dirty = true;
    if (place.slot == 0)
        firstKeysChanged_ = true;
    if (b.count == 0) {
        freeNumbers_.insert(b.number);
        pendingEmpty_.insert(b.number);
        blocks_.erase(blocks_.begin() + static_cast<long>(place.block));
        if (place.block > 0)
            blocks_[place.block - 1].dirty = true;
        if (place.block < blocks_.size())
            blocks_[place.block].dirty = true;
        structureChanged_ = true;
    }
    --rows_;
}

void Table::Changed() {
    prefixValid_ = false;
    modified_ = true;
    ++generation_;
}

bool Table::UniqueApplies(const IndexDef& d) const {
    return d.Unique() && !d.Expression() && !(d.Primary() && !d.CaseInsensitive());
}

void Table::BuildUnique() {
    if (uniqueBuilt_)
        return;
    unique_.assign(indexes_.size(), {});
    for (size_t i = 0; i < indexes_.size(); ++i) {
        if (!UniqueApplies(indexes_[i]))
            continue;
        for (const Block& b : blocks_)
            for (uint16_t r = 0; r < b.count; ++r) {
                const uint8_t* rec = &b.data[size_t{r} * header_.schema.recordSize];
                unique_[i].emplace(
                    IndexKey(rec, indexes_[i]),
                    std::string(reinterpret_cast<const char*>(rec), header_.schema.KeySize()));
            }
    }
    uniqueBuilt_ = true;
}

std::string Table::UniqueClash(const uint8_t* record) {
    BuildUnique();
    for (size_t i = 0; i < indexes_.size(); ++i)
        if (UniqueApplies(indexes_[i]) && unique_[i].count(IndexKey(record, indexes_[i])))
            return indexes_[i].name;
    return {};
}

void Table::AddUnique(const uint8_t* record) {
    for (size_t i = 0; i < indexes_.size(); ++i)
        if (UniqueApplies(indexes_[i]))
            unique_[i].emplace(
                IndexKey(record, indexes_[i]),
                std::string(reinterpret_cast<const char*>(record), header_.schema.KeySize()));
}

void Table::RemoveUnique(const uint8_t* record) {
    BuildUnique();
    for (size_t i = 0; i < indexes_.size(); ++i)
        if (UniqueApplies(indexes_[i]))
            unique_[i].erase(IndexKey(record, indexes_[i]));
}

uint32_t Table::Insert(const uint8_t* record, std::optional<uint32_t> before) {
    CheckWritable();
    std::string clash = UniqueClash(record);
    if (!clash.empty())
        throw EngineError(IDP_ERR_KEY_VIOLATION, "Index: " + clash);
    Place place{};
    if (header_.schema.Keyed()) {
        bool found = false;
        place = KeyPlace(record, found);
        if (found)
            throw EngineError(IDP_ERR_KEY_VIOLATION, "Index: " + indexes_[0].name);
    } else if (before && *before < rows_) {
        place = PlaceOf(*before);
    } else if (!blocks_.empty()) {
        place = {blocks_.size() - 1, blocks_.back().count};
    }
    if (rows_ == 0x7FFFFFFF)
        throw EngineError(IDP_ERR_TABLE_FULL, "Table: " + path_);
    InsertAt(place, record);
    AddUnique(record);
    Changed();
    if (header_.schema.Keyed()) {
        bool found = false;
        place = KeyPlace(record, found);
    } else if (!(before && *before < rows_ - 1)) {
        return rows_ - 1;
    } else {
        return *before;
    }
    EnsurePrefix();
    return prefix_[place.block] + place.slot;
}

uint32_t Table::Update(uint32_t seq, const uint8_t* record) {
    CheckWritable();
    const uint16_t rs = header_.schema.recordSize;
    std::vector<uint8_t> old(RowAt(seq), RowAt(seq) + rs);
    RemoveUnique(old.data());
    std::string clash = UniqueClash(record);
    bool keyChanged = header_.schema.Keyed() && KeyCompare(old.data(), record) != 0;
    if (clash.empty() && keyChanged) {
        bool found = false;
        KeyPlace(record, found);
        if (found)
            clash = indexes_[0].name.empty() ? std::string("primary") : indexes_[0].name;
    }
    if (!clash.empty()) {
        AddUnique(old.data());
        throw EngineError(IDP_ERR_KEY_VIOLATION, "Index: " + clash);
    }
    uint32_t result = seq;
    if (keyChanged) {
        EraseAt(PlaceOf(seq));
        prefixValid_ = false;
        bool found = false;
        InsertAt(KeyPlace(record, found), record);
        prefixValid_ = false;
        Place p = KeyPlace(record, found);
        EnsurePrefix();
        result = prefix_[p.block] + p.slot;
    } else {
        Place p = PlaceOf(seq);
        std::memcpy(&blocks_[p.block].data[size_t{p.slot} * rs], record, rs);
        blocks_[p.block].dirty = true;
        if (p.slot == 0)
            firstKeysChanged_ = true;
    }
    AddUnique(record);
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

std::vector<uint8_t> Table::BlockImage(const Block* b) const {
    const Schema& s = header_.schema;
    std::vector<uint8_t> image(s.blockSize, 0);
    if (!b) {
        PutU16(&image[4], static_cast<uint16_t>(-static_cast<int>(s.recordSize)));
        return image;
    }
    size_t i = static_cast<size_t>(b - blocks_.data());
    PutU16(&image[0], i + 1 < blocks_.size() ? blocks_[i + 1].number : 0);
    PutU16(&image[2], i > 0 ? blocks_[i - 1].number : 0);
    PutU16(&image[4], static_cast<uint16_t>((b->count - 1) * s.recordSize));
    std::memcpy(&image[6], b->data.data(), size_t{b->count} * s.recordSize);
    return image;
}

void Table::WriteBlocks() {
    const uint16_t bs = header_.schema.blockSize;
    std::map<uint16_t, const Block*> dirty; // number -> block (null: write as empty)
    for (const Block& b : blocks_)
        if (b.dirty)
            dirty[b.number] = &b;
    for (uint16_t n : pendingEmpty_)
        dirty[n] = nullptr;
    // New blocks first: until the blocks that link to them are written they are unseen.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<uint8_t> run;
        uint16_t runStart = 0, expect = 0;
        auto emit = [&] {
            if (!run.empty())
                file_.WriteAt(header_.headerSize + uint64_t{runStart - 1u} * bs, run.data(),
                              run.size());
            run.clear();
        };
        for (const auto& [number, block] : dirty) {
            bool isNew = number > diskBlocks_;
            if (isNew != (pass == 0))
                continue;
            if (run.empty() || number != expect || run.size() >= kWriteRun) {
                emit();
                runStart = number;
            }
            std::vector<uint8_t> image = BlockImage(block);
            run.insert(run.end(), image.begin(), image.end());
            expect = static_cast<uint16_t>(number + 1);
        }
        emit();
    }
    for (Block& b : blocks_)
        b.dirty = false;
    pendingEmpty_.clear();
    if (header_.fileBlocks > diskBlocks_)
        diskBlocks_ = header_.fileBlocks;
}

void Table::Flush(bool full) {
    if (!modified_ || broken_)
        return; // nothing changed (a table sorted at load stays untouched on disk)
    bool blocksDirty = !pendingEmpty_.empty();
    for (const Block& b : blocks_)
        blocksDirty = blocksDirty || b.dirty;
    bool writeHeader = structureChanged_ || (full && modified_);
    bool writeIndex = header_.schema.Keyed() && (firstKeysChanged_ || writeHeader);
    if (!blocksDirty && !writeHeader && !writeIndex)
        return;
    try {
        if (blocksDirty)
            WriteBlocks();
        if (writeHeader) {
            header_.numRecords = rows_;
            header_.usedBlocks = static_cast<uint16_t>(blocks_.size());
            header_.firstBlock = blocks_.empty() ? 0 : blocks_.front().number;
            header_.lastBlock = blocks_.empty() ? 0 : blocks_.back().number;
            StoreCounts(header_);
            file_.WriteAt(0, header_.raw.data(), header_.raw.size());
        }
        if (writeIndex) {
            std::vector<IndexEntry> entries;
            for (const Block& b : blocks_)
                entries.push_back({b.data.data(), b.number, b.count});
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
    if (full)
        modified_ = false;
}

std::string Table::IndexKey(const uint8_t* record, const IndexDef& index) const {
    if (index.Expression())
        throw EngineError(IDP_ERR_UNSUPPORTED,
                          "Index: " + index.name + "\r\nExpression indexes cannot order rows.");
    std::string key;
    for (int n : index.fields) {
        const Field& f = header_.schema.fields[static_cast<size_t>(n)];
        size_t at = key.size();
        key.append(reinterpret_cast<const char*>(record + f.offset), f.width);
        if (index.CaseInsensitive() && f.type == IDP_FLD_ALPHA)
            FoldBytes(reinterpret_cast<const unsigned char*>(key.data() + at),
                      reinterpret_cast<unsigned char*>(key.data() + at), f.width);
    }
    return key;
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
    for (const Block& b : blocks_)
        for (uint16_t r = 0; r < b.count; ++r, ++seq)
            keyed.emplace_back(IndexKey(&b.data[size_t{r} * header_.schema.recordSize], d), seq);
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
