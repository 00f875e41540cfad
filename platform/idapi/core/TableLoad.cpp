// Reading a table into memory: the data blocks in one pass, the block chain followed with
// every link checked, and rows of another sort order put into the order our searches use.
#include "Table.h"

#include <algorithm>
#include <cstring>

#include "../idapi.h"
#include "FieldCodec.h"
#include "FileLayout.h"
#include "Status.h"
#include "TablePath.h"

namespace idp {

namespace {

constexpr size_t kMaxHeaderRead = 0x10000;

// The records a data block says it holds, never more than it can hold; exact is false
// when its last record's offset is not on a record boundary or claims too many.
uint32_t BlockRows(ByteView block, uint16_t recordSize, uint16_t perBlock, bool& exact) {
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

} // namespace

TableHeader Table::ReadHeader(const os::File& file, const std::string& path) {
    uint64_t size = file.Size();
    std::vector<uint8_t> bytes(size < kMaxHeaderRead ? size : kMaxHeaderRead);
    bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
    return ParseHeader(ByteView(bytes), path);
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
    firstHeads_.clear();
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
            ByteView block(data + b, s.blockSize);
            bool exact = true;
            uint32_t count = BlockRows(block, s.recordSize, rpb, exact);
            for (uint32_t r = 0; r < count; ++r)
                for (uint16_t offset : autoIncOffsets) {
                    size_t field = layout::kBlockHeader + r * rs + offset;
                    uint32_t raw = 0;
                    if (!block.U32(field, raw))
                        continue;
                    if (offset == autoIncOffsets[0])
                        numbers_[b / s.blockSize * rpb + r] = raw;
                    if (raw != 0) // not blank
                        header_.autoInc =
                            std::max(header_.autoInc,
                                     static_cast<int32_t>(DecodeInteger(block.Data() + field, 4)));
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
        uint16_t next = 0, prev = 0;
        block.U16(layout::kBlockNext, next);
        block.U16(layout::kBlockPrev, prev);
        bool exact = true;
        uint32_t count = BlockRows(block, s.recordSize, rpb, exact);
        if (!exact)
            damaged_ = true;
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
            // The links as they are on disk, so that only blocks whose links are wrong
            // are written again.
            b->next = next;
            b->prev = prev;
            b->loaded = data + (number - 1u) * size_t{s.blockSize} + layout::kBlockHeader;
            if (s.Keyed()) // the first key's head shares a cache line with the block header
                firstHeads_.push_back(HeadOfKey(b->loaded));
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
    bool strictly = true;
    keyOrderChecked_ = false;
    if (s.Keyed() && s.sortOrder != 0 && !KeysRise(strictly)) {
        // A keyed table written with another sort order than plain byte order ("ascii")
        // may hold its rows in an order our searches do not expect; sort it so lookups
        // work, and write it back at the next change.
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
    numbersGeneration_ = generation_;
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
bool Table::KeysRise(bool& strictly) const {
    strictly = true;
    const uint8_t* prev = nullptr;
    for (const auto& b : blocks_)
        for (uint16_t i = 0; i < b->count; ++i) {
            const uint8_t* r = b->Rows() + size_t{i} * header_.schema.recordSize;
            if (prev) {
                int c = KeyCompare(prev, r);
                if (c > 0) {
                    strictly = false;
                    return false;
                }
                if (c == 0)
                    strictly = false;
            }
            prev = r;
        }
    return true;
}

void Table::Reload() {
    if (modified_ || broken_)
        return;
    blocks_.clear();
    dirtyList_.clear();
    freeNumbers_.clear();
    pendingEmpty_.clear();
    orders_.clear();
    damaged_ = false;
    Load();
}

} // namespace idp
