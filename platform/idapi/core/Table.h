// One open table: blocks that mirror the file's data blocks, read when first needed, and
// every change written back to those blocks. Opening reads the header and, for a keyed
// table, the .PX's first level, which gives each data block's rows and first key; a table
// without a usable .PX is opened from the blocks' own headers, read in one pass that keeps
// no rows. The first change reads the whole file, as keyed changes need every key. Table
// objects are shared by all cursors of this process on the same file; the operating
// system's lock on the file keeps other processes out while the table is held exclusively.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Blob.h"
#include "Bytes.h"
#include "Header.h"
#include "IndexDefs.h"
#include "IndexOrder.h"
#include "Os.h"
#include "PrefixCounts.h"

namespace idp {

class Table {
  public:
    // Opens the table at a .db path, or joins this process's open copy of it. Throws
    // IDP_ERR_LOCKED when the lock is refused, IDP_ERR_PASSWORD for encrypted tables.
    static std::shared_ptr<Table> Open(const std::string& dbPath, bool exclusive);
    // Creates an empty table, replacing a table of that name with all its files.
    static void Create(const std::string& dbPath, Schema schema, std::vector<IndexDef> indexes);
    // Deletes a table with all its files.
    static void Delete(const std::string& dbPath);
    // Reads a table's header and index definitions without opening it.
    static void Describe(const std::string& dbPath, TableHeader& header,
                         std::vector<IndexDef>& indexes);
    // The rows of a table, counted as opening it counts them (the header's own count may
    // be left from before a failure), without taking a lock or keeping anything.
    static uint32_t CountRows(const std::string& dbPath);
    // This process's open copy of a table, or null.
    static std::shared_ptr<Table> Find(const std::string& dbPath);

    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& Path() const { return path_; }
    const Schema& GetSchema() const { return header_.schema; }
    const TableHeader& Header() const { return header_; }
    const std::vector<IndexDef>& Indexes() const { return indexes_; }
    uint32_t RowCount() const { return rows_; }
    // Data blocks whose rows are in memory.
    size_t ResidentBlocks() const;
    // Changes with every change of the rows, so cursors notice other cursors' changes.
    uint64_t Generation() const { return generation_; }

    // The record at a position of the file's order (0-based). The pointer holds until the
    // table next changes.
    const uint8_t* RowAt(uint32_t seq);
    // The rows in the order of an index: the rank of a row, and the row at a rank, tried
    // first at near (most often the neighbour of the row before, as orders go mostly
    // with the file's).
    uint32_t RankOf(size_t index, uint32_t seq);
    uint32_t SeqAtRank(size_t index, uint32_t rank, std::optional<uint32_t> near = std::nullopt);
    // True when an index orders rows exactly as the file does.
    bool IsFileOrder(size_t index) const;
    // The rank of every row in an index's order, by the row's place in the file.
    const std::vector<uint32_t>& Ranks(size_t index);
    // Whether rows as they are now hold each key of an index like d at most once, as
    // known from an order worked out already; false when no such order is at hand.
    bool KnownDistinct(const IndexDef& d) const;
    // The comparable key of a record for an index (case folded when the index ignores case).
    std::string IndexKey(const uint8_t* record, const IndexDef& index) const;
    void IndexKeyInto(const uint8_t* record, const IndexDef& index, std::string& key) const;
    KeyHead IndexHead(const uint8_t* record, const IndexDef& index) const;
    // The first row (in file order) whose key for an index equals key.
    std::optional<uint32_t> FindKey(const IndexDef& index, const std::string& key);
    // Before adding many rows: works out the unique indexes' keys now rather than at the
    // first row.
    void PrepareForManyRows();
    // The row whose primary key equals the record's (case ignored when the primary index
    // ignores case); keys, when given, are the record's UniqueKeys.
    std::optional<uint32_t> FindByPrimary(const uint8_t* record,
                                          const std::vector<std::string>* keys = nullptr);

    // Changes; each returns the seq number the row has afterwards. Key violations throw
    // IDP_ERR_KEY_VIOLATION and change nothing.
    uint32_t Insert(const uint8_t* record, std::optional<uint32_t> before);
    // Insert without working out the new row's position (for moves of many rows).
    void Add(const uint8_t* record);
    // Adds many rows that clash neither with each other nor with the table. A keyed table
    // receiving many rows is rebuilt in fresh blocks, merged in key order and packed; the
    // old chain stays whole on disk until the header points to the new one.
    void AddMany(const std::vector<uint8_t>& records);
    // Fills this empty keyed table with every row of from, a table of the same layout and
    // primary key, in one pass: from's file order is this table's key order, so its rows
    // go as they are into packed blocks, written as they fill, the autoincrement field
    // numbered after the last one given, 1 + number(seq) on. False, with nothing changed,
    // when a row would not go in so: a required field blank, keys that do not rise, a
    // unique key twice; a move row by row then says which.
    bool CopyFrom(Table& from, const std::function<uint32_t(uint32_t)>& number);
    // The keys of a record for each unique index (empty where none applies), and the name
    // of an index where one of them is already in the table (empty: none); an index where
    // the key equals the one in unchanged, the keys of the row being replaced, is no clash.
    std::vector<std::string> UniqueKeys(const uint8_t* record) const;
    // The same into keys, whose strings keep their room from row to row (a batch move).
    void UniqueKeysInto(const uint8_t* record, std::vector<std::string>& keys) const;
    std::string UniqueClash(const std::vector<std::string>& keys,
                            const std::vector<std::string>* unchanged = nullptr);
    uint32_t Update(uint32_t seq, const uint8_t* record);
    // The rank of the row in one index's order, when a cursor knows it.
    struct Ranked {
        size_t index;
        uint32_t rank;
    };
    void Erase(uint32_t seq, std::optional<Ranked> known = std::nullopt);
    // The next autoincrement value.
    int32_t NextAutoInc();
    // Writes changed blocks, and the header when blocks came or went; full also brings the
    // header's counts and the .PX up to date. The .PX, which only other programs read, is
    // rewritten whole, so a change leaves it to the full flush (close, batch move). Rows
    // appended to an unkeyed table (the shape of the engine's scratch and import tables)
    // are written in batches of blocks: when 64 KB of them is pending, at any other
    // change, and at a full flush.
    void Flush(bool full);
    // Rereads the file (only when this is the table's one user and nothing is pending).
    void Reload();
    // Reads what changes need before the first one (see CheckWritable) ahead of them, as a
    // batch move does before it changes anything.
    void PrepareForChanges() { CheckWritable(); }
    // Calls f(chain position, rows, count) for each block in file order, from chain
    // position first up to last, until it returns false: blocks in memory as they are, the
    // others read a run at a time and not kept, so that a pass over a large table holds
    // little of it. Returns whether every block was passed; each was checked against the
    // table on the way.
    template <class F> bool ForEachBlock(F f, size_t first = 0, size_t last = SIZE_MAX) {
        struct Release { // the run buffer is not kept between passes
            std::vector<uint8_t>& buffer;
            ~Release() { std::vector<uint8_t>().swap(buffer); }
        } release{scanBuffer_};
        const size_t end = std::min(last, blocks_.size());
        for (size_t i = first; i < end;) {
            if (blocks_[i]->Resident()) {
                if (!f(i, static_cast<const uint8_t*>(blocks_[i]->Rows()), blocks_[i]->count))
                    return false;
                ++i;
                continue;
            }
            const size_t runEnd = ReadRun(i, end);
            for (size_t k = i; k < runEnd; ++k)
                if (!f(k, RunRows(k - i), blocks_[k]->count))
                    return false;
            i = runEnd;
        }
        if (first == 0 && end == blocks_.size())
            verified_ = true;
        return true;
    }
    // The first row in file order from seq from on, coming round to the rows before it,
    // for which match(row) holds, read as ForEachBlock reads them.
    template <class F> std::optional<uint32_t> FindRow(uint32_t from, F match) {
        if (from >= rows_)
            from = 0;
        const Place start = PlaceOf(from);
        const size_t rs = header_.schema.recordSize;
        std::optional<uint32_t> found;
        uint32_t seq = from - start.slot;
        auto look = [&](size_t, const uint8_t* rows, uint16_t count) {
            for (uint16_t r = 0; r < count; ++r, ++seq)
                if (seq >= from && match(rows + r * rs)) {
                    found = seq;
                    return false;
                }
            return true;
        };
        if (!ForEachBlock(look, start.block) || from == 0)
            return found;
        const uint32_t end = from;
        seq = 0;
        from = 0;
        ForEachBlock(
            [&](size_t k, const uint8_t* rows, uint16_t count) {
                return look(k, rows, std::min<uint32_t>(count, end - seq)) && seq < end;
            },
            0, start.block + 1);
        return found;
    }
    // Checks every block against the table, before work that could not be done again.
    void Verify() {
        if (!verified_)
            ForEachBlock([](size_t, const uint8_t*, uint16_t) { return true; });
    }
    std::string ReadBlob(const uint8_t* field, const Field& f);
    // The first way in which the table in memory is not what it should be, or empty: the
    // block chain and its counts, the block positions, the key order of a keyed table,
    // and the index orders kept in memory against the rows.
    std::string CheckInvariants();

  private:
    // One data block; its neighbours' numbers are the links written to the file.
    struct Block {
        uint16_t number = 0;
        uint16_t count = 0;
        uint16_t next = 0, prev = 0;
        // The records when in memory (room for RecordsPerBlock()): where the block lies in
        // the buffer the whole file was read into, changed there in place, or in data for a
        // block read alone or made since. A block with neither is on disk only. Past the
        // last record the bytes mean nothing.
        uint8_t* loaded = nullptr;
        std::vector<uint8_t> data;
        // Of a keyed table's block on disk only: the head of its first key, as the .PX or
        // the block's header gave it, and the whole key of a block written and let go.
        KeyHead head;
        std::vector<uint8_t> firstKey;
        bool dirty = false;

        bool Resident() const { return loaded || !data.empty(); }
        const uint8_t* Rows() const { return data.empty() ? loaded : data.data(); }
        uint8_t* Rows() { return data.empty() ? loaded : data.data(); }
        bool fresh = false;  // not in the chain the file holds yet
        bool gained = false; // took a record since it was last written
        bool lost = false;   // gave one up since then
    };
    // What a block's own header says, and the head of its first key, for opening from the
    // blocks.
    struct BlockHead {
        uint16_t next = 0, prev = 0, count = 0;
        bool exact = true;
        KeyHead key;
    };
    class Filler;
    struct Place {
        size_t block;
        uint16_t slot;
    };
    // An index order as two arrays, for passes through the rows while nothing changes.
    struct OrderCache {
        static constexpr uint64_t kNever = ~uint64_t{0};
        uint64_t generation = kNever;
        std::vector<uint32_t> order, ranks;
        bool repeats = false; // two rows hold one key
    };

    Table(std::string path, os::File file, bool exclusive);
    static TableHeader ReadHeader(const os::File& file, const std::string& path);
    // The records a data block says it holds, never more than it can hold; exact is false
    // when its last record's offset is not on a record boundary or claims too many.
    static uint32_t BlockRows(ByteView block, uint16_t recordSize, uint16_t perBlock, bool& exact);
    uint16_t BlocksInFile() const;
    // trustIndex: whether the .PX may give the blocks; otherwise their headers do.
    void Load(bool trustIndex = true);
    bool LoadFromIndex(uint16_t available);
    void LoadFromBlocks(uint16_t available);
    void NoteAutoIncs(const uint8_t* blocks, size_t count);
    void ReadWhole();
    bool PageMatches(const Block& b, const uint8_t* image) const;
    [[noreturn]] void PageMismatch();
    uint8_t* Page(Block& b);
    const uint8_t* FirstKey(Block& b);
    // Lets a written block leave memory; returns its records' storage for reuse.
    std::vector<uint8_t> Drop(Block& b);
    size_t ReadRun(size_t first, size_t end);
    const uint8_t* RunRows(size_t i) const {
        return scanBuffer_.data() + i * header_.schema.blockSize + 6;
    }
    void CheckWritable();
    Place PlaceOf(uint32_t seq);
    uint32_t SeqOf(Place place);
    void EnsurePositions();
    int KeyCompare(const uint8_t* a, const uint8_t* b) const;
    Place KeyPlace(const uint8_t* record, bool& found);
    size_t BlockOfKey(const uint8_t* record);
    KeyHead HeadOfKey(const uint8_t* record) const;
    void SetFirstHeads();
    std::optional<uint32_t> SeqOfPrimary(std::string_view row);
    Place PlaceForInsert(const uint8_t* record, std::optional<uint32_t> before);
    void InsertAt(Place place, const uint8_t* record);
    void MarkDirty(Block& b);
    void Link(size_t index);
    void AdjustPositions(size_t block, int delta);
    void EraseAt(Place place);
    // A block with a number of its own; storage, when given, holds its records.
    std::unique_ptr<Block> NewBlock(std::vector<uint8_t> storage = {});
    void Changed();
    bool RowMatches(const uint8_t* record, const IndexDef& index, const std::string& key) const;
    std::optional<uint32_t> FindNumber(const Field& f, const std::string& key);
    bool UniqueApplies(const IndexDef& d) const;
    // The primary key of a record without its trailing zero bytes, as the index orders
    // keep it: dropping them keeps both equality and order, since keys have one length.
    static std::string_view ExactKey(const uint8_t* record, uint16_t keySize) {
        size_t n = keySize;
        while (n > 0 && record[n - 1] == 0)
            --n;
        return std::string_view(reinterpret_cast<const char*>(record), n);
    }
    IndexOrder::Entry EntryFor(const uint8_t* record, size_t index) const;
    void EntryInto(const uint8_t* record, size_t index, IndexOrder::Entry& entry) const;
    IndexOrder& KeyOrder(size_t index);
    void AddKeys(const uint8_t* record);
    void RemoveKeys(const uint8_t* record, std::optional<Ranked> known = std::nullopt);
    bool KeysRise(bool& strictly);
    void VerifyKeyOrder();
    std::string CheckBlocks(size_t first, size_t last);
    static void AssertIntact(const std::string& violation);
    std::string CheckKeyOrder(size_t index);
    void WriteBlocks();
    void WriteEmptyBlocks();
    void BuildOrder(size_t index, OrderCache& cache);
    const OrderCache* Arrays(size_t index);
    void BlockImage(const Block* b, uint8_t* image) const;
    void WriteRuns(const std::vector<Block*>& blocks);
    std::vector<uint8_t> writeBuffer_;
    static constexpr size_t kReadRun = 1 << 20; // bytes a pass reads at a time
    std::vector<uint8_t> scanBuffer_;           // the run ForEachBlock last read
    std::vector<uint8_t> pageBuffer_;           // a block read alone

    std::string path_;
    os::File file_;
    bool exclusive_;
    TableHeader header_;
    std::vector<IndexDef> indexes_;
    std::unique_ptr<uint8_t[]> loaded_; // the data blocks, once the file was read whole
    bool verified_ = false;             // every chain block's header was found as the table has it
    bool autoIncKnown_ = false;         // header_.autoInc passes every value in the rows
    // The first autoincrement field's stored bytes of each row in file order, worked out
    // at the first lookup by that number and kept while the rows do not change.
    std::vector<uint32_t> numbers_;
    uint64_t numbersGeneration_ = ~uint64_t{0};
    std::vector<std::unique_ptr<Block>> blocks_;
    // Of a keyed table: the head of each block's first key, so that a key search goes
    // through the blocks without visiting each.
    std::vector<KeyHead> firstHeads_;
    mutable size_t lastKeyBlock_ = 0; // where the last key search ended
    std::vector<Block*> dirtyList_;
    uint32_t rows_ = 0;
    uint16_t diskBlocks_ = 0;         // blocks the file held at the last flush
    std::set<uint16_t> freeNumbers_;  // block numbers not in the chain
    std::set<uint16_t> pendingEmpty_; // freed blocks to write as empty
    bool structureChanged_ = false;   // blocks added, freed or relinked
    bool modified_ = false;           // changed since the last full flush
    bool damaged_ = false;            // some rows could not be read, or are out of key order
    bool keyOrderChecked_ = false;    // of a keyed table: whether damaged_ covers the key order
    bool broken_ = false;             // a write failed
    bool appendOnly_ = false;         // the only changes since the last flush: appends
    uint64_t generation_ = 0;
    // The first row of each block, worked out again only when blocks come or go.
    PrefixCounts positions_;
    bool positionsValid_ = false;
    // Index orders (and unique keys) in memory, each built when first needed and kept up
    // to date by every change after that.
    std::vector<std::unique_ptr<IndexOrder>> keyOrders_;
    std::map<size_t, OrderCache> orders_;
    // Order lookups through keyOrders_ since the last change: past half the rows, a pass
    // is under way and the arrays pay.
    uint32_t orderLookups_ = 0;
    size_t touched_ = 0; // the block the last change touched
    // Reused for lookups, so that they allocate nothing.
    IndexOrder::Entry probe_;
    std::vector<uint8_t> keyBuffer_;
    std::unique_ptr<BlobFile> blobs_;
};

} // namespace idp
