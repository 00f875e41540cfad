// Changes of rows: inserts, updates and erasures with their key checks, and the merge
// that adds many rows at once.
#include "Table.h"

#include <algorithm>
#include <cstring>

#include "FieldCodec.h"
#include "Status.h"

namespace idp {

// Fresh blocks filled with rows given in key order. Full blocks are written a run at a
// time as they come, unseen until the header names the new chain, and leave memory: a
// move of many rows holds a run of blocks, not the table.
class Table::Filler {
  public:
    explicit Filler(Table& table)
        : t_(table), rows_(table.header_.schema.RecordsPerBlock()),
          size_(table.header_.schema.recordSize),
          run_(std::max<size_t>(1, kReadRun / table.header_.schema.blockSize)) {}
    void Put(const uint8_t* row) {
        if (blocks_.empty() || blocks_.back()->count == rows_) {
            blocks_.push_back(t_.NewBlock());
            if (blocks_.size() - written_ > run_)
                WriteFull();
        }
        Block& b = *blocks_.back();
        std::memcpy(&b.data[size_t{b.count} * size_], row, size_);
        ++b.count;
    }
    std::vector<std::unique_ptr<Block>> Finish() { return std::move(blocks_); }

  private:
    // Every block made since the last write but the newest, whose own successor is not
    // known yet.
    void WriteFull() {
        std::vector<Block*> run;
        for (size_t i = written_; i + 1 < blocks_.size(); ++i) {
            Block& b = *blocks_[i];
            b.prev = i > 0 ? blocks_[i - 1]->number : 0;
            b.next = blocks_[i + 1]->number;
            run.push_back(&b);
        }
        t_.WriteRuns(run);
        for (Block* b : run) {
            b->fresh = false; // on disk as it is, though not in the chain until the header
            t_.Drop(*b);
        }
        written_ = blocks_.size() - 1;
    }

    Table& t_;
    const uint16_t rows_;
    const size_t size_;
    const size_t run_;
    std::vector<std::unique_ptr<Block>> blocks_;
    size_t written_ = 0;
};

Table::Place Table::PlaceForInsert(const uint8_t* record, std::optional<uint32_t> before) {
    CheckWritable();
    std::string clash = UniqueClash(UniqueKeys(record));
    CheckWritable(); // the unique keys, read for the first time, may show damage
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
    InsertAt(PlaceForInsert(record, std::nullopt), record);
    AddKeys(record);
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
    std::vector<std::pair<uint64_t, uint32_t>>().swap(sorted); // not held while writing
    Filler fill(*this);
    size_t next = 0;
    ForEachBlock([&](size_t, const uint8_t* rows, uint16_t count) {
        for (uint16_t i = 0; i < count; ++i) {
            const uint8_t* r = rows + i * rs;
            for (; next < n && KeyCompare(&records[order[next] * rs], r) < 0; ++next)
                fill.Put(&records[order[next] * rs]);
            fill.Put(r);
        }
        return true;
    });
    for (; next < n; ++next)
        fill.Put(&records[order[next] * rs]);
    std::vector<std::unique_ptr<Block>> merged = fill.Finish();
    for (auto& order : keyOrders_) // worked out again from the rows when next needed
        order.reset();
    // The old blocks are free once the header names the new chain.
    for (const auto& b : blocks_) {
        freeNumbers_.insert(b->number);
        pendingEmpty_.insert(b->number);
    }
    dirtyList_.clear();
    blocks_ = std::move(merged);
    loaded_.reset(); // no block lies in the file's old copy any more
    SetFirstHeads();
    // The blocks still in memory are written with the header; those written already have
    // their links.
    for (size_t i = 0; i < blocks_.size(); ++i) {
        if (blocks_[i]->Resident())
            MarkDirty(*blocks_[i]);
        Link(i);
    }
    rows_ += static_cast<uint32_t>(n);
    structureChanged_ = true;
    positionsValid_ = false;
    touched_ = 0;
    Changed();
}

bool Table::CopyFrom(Table& from, const std::function<uint32_t(uint32_t)>& number) {
    CheckWritable();
    const Schema& s = header_.schema;
    if (rows_ != 0 || !dirtyList_.empty() || !s.Keyed())
        return false;
    const size_t rs = s.recordSize;
    const Field* numbered = nullptr;
    for (const Field& f : s.fields)
        if (!numbered && f.type == IDP_FLD_AUTOINC)
            numbered = &f;
    // The keys of the indexes that must be unique: a hash of each as the rows pass, the
    // rows read again only where two hashes meet.
    std::vector<size_t> unique;
    for (size_t i = 0; i < indexes_.size(); ++i)
        if (UniqueApplies(indexes_[i]))
            unique.push_back(i);
    std::vector<std::vector<std::pair<uint64_t, uint32_t>>> hashes(unique.size());
    const std::set<uint16_t> freeBefore = freeNumbers_, emptyBefore = pendingEmpty_;
    const uint16_t blocksBefore = header_.fileBlocks;
    std::vector<uint8_t> row(rs), prev;
    std::string key;
    uint32_t seq = 0;
    bool fits = true;
    Filler fill(*this);
    auto copy = [&](const uint8_t* source) {
        std::memcpy(row.data(), source, rs);
        for (const Field& f : s.fields) {
            uint8_t* p = &row[f.offset];
            if (f.type == IDP_FLD_ALPHA) // what follows the text is blank, as a move writes it
                if (void* nul = std::memchr(p, 0, f.width))
                    std::memset(nul, 0,
                                f.width - static_cast<size_t>(static_cast<uint8_t*>(nul) - p));
            if (f.required && f.type != IDP_FLD_AUTOINC && IsBlankField(p, f))
                fits = false;
        }
        if (numbered)
            EncodeInteger(&row[numbered->offset], 4, int64_t{header_.autoInc} + 1 + number(seq));
        if (!prev.empty() && KeyCompare(prev.data(), row.data()) >= 0)
            fits = false;
        prev.assign(row.begin(), row.begin() + s.KeySize());
        for (size_t u = 0; u < unique.size(); ++u) {
            IndexKeyInto(row.data(), indexes_[unique[u]], key);
            hashes[u].emplace_back(std::hash<std::string>{}(key), seq);
        }
        fill.Put(row.data());
        ++seq;
        return fits;
    };
    auto abandon = [&] { // the blocks written lie outside the chain: free again
        freeNumbers_ = freeBefore;
        pendingEmpty_ = emptyBefore;
        header_.fileBlocks = blocksBefore;
        if (BlocksInFile() > blocksBefore)
            file_.Truncate(header_.headerSize + uint64_t{blocksBefore} * s.blockSize);
    };
    try {
        from.ForEachBlock([&](size_t, const uint8_t* rows, uint16_t count) {
            for (uint16_t r = 0; r < count && fits; ++r)
                copy(rows + size_t{r} * from.GetSchema().recordSize);
            return fits;
        });
        for (size_t u = 0; u < unique.size() && fits; ++u) {
            auto& h = hashes[u];
            std::sort(h.begin(), h.end());
            const IndexDef& d = indexes_[unique[u]];
            for (size_t i = 1; i < h.size() && fits; ++i)
                if (h[i].first == h[i - 1].first)
                    fits = IndexKey(from.RowAt(h[i].second), d) !=
                           IndexKey(from.RowAt(h[i - 1].second), d);
        }
    } catch (...) {
        abandon();
        throw;
    }
    std::vector<std::unique_ptr<Block>> made = fill.Finish();
    if (!fits) {
        abandon();
        return false;
    }
    blocks_ = std::move(made);
    SetFirstHeads();
    for (size_t i = 0; i < blocks_.size(); ++i) {
        if (blocks_[i]->Resident())
            MarkDirty(*blocks_[i]);
        Link(i);
    }
    rows_ = seq;
    if (numbered)
        header_.autoInc += static_cast<int32_t>(seq);
    for (auto& order : keyOrders_)
        order.reset();
    structureChanged_ = true;
    positionsValid_ = false;
    touched_ = 0;
    Changed();
    return true;
}

uint32_t Table::Insert(const uint8_t* record, std::optional<uint32_t> before) {
    Place place = PlaceForInsert(record, before);
    bool wasClean = dirtyList_.empty() || appendOnly_;
    InsertAt(place, record);
    AddKeys(record);
    Changed();
    appendOnly_ = wasClean && !header_.schema.Keyed() && !(before && *before < rows_ - 1);
    if (header_.schema.Keyed()) {
        bool found = false;
        return SeqOf(KeyPlace(record, found));
    }
    return before && *before < rows_ - 1 ? *before : rows_ - 1;
}

uint32_t Table::Update(uint32_t seq, const uint8_t* record) {
    CheckWritable();
    const uint16_t rs = header_.schema.recordSize;
    // A row written as it was changes nothing, so nothing is written.
    if (std::memcmp(RowAt(seq), record, rs) == 0)
        return seq;
    std::vector<uint8_t> old(RowAt(seq), RowAt(seq) + rs);
    // Only keys that change can clash: the row itself holds the others.
    std::vector<std::string> oldKeys = UniqueKeys(old.data());
    std::string clash = UniqueClash(UniqueKeys(record), &oldKeys);
    CheckWritable();
    bool keyChanged = header_.schema.Keyed() && KeyCompare(old.data(), record) != 0;
    if (clash.empty() && keyChanged) {
        bool found = false;
        KeyPlace(record, found);
        if (found)
            clash = indexes_[0].name.empty() ? std::string("primary") : indexes_[0].name;
    }
    if (!clash.empty())
        throw EngineError(IDP_ERR_KEY_VIOLATION, "Index: " + clash);
    RemoveKeys(old.data());
    uint32_t result = seq;
    bool found = false;
    if (keyChanged) {
        EraseAt(PlaceOf(seq));
        InsertAt(KeyPlace(record, found), record);
        result = SeqOf(KeyPlace(record, found));
    } else {
        Place p = PlaceOf(seq);
        std::memcpy(Page(*blocks_[p.block]) + size_t{p.slot} * rs, record, rs);
        MarkDirty(*blocks_[p.block]);
        touched_ = p.block;
    }
    AddKeys(record);
    Changed();
    return result;
}

void Table::Erase(uint32_t seq, std::optional<Ranked> known) {
    CheckWritable();
    RemoveKeys(RowAt(seq), known);
    EraseAt(PlaceOf(seq));
    Changed();
}

} // namespace idp
