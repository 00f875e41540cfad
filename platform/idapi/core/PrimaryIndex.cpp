// The .PX layout: a 2K header like a version 3 table header (with the key field types,
// the root block and the number of index levels), then index blocks shaped like data blocks.
// An index record is the key fields followed by three shorts in record encoding: the
// block it points to (a data block on level 1, an index block above), the number of
// records below it, and a zero. Each level's blocks are chained; the root comes last.
// Reading goes through the file in windows of a few blocks, every value bounds-checked.
#include "PrimaryIndex.h"

#include <algorithm>
#include <cstring>

#include "../idapi.h"
#include "Bytes.h"
#include "FieldCodec.h"
#include "FileLayout.h"
#include "Status.h"

namespace idp {

using namespace layout;

namespace {

constexpr uint16_t kPxHeaderSize = 0x800;

// The keys point into the rows of the data blocks: a block of an upper level is known by
// the first key below it, which is the key of a data block's first row too.
struct Entry {
    const uint8_t* key;
    uint16_t block;
    uint32_t count;
};

// An entry's shorts are laid out as a record's short fields (big-endian, sign bit flipped),
// but a block number is unsigned: data blocks are numbered up to 65535, as their own links
// are. So the number's sixteen bits are stored as they are, and read back unsigned; a
// signed reading would see blocks past 32767 as negative, and a saturated one would name
// block 32767 for all of them.
void PutBlockNumber(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>((v >> 8) ^ 0x80);
    p[1] = static_cast<uint8_t>(v);
}

uint16_t BlockNumberAt(const uint8_t* p) {
    return static_cast<uint16_t>(((p[0] ^ 0x80) << 8) | p[1]);
}

// The rows below an entry can pass what a short holds (upper levels of a large table);
// such a count is stored as the largest it can be, and is only a hint to other readers.
void PutCount(uint8_t* p, uint32_t v) {
    EncodeInteger(p, 2, v > 32767 ? 32767 : v);
}

// The index blocks of a .PX, read a window of neighbours at a time: the first level lies in
// consecutive blocks as this engine writes it, so its walk costs a read per window.
class IndexBlocks {
  public:
    IndexBlocks(const os::File& file, uint16_t headerSize, uint16_t blockSize, uint64_t blocks)
        : file_(file), headerSize_(headerSize), blockSize_(blockSize), blocks_(blocks) {}
    uint64_t Count() const { return blocks_; }
    // Block n (1-based); empty when it lies outside the file.
    ByteView Get(uint64_t n) {
        if (n == 0 || n > blocks_)
            return {};
        if (n < first_ || n >= first_ + held_) {
            const uint64_t want = std::min<uint64_t>(kWindow / blockSize_, blocks_ - n + 1);
            window_.resize(static_cast<size_t>(want * blockSize_));
            size_t got =
                file_.ReadAt(headerSize_ + (n - 1) * blockSize_, window_.data(), window_.size());
            first_ = n;
            held_ = got / blockSize_;
            if (held_ == 0)
                return {};
        }
        return ByteView(&window_[static_cast<size_t>((n - first_) * blockSize_)], blockSize_);
    }

  private:
    static constexpr size_t kWindow = 64 << 10;
    const os::File& file_;
    uint16_t headerSize_, blockSize_;
    uint64_t blocks_;
    std::vector<uint8_t> window_;
    uint64_t first_ = 0, held_ = 0;
};

// The index records of a block, or 0 when its last offset is not on a record of its own.
size_t Records(ByteView block, uint16_t recSize, uint16_t perBlock) {
    uint16_t last = 0;
    if (!block.U16(kBlockLastOffset, last) || static_cast<int16_t>(last) < 0 ||
        last % recSize != 0 || last / recSize >= perBlock)
        return 0;
    return last / recSize + 1u;
}

} // namespace

size_t WritePrimaryIndex(const Schema& schema, const std::vector<IndexEntry>& blocks,
                         const PxSink& sink) {
    const uint16_t keySize = schema.KeySize();
    const uint16_t recSize = static_cast<uint16_t>(keySize + kIndexTrailer);
    const uint16_t perBlock = static_cast<uint16_t>((schema.blockSize - kBlockHeader) / recSize);
    std::vector<Entry> level;
    level.reserve(blocks.size());
    for (const IndexEntry& b : blocks)
        level.push_back({b.key, b.block, b.count});
    uint32_t totalRecords = 0;
    uint16_t nextBlock = 1, root = 0, levels = 0;
    size_t at = kPxHeaderSize;
    std::vector<uint8_t> block(schema.blockSize);
    while (!level.empty() && perBlock >= 2) {
        ++levels;
        std::vector<Entry> upper;
        size_t blocksHere = (level.size() + perBlock - 1) / perBlock;
        if (nextBlock + blocksHere > 0xFFFF)
            throw EngineError(IDP_ERR_TABLE_FULL);
        upper.reserve(blocksHere);
        for (size_t b = 0; b < blocksHere; ++b) {
            uint16_t number = static_cast<uint16_t>(nextBlock + b);
            size_t first = b * perBlock;
            size_t count = level.size() - first < perBlock ? level.size() - first : perBlock;
            std::fill(block.begin(), block.end(), uint8_t{0});
            PutU16(&block[kBlockNext], b + 1 < blocksHere ? number + 1 : 0);
            PutU16(&block[kBlockPrev], b > 0 ? number - 1 : 0);
            PutU16(&block[kBlockLastOffset], static_cast<uint16_t>((count - 1) * recSize));
            uint32_t sum = 0;
            for (size_t i = 0; i < count; ++i) {
                const Entry& e = level[first + i];
                uint8_t* rec = &block[kBlockHeader + i * recSize];
                std::memcpy(rec, e.key, keySize);
                PutBlockNumber(rec + keySize + kIndexChild, e.block);
                PutCount(rec + keySize + kIndexCount, e.count);
                PutCount(rec + keySize + kIndexZero, 0);
                sum += e.count;
            }
            totalRecords += static_cast<uint32_t>(count);
            sink(at, block.data(), block.size());
            at += block.size();
            upper.push_back({level[first].key, number, sum});
        }
        nextBlock = static_cast<uint16_t>(nextBlock + blocksHere);
        if (upper.size() == 1) {
            root = upper[0].block;
            break;
        }
        level = std::move(upper);
    }
    const uint16_t used = static_cast<uint16_t>(nextBlock - 1);
    std::vector<uint8_t> header(kPxHeaderSize, 0);
    uint8_t* h = header.data();
    PutU16(h + kRecordSize, recSize);
    PutU16(h + kHeaderSize, kPxHeaderSize);
    h[kFileType] = 1;
    h[kBlockCode] = static_cast<uint8_t>(schema.blockSize / 1024);
    PutU32(h + kNumRecords, totalRecords);
    PutU16(h + kUsedBlocks, used);
    PutU16(h + kFileBlocks, used);
    PutU16(h + kFirstBlock, used ? 1 : 0);
    PutU16(h + kLastBlock, used);
    PutU16(h + kPxRootBlock, root);
    h[kPxLevels] = static_cast<uint8_t>(levels);
    PutU16(h + kPxKeyFields, schema.keyFields);
    h[kVersion] = schema.version;
    size_t type = kPxFieldTypes;
    for (uint16_t i = 0; i < schema.keyFields; ++i) {
        const Field& f = schema.fields[i];
        h[type++] = f.type;
        h[type++] = static_cast<uint8_t>(f.type == IDP_FLD_BCD ? f.size : f.width);
    }
    sink(0, h, header.size());
    return at;
}

bool ReadPrimaryIndex(const os::File& px, const Schema& schema, IndexLevel& level) {
    level = {};
    const uint16_t keySize = schema.KeySize();
    const uint16_t recSize = static_cast<uint16_t>(keySize + kIndexTrailer);
    const uint16_t perBlock = static_cast<uint16_t>((schema.blockSize - kBlockHeader) / recSize);
    std::vector<uint8_t> head(kPxHeaderSize);
    head.resize(px.ReadAt(0, head.data(), head.size()));
    ByteView h(head);
    uint16_t storedRecSize = 0, headerSize = 0, root = 0, keyFields = 0;
    uint8_t type = 0, blockCode = 0, levels = 0;
    if (!h.U16(kRecordSize, storedRecSize) || !h.U16(kHeaderSize, headerSize) ||
        !h.U8(kFileType, type) || !h.U8(kBlockCode, blockCode) || !h.U16(kPxRootBlock, root) ||
        !h.U8(kPxLevels, levels) || !h.U16(kPxKeyFields, keyFields))
        return false;
    if (type != 1 || blockCode * 1024u != schema.blockSize || storedRecSize != recSize ||
        keyFields != schema.keyFields || headerSize < kPxFieldTypes || perBlock < 2)
        return false;
    const uint64_t size = px.Size();
    IndexBlocks blocks(px, headerSize, schema.blockSize,
                       size > headerSize ? (size - headerSize) / schema.blockSize : 0);
    if (levels == 0)
        return root == 0; // the index of an empty table
    if (levels > 8)
        return false;
    // Down the left edge to the first level's first block.
    uint64_t at = root;
    for (uint8_t l = levels; l > 1; --l) {
        ByteView b = blocks.Get(at);
        if (b.Size() == 0 || Records(b, recSize, perBlock) == 0)
            return false;
        at = BlockNumberAt(b.Data() + kBlockHeader + keySize + kIndexChild);
    }
    std::vector<bool> seen(blocks.Count() + 1, false);
    std::vector<bool> named(0x10000, false);
    std::vector<uint8_t> prev;
    while (at != 0) {
        ByteView b = blocks.Get(at);
        const size_t n = b.Size() ? Records(b, recSize, perBlock) : 0;
        if (n == 0 || seen[at])
            return false;
        seen[at] = true;
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* rec = b.Data() + kBlockHeader + i * recSize;
            const uint16_t child = BlockNumberAt(rec + keySize + kIndexChild);
            const int64_t count = DecodeInteger(rec + keySize + kIndexCount, 2);
            if (child < 1 || count < 1 || named[child])
                return false;
            named[child] = true;
            if (!prev.empty() && std::memcmp(prev.data(), rec, keySize) >= 0)
                return false;
            prev.assign(rec, rec + keySize);
            level.blocks.push_back(child);
            level.counts.push_back(static_cast<uint16_t>(count));
            level.heads.push_back(KeyHead::Of(rec, keySize));
        }
        uint16_t next = 0;
        b.U16(kBlockNext, next);
        at = next;
    }
    return true;
}

std::vector<uint8_t> BuildPrimaryIndex(const Schema& schema,
                                       const std::vector<IndexEntry>& blocks) {
    std::vector<uint8_t> file(kPxHeaderSize);
    WritePrimaryIndex(schema, blocks, [&file](size_t at, const uint8_t* bytes, size_t size) {
        if (file.size() < at + size)
            file.resize(at + size);
        std::memcpy(&file[at], bytes, size);
    });
    return file;
}

} // namespace idp
