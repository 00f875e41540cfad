// The .PX layout: a 2K header like a version 3 table header (with the key field types,
// the root block and the number of index levels), then index blocks shaped like data blocks.
// An index record is the key fields followed by three shorts in record encoding: the
// block it points to (a data block on level 1, an index block above), the number of
// records below it, and a zero. Each level's blocks are chained; the root comes last.
#include "PrimaryIndex.h"

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

struct Entry {
    std::vector<uint8_t> key;
    uint16_t block;
    uint32_t count;
};

void PutShort(uint8_t* p, uint32_t v) {
    EncodeInteger(p, 2, v > 32767 ? 32767 : v);
}

} // namespace

std::vector<uint8_t> BuildPrimaryIndex(const Schema& schema,
                                       const std::vector<IndexEntry>& blocks) {
    const uint16_t keySize = schema.KeySize();
    const uint16_t recSize = static_cast<uint16_t>(keySize + kIndexTrailer);
    const uint16_t perBlock = static_cast<uint16_t>((schema.blockSize - kBlockHeader) / recSize);
    std::vector<uint8_t> file(kPxHeaderSize, 0);
    std::vector<Entry> level;
    for (const IndexEntry& b : blocks)
        level.push_back({std::vector<uint8_t>(b.key, b.key + keySize), b.block, b.count});
    uint32_t totalRecords = 0;
    uint16_t nextBlock = 1, root = 0, levels = 0;
    while (!level.empty() && perBlock >= 2) {
        ++levels;
        std::vector<Entry> upper;
        size_t blocksHere = (level.size() + perBlock - 1) / perBlock;
        if (nextBlock + blocksHere > 0xFFFF)
            throw EngineError(IDP_ERR_TABLE_FULL);
        for (size_t b = 0; b < blocksHere; ++b) {
            uint16_t number = static_cast<uint16_t>(nextBlock + b);
            size_t first = b * perBlock;
            size_t count = level.size() - first < perBlock ? level.size() - first : perBlock;
            std::vector<uint8_t> block(schema.blockSize, 0);
            PutU16(&block[kBlockNext], b + 1 < blocksHere ? number + 1 : 0);
            PutU16(&block[kBlockPrev], b > 0 ? number - 1 : 0);
            PutU16(&block[kBlockLastOffset], static_cast<uint16_t>((count - 1) * recSize));
            uint32_t sum = 0;
            for (size_t i = 0; i < count; ++i) {
                const Entry& e = level[first + i];
                uint8_t* rec = &block[kBlockHeader + i * recSize];
                std::memcpy(rec, e.key.data(), keySize);
                PutShort(rec + keySize + kIndexChild, e.block);
                PutShort(rec + keySize + kIndexCount, e.count);
                PutShort(rec + keySize + kIndexZero, 0);
                sum += e.count;
            }
            totalRecords += static_cast<uint32_t>(count);
            file.insert(file.end(), block.begin(), block.end());
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
    uint8_t* h = file.data();
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
    size_t at = kPxFieldTypes;
    for (uint16_t i = 0; i < schema.keyFields; ++i) {
        const Field& f = schema.fields[i];
        h[at++] = f.type;
        h[at++] = static_cast<uint8_t>(f.type == IDP_FLD_BCD ? f.size : f.width);
    }
    return file;
}

} // namespace idp
