// Opening a table: the header, then each data block's number, rows and first key, from
// the .PX's first level when it is as new as the data and agrees with the header, or else
// from the blocks' own headers read in one pass that keeps no rows; the chain followed with
// every link checked. The whole file is read once, at the first change, which checks what
// the .PX said and finds the highest autoincrement value; and rows of another sort order
// are put into the order our searches use.
#include "Table.h"

#include <algorithm>
#include <cstring>

#include "../idapi.h"
#include "FieldCodec.h"
#include "FileLayout.h"
#include "PrimaryIndex.h"
#include "Status.h"
#include "TablePath.h"

namespace idp {

namespace {

// A header is a multiple of 2 KB and says its own size (16 bits) near its start. Most fit
// in the first read; a larger one (a table of many fields) is read again at its full size.
constexpr size_t kFirstHeaderRead = 0x1000;

} // namespace

uint32_t Table::BlockRows(ByteView block, uint16_t recordSize, uint16_t perBlock, bool& exact) {
    uint16_t last = 0;
    exact = block.U16(layout::kBlockLastOffset, last);
    int32_t lastOffset = static_cast<int16_t>(last);
    if (lastOffset < 0)
        return 0;
    if (lastOffset % recordSize != 0)
        exact = false;
    uint32_t count = static_cast<uint32_t>(lastOffset / recordSize + 1);
    if (count > perBlock) {
        exact = false;
        count = perBlock;
    }
    return count;
}

TableHeader Table::ReadHeader(const os::File& file, const std::string& path) {
    const uint64_t size = file.Size();
    std::vector<uint8_t> bytes(std::min<uint64_t>(size, kFirstHeaderRead));
    bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
    uint16_t headerSize = 0;
    if (ByteView(bytes).U16(layout::kHeaderSize, headerSize) && headerSize > bytes.size() &&
        bytes.size() < size) {
        bytes.resize(std::min<uint64_t>(size, headerSize));
        bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
    }
    return ParseHeader(ByteView(bytes), path);
}

uint16_t Table::BlocksInFile() const {
    const uint64_t size = file_.Size();
    const uint64_t data = size > header_.headerSize ? size - header_.headerSize : 0;
    return static_cast<uint16_t>(std::min<uint64_t>(data / header_.schema.blockSize, 0xFFFF));
}

void Table::Load(bool trustIndex) {
    header_ = ReadHeader(file_, path_);
    if (header_.encrypted)
        throw EngineError(IDP_ERR_PASSWORD, "Table: " + path_);
    Schema& s = header_.schema;
    indexes_ = LoadIndexes(CompanionPath(path_, "QIX"), s);
    blocks_.clear();
    firstHeads_.clear();
    dirtyList_.clear();
    freeNumbers_.clear();
    pendingEmpty_.clear();
    orders_.clear();
    loaded_.reset();
    numbers_.clear();
    rows_ = 0;
    lastKeyBlock_ = 0;
    damaged_ = keyOrderChecked_ = structureChanged_ = false;
    verified_ = autoIncKnown_ = false;
    const uint16_t available = BlocksInFile();
    // Rows of another sort order are read whole below anyway.
    if (!(trustIndex && s.Keyed() && s.sortOrder == 0 && LoadFromIndex(available)))
        LoadFromBlocks(available);
    std::vector<bool> inChain(available + 1u, false);
    for (size_t i = 0; i < blocks_.size(); ++i) {
        Link(i);
        inChain[blocks_[i]->number] = true;
    }
    for (uint16_t n = 1; n <= available; ++n)
        if (!inChain[n])
            freeNumbers_.insert(n);
    diskBlocks_ = available;
    header_.fileBlocks = diskBlocks_;
    bool strictly = true;
    if (s.Keyed() && s.sortOrder != 0)
        ReadWhole();
    if (s.Keyed() && s.sortOrder != 0 && !KeysRise(strictly)) {
        // A keyed table written with another sort order than plain byte order ("ascii")
        // may hold its rows in an order our searches do not expect; sort it so lookups
        // work, and write it back at the next change.
        const size_t rs = s.recordSize;
        std::vector<std::vector<uint8_t>> all;
        for (const auto& b : blocks_)
            for (uint16_t i = 0; i < b->count; ++i)
                all.emplace_back(b->Rows() + i * rs, b->Rows() + (i + 1u) * rs);
        std::stable_sort(all.begin(), all.end(), [&](const auto& a, const auto& b) {
            return KeyCompare(a.data(), b.data()) < 0;
        });
        size_t k = 0;
        for (auto& b : blocks_) {
            uint8_t* rows = b->Rows();
            for (uint16_t i = 0; i < b->count; ++i, ++k)
                std::memcpy(rows + i * rs, all[k].data(), rs);
            MarkDirty(*b);
        }
        SetFirstHeads();
        VerifyKeyOrder();
    }
    keyOrders_.clear();
    keyOrders_.resize(indexes_.size());
    positionsValid_ = false;
    ++generation_;
}

bool Table::LoadFromIndex(uint16_t available) {
    const Schema& s = header_.schema;
    IndexLevel level;
    try {
        os::File px = os::File::Open(CompanionPath(path_, "PX"), false, os::Lock::None);
        // The engine writes the .PX after the blocks whenever it writes it, and other
        // writers keep it up with every change: a .PX older than the data was left behind.
        if (px.ModifiedTime() < file_.ModifiedTime() || !ReadPrimaryIndex(px, s, level))
            return false;
    } catch (const EngineError&) {
        return false; // missing or unreadable: the blocks' headers will do
    }
    const size_t n = level.blocks.size();
    uint64_t total = 0;
    for (size_t i = 0; i < n; ++i) {
        if (level.blocks[i] > available || level.counts[i] > s.RecordsPerBlock())
            return false;
        total += level.counts[i];
    }
    const bool ends = n == 0 ? header_.firstBlock == 0
                             : level.blocks.front() == header_.firstBlock &&
                                   level.blocks.back() == header_.lastBlock;
    if (!ends || n != header_.usedBlocks || total != header_.numRecords)
        return false;
    for (size_t i = 0; i < n; ++i) {
        auto b = std::make_unique<Block>();
        b->number = level.blocks[i];
        b->count = level.counts[i];
        b->prev = i > 0 ? level.blocks[i - 1] : 0;
        b->next = i + 1 < n ? level.blocks[i + 1] : 0;
        b->head = level.heads[i];
        firstHeads_.push_back(b->head);
        blocks_.push_back(std::move(b));
    }
    rows_ = static_cast<uint32_t>(total);
    return true;
}

void Table::LoadFromBlocks(uint16_t available) {
    const Schema& s = header_.schema;
    std::vector<BlockHead> heads(available + 1u);
    const size_t slice = std::max<size_t>(1, kReadRun / s.blockSize);
    std::vector<uint8_t> buffer(std::min<size_t>(slice, available) * s.blockSize);
    for (size_t first = 1; first <= available; first += slice) {
        const size_t count = std::min<size_t>(slice, available - first + 1);
        const size_t bytes = count * s.blockSize;
        if (file_.ReadAt(header_.headerSize + (first - 1) * s.blockSize, buffer.data(), bytes) !=
            bytes)
            ThrowDamaged(path_, "The file ended while being read.");
        for (size_t k = 0; k < count; ++k) {
            ByteView block(&buffer[k * s.blockSize], s.blockSize);
            BlockHead& h = heads[first + k];
            block.U16(layout::kBlockNext, h.next);
            block.U16(layout::kBlockPrev, h.prev);
            h.count =
                static_cast<uint16_t>(BlockRows(block, s.recordSize, s.RecordsPerBlock(), h.exact));
            if (s.Keyed())
                h.key = HeadOfKey(block.Data() + layout::kBlockHeader);
        }
        NoteAutoIncs(buffer.data(), count);
    }
    std::vector<bool> seen(available + 1u, false);
    uint16_t number = header_.firstBlock;
    while (number != 0) {
        if (number > available || seen[number]) {
            damaged_ = true; // a link outside the file or a loop: keep what came before
            break;
        }
        seen[number] = true;
        const BlockHead& h = heads[number];
        if (!h.exact)
            damaged_ = true;
        if (h.count == 0) {
            // An empty block in the chain: leave it out and relink around it when writing.
            freeNumbers_.insert(number);
            if (!blocks_.empty())
                MarkDirty(*blocks_.back());
            structureChanged_ = true;
        } else {
            auto b = std::make_unique<Block>();
            b->number = number;
            b->count = h.count;
            // The links as they are on disk, so that only blocks whose links are wrong
            // are written again.
            b->next = h.next;
            b->prev = h.prev;
            b->head = h.key;
            if (s.Keyed())
                firstHeads_.push_back(b->head);
            blocks_.push_back(std::move(b));
            rows_ += h.count;
        }
        number = h.next;
    }
    if (header_.firstBlock == 0 && header_.numRecords > 0)
        damaged_ = true;
    verified_ = autoIncKnown_ = true;
}

// The next number must pass every value present, whatever the header says: the values of
// every block of the file are looked at, in the chain or not.
void Table::NoteAutoIncs(const uint8_t* blocks, size_t count) {
    const Schema& s = header_.schema;
    for (const Field& f : s.fields) {
        if (f.type != IDP_FLD_AUTOINC)
            continue;
        for (size_t k = 0; k < count; ++k) {
            ByteView block(blocks + k * s.blockSize, s.blockSize);
            bool exact = true;
            const uint32_t rows = BlockRows(block, s.recordSize, s.RecordsPerBlock(), exact);
            for (uint32_t r = 0; r < rows; ++r) {
                const size_t field = layout::kBlockHeader + r * size_t{s.recordSize} + f.offset;
                uint32_t raw = 0;
                if (block.U32(field, raw) && raw != 0) // not blank
                    header_.autoInc =
                        std::max(header_.autoInc,
                                 static_cast<int32_t>(DecodeInteger(block.Data() + field, 4)));
            }
        }
    }
}

void Table::ReadWhole() {
    const Schema& s = header_.schema;
    const uint16_t available = BlocksInFile();
    // One buffer (left uninitialised: the reads fill every byte), read a slice at a time so
    // that each slice is still in the cache when its autoincrement values are looked at.
    const size_t dataSize = size_t{available} * s.blockSize;
    std::unique_ptr<uint8_t[]> data(new uint8_t[dataSize ? dataSize : 1]);
    const size_t slice = std::max<size_t>(1, kReadRun / s.blockSize) * s.blockSize;
    for (size_t at = 0; at < dataSize; at += slice) {
        const size_t part = std::min(slice, dataSize - at);
        if (file_.ReadAt(header_.headerSize + at, data.get() + at, part) != part)
            ThrowDamaged(path_, "The file ended while being read.");
        NoteAutoIncs(data.get() + at, part / s.blockSize);
    }
    autoIncKnown_ = true;
    for (const auto& b : blocks_)
        if (!verified_ && !b->fresh &&
            (b->number > available ||
             !PageMatches(*b, data.get() + (b->number - 1u) * size_t{s.blockSize})))
            PageMismatch();
    verified_ = true;
    // Blocks read alone before, and unchanged, use the whole file's copy from now on.
    for (const auto& b : blocks_)
        if (!b->dirty && !b->fresh && b->number <= available) {
            std::vector<uint8_t>().swap(b->data);
            b->loaded = data.get() + (b->number - 1u) * size_t{s.blockSize} + layout::kBlockHeader;
        }
    loaded_ = std::move(data);
}

// Rows out of key order, or two with one key, come only from a damaged file: they can be
// read, but not changed.
void Table::VerifyKeyOrder() {
    bool strictly = true;
    KeysRise(strictly);
    keyOrderChecked_ = true;
    if (!strictly)
        damaged_ = true;
}

// Whether the rows' keys never fall from one row to the next; strictly is false when
// they do not rise at every step.
bool Table::KeysRise(bool& strictly) {
    strictly = true;
    bool rise = true;
    const uint16_t keySize = header_.schema.KeySize();
    std::vector<uint8_t> prev;
    ForEachBlock([&](size_t, const uint8_t* rows, uint16_t count) {
        for (uint16_t i = 0; i < count && rise; ++i) {
            const uint8_t* r = rows + size_t{i} * header_.schema.recordSize;
            if (!prev.empty()) {
                int c = KeyCompare(prev.data(), r);
                if (c > 0)
                    rise = strictly = false;
                if (c == 0)
                    strictly = false;
            }
            prev.assign(r, r + keySize);
        }
        return rise;
    });
    return rise;
}

void Table::Reload() {
    if (modified_ || broken_)
        return;
    Load();
}

} // namespace idp
