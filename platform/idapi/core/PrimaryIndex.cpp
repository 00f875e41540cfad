// The .PX layout: a 2K header like a version 3 table header (key field types at 0x58,
// root block at 0x1E, index levels at 0x20), then index blocks shaped like data blocks.
// An index record is the key fields followed by three shorts in record encoding: the
// block it points to (a data block on level 1, an index block above), the number of
// records below it, and a zero. Each level's blocks are chained; the root comes last.
#include "PrimaryIndex.h"

#include <cstring>

#include "Bytes.h"
#include "FieldCodec.h"
#include "Status.h"

namespace idp {

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
    const uint16_t recSize = static_cast<uint16_t>(keySize + 6);
    const uint16_t perBlock = static_cast<uint16_t>((schema.blockSize - 6) / recSize);
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
            PutU16(&block[0], b + 1 < blocksHere ? number + 1 : 0);
            PutU16(&block[2], b > 0 ? number - 1 : 0);
            PutU16(&block[4], static_cast<uint16_t>((count - 1) * recSize));
            uint32_t sum = 0;
            for (size_t i = 0; i < count; ++i) {
                const Entry& e = level[first + i];
                uint8_t* rec = &block[6 + i * recSize];
                std::memcpy(rec, e.key.data(), keySize);
                PutShort(rec + keySize, e.block);
                PutShort(rec + keySize + 2, e.count);
                PutShort(rec + keySize + 4, 0);
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
    PutU16(h + 0x00, recSize);
    PutU16(h + 0x02, kPxHeaderSize);
    h[0x04] = 1;
    h[0x05] = static_cast<uint8_t>(schema.blockSize / 1024);
    PutU32(h + 0x06, totalRecords);
    PutU16(h + 0x0A, used);
    PutU16(h + 0x0C, used);
    PutU16(h + 0x0E, used ? 1 : 0);
    PutU16(h + 0x10, used);
    PutU16(h + 0x1E, root);
    h[0x20] = static_cast<uint8_t>(levels);
    PutU16(h + 0x21, schema.keyFields);
    h[0x39] = schema.version;
    size_t at = 0x58;
    for (uint16_t i = 0; i < schema.keyFields; ++i) {
        const Field& f = schema.fields[i];
        h[at++] = f.type;
        h[at++] = static_cast<uint8_t>(f.type == 0x17 ? f.size : f.width);
    }
    return file;
}

} // namespace idp
