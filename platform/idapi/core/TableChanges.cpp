// Changes of rows: inserts, updates and erasures with their key checks, and the merge
// that adds many rows at once.
#include "Table.h"

#include <algorithm>
#include <cstring>

#include "Bytes.h"
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
            blocks_.push_back(t_.NewBlock(TakeSpare()));
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
            spare_.push_back(t_.Drop(*b));
        }
        written_ = blocks_.size() - 1;
    }
    // The records' storage of a block written: fresh memory costs a page fault a page,
    // which under Wine costs more than the copy itself.
    std::vector<uint8_t> TakeSpare() {
        if (spare_.empty())
            return {};
        std::vector<uint8_t> storage = std::move(spare_.back());
        spare_.pop_back();
        return storage;
    }

    Table& t_;
    const uint16_t rows_;
    const size_t size_;
    const size_t run_;
    std::vector<std::unique_ptr<Block>> blocks_;
    std::vector<std::vector<uint8_t>> spare_;
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
    // The keys of the indexes that must be unique, each as its head beside the row's
    // number as the rows pass; rows are read again only where two heads meet. No check is
    // needed for an index of the numbered field alone, which number gives each row its
    // own, nor for one whose keys from has ordered already and found distinct, unless the
    // blanking of what follows alpha text could change them.
    auto blankingKeeps = [&s](const IndexDef& d) {
        for (size_t k = 0; k + 1 < d.fields.size(); ++k)
            if (s.fields[static_cast<size_t>(d.fields[k])].type == IDP_FLD_ALPHA)
                return false;
        return true;
    };
    std::vector<size_t> unique;
    for (size_t i = 0; i < indexes_.size(); ++i) {
        const IndexDef& d = indexes_[i];
        const bool numberedOnly = numbered && d.fields.size() == 1 &&
                                  &s.fields[static_cast<size_t>(d.fields[0])] == numbered;
        if (UniqueApplies(d) && !numberedOnly && !(blankingKeeps(d) && from.KnownDistinct(d)))
            unique.push_back(i);
    }
    struct Head {
        KeyHead head;
        uint32_t seq;
        bool operator<(const Head& o) const { return head != o.head ? head < o.head : seq < o.seq; }
    };
    std::vector<std::vector<Head>> heads(unique.size(), std::vector<Head>());
    for (auto& h : heads)
        h.reserve(from.RowCount());
    const std::set<uint16_t> freeBefore = freeNumbers_, emptyBefore = pendingEmpty_;
    const uint16_t blocksBefore = header_.fileBlocks;
    // Each row as the copy holds it, and the one before it, in turn.
    std::vector<uint8_t> rows(2 * rs);
    uint32_t seq = 0;
    bool fits = true;
    Filler fill(*this);
    // Source row seq as the copy holds it: what follows alpha text is blank, as a move
    // writes it, and the autoincrement field numbered.
    auto copyOf = [&](const uint8_t* source, uint32_t at, uint8_t* row) {
        std::memcpy(row, source, rs);
        for (const Field& f : s.fields) {
            uint8_t* p = row + f.offset;
            if (f.type == IDP_FLD_ALPHA) {
                const size_t length = TextLength(p, f.width);
                if (!AllZero(p + length, f.width - length)) // as the engine writes them
                    std::memset(p + length, 0, f.width - length);
            }
        }
        if (numbered)
            EncodeInteger(row + numbered->offset, 4, int64_t{header_.autoInc} + 1 + number(at));
    };
    auto copy = [&](const uint8_t* source) {
        uint8_t* row = &rows[(seq & 1) * rs];
        copyOf(source, seq, row);
        for (const Field& f : s.fields)
            if (f.required && f.type != IDP_FLD_AUTOINC && IsBlankField(row + f.offset, f))
                fits = false;
        if (seq > 0 && KeyCompare(&rows[((seq - 1) & 1) * rs], row) >= 0)
            fits = false;
        for (size_t u = 0; u < unique.size(); ++u)
            heads[u].push_back({IndexHead(row, indexes_[unique[u]]), seq});
        fill.Put(row);
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
        std::vector<std::string> keys;
        for (size_t u = 0; u < unique.size() && fits; ++u) {
            auto& h = heads[u];
            std::sort(h.begin(), h.end());
            const IndexDef& d = indexes_[unique[u]];
            for (size_t i = 0, j = 0; i < h.size() && fits; i = j) {
                for (j = i + 1; j < h.size() && h[j].head == h[i].head;)
                    ++j;
                if (j - i == 1)
                    continue;
                keys.resize(j - i);
                for (size_t k = i; k < j; ++k) {
                    copyOf(from.RowAt(h[k].seq), h[k].seq, rows.data());
                    IndexKeyInto(rows.data(), d, keys[k - i]);
                }
                std::sort(keys.begin(), keys.end());
                fits = std::adjacent_find(keys.begin(), keys.end()) == keys.end();
            }
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
