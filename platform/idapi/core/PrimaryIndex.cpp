// The .PX layout: a 2K header like a version 3 table header (with the key field types,
// the root block and the number of index levels), then index blocks shaped like data blocks.
// An index record is the key fields followed by three shorts in record encoding: the
// block it points to (a data block on level 1, an index block above), the number of
// records below it, and a zero. Each level's blocks are chained; the root comes last.
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

void PutShort(uint8_t* p, uint32_t v) {
    EncodeInteger(p, 2, v > 32767 ? 32767 : v);
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
                PutShort(rec + keySize + kIndexChild, e.block);
                PutShort(rec + keySize + kIndexCount, e.count);
                PutShort(rec + keySize + kIndexZero, 0);
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
