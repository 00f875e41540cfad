// Writing changes back: changed blocks in runs, new blocks before the blocks that link to
// them, then the header, freed blocks emptied, and at a full flush the .PX, so that a
// failure part way leaves the previous chain whole.
#include "Table.h"

#include <algorithm>
#include <cstring>

#include "FileLayout.h"
#include "PrimaryIndex.h"
#include "Status.h"
#include "TablePath.h"

namespace idp {

namespace {

constexpr size_t kWriteRun = 1 << 20;
// Rows appended to an unkeyed table wait in memory until this much of them is pending:
// each write is a system call (under Wine a round trip to its server as well), and an
// import appends row after row.
constexpr size_t kAppendBatch = 64 << 10;

} // namespace

void Table::BlockImage(const Block* b, uint8_t* image) const {
    const Schema& s = header_.schema;
    // Only what the records leave is cleared: the memset of msvcrt, as Wine has it, is
    // slow enough to matter over a whole table.
    const size_t used = layout::kBlockHeader + (b ? size_t{b->count} * s.recordSize : 0);
    std::memset(image + used, 0, s.blockSize - used);
    if (!b) {
        PutU16(image + layout::kBlockNext, 0);
        PutU16(image + layout::kBlockPrev, 0);
        PutU16(image + layout::kBlockLastOffset,
               static_cast<uint16_t>(-static_cast<int>(s.recordSize)));
        return;
    }
    PutU16(image + layout::kBlockNext, b->next);
    PutU16(image + layout::kBlockPrev, b->prev);
    PutU16(image + layout::kBlockLastOffset, static_cast<uint16_t>((b->count - 1) * s.recordSize));
    std::memcpy(image + layout::kBlockHeader, b->Rows(), size_t{b->count} * s.recordSize);
}

// Writes the blocks' images, each run of consecutive block numbers with one write.
void Table::WriteRuns(const std::vector<Block*>& blocks) {
    const uint16_t bs = header_.schema.blockSize;
    uint16_t runStart = 0, expect = 0;
    auto emit = [&] {
        if (!writeBuffer_.empty())
            file_.WriteAt(header_.headerSize + uint64_t{runStart - 1u} * bs, writeBuffer_.data(),
                          writeBuffer_.size());
        writeBuffer_.clear();
    };
    // Grown once to what the writes need, not doubling on the way.
    writeBuffer_.reserve(std::min(blocks.size() * bs, kWriteRun + bs));
    for (const Block* b : blocks) {
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

void Table::WriteBlocks() {
    std::sort(dirtyList_.begin(), dirtyList_.end(),
              [](const Block* a, const Block* b) { return a->number < b->number; });
    // Fresh blocks first: until the blocks that link to them are written they are unseen.
    // Last the blocks that only gave up records: a row moving from one block to another
    // is on disk twice, never nowhere, if the writes stop between them.
    auto pass_of = [](const Block* b) { return b->fresh ? 0 : b->lost && !b->gained ? 2 : 1; };
    std::vector<Block*> run;
    for (int pass = 0; pass < 3; ++pass) {
        run.clear();
        for (Block* b : dirtyList_)
            if (pass_of(b) == pass)
                run.push_back(b);
        WriteRuns(run);
    }
    for (Block* b : dirtyList_)
        b->dirty = b->fresh = b->gained = b->lost = false;
    // Rows appended to an unkeyed table (an import filling its scratch table) are not
    // looked at again: the blocks behind the last leave memory once written.
    if (appendOnly_ && !header_.schema.Keyed())
        for (Block* b : dirtyList_)
            if (b != blocks_.back().get())
                Drop(*b);
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
    if (!full && appendOnly_ && pendingEmpty_.empty() &&
        dirtyList_.size() * header_.schema.blockSize < kAppendBatch)
        return; // appends wait for a batch of blocks
#ifndef NDEBUG
    // A table read from a damaged file is checked no further than the damage.
    if (full && header_.schema.Keyed() && !keyOrderChecked_)
        VerifyKeyOrder();
    if (full && !damaged_)
        AssertIntact(CheckInvariants());
#endif
    bool blocksDirty = !dirtyList_.empty();
    bool writeHeader = structureChanged_ || !pendingEmpty_.empty() || full;
    bool writeIndex = full && header_.schema.Keyed();
    if (!blocksDirty && !writeHeader)
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
                entries.push_back({FirstKey(*b), b->number, b->count});
            // Made anew when missing: a table copied without its .PX stays writable. It goes
            // out a run at a time as it is made, the header last.
            os::File px = os::File::Create(CompanionPath(path_, "PX"), os::Lock::None);
            uint64_t start = 0;
            writeBuffer_.clear();
            auto emit = [&] {
                if (!writeBuffer_.empty())
                    px.WriteAt(start, writeBuffer_.data(), writeBuffer_.size());
                writeBuffer_.clear();
            };
            const size_t size = WritePrimaryIndex(
                header_.schema, entries, [&](size_t at, const uint8_t* bytes, size_t n) {
                    if (!writeBuffer_.empty() &&
                        (start + writeBuffer_.size() != at || writeBuffer_.size() >= kWriteRun))
                        emit();
                    if (writeBuffer_.empty())
                        start = at;
                    writeBuffer_.insert(writeBuffer_.end(), bytes, bytes + n);
                });
            emit();
            px.Truncate(size);
        }
    } catch (const EngineError&) {
        broken_ = true;
        throw;
    }
    structureChanged_ = false;
    appendOnly_ = false;
    if (full)
        modified_ = false;
}

} // namespace idp
