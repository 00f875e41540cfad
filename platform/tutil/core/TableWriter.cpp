// Writing tables whole: the blocks, the primary index and the sidecar.
#include "TableWriter.h"

#include <algorithm>
#include <cstring>

#include "core/Bytes.h"
#include "core/FileLayout.h"
#include "core/Os.h"
#include "core/PrimaryIndex.h"
#include "core/Status.h"
#include "core/TablePath.h"

namespace tutil {

void WriteTableFiles(const std::string& dbPath, TableContent c) {
    idp::TableHeader& h = c.header;
    const idp::Schema& s = h.schema;
    const uint16_t rs = s.recordSize, bs = s.blockSize, rpb = s.RecordsPerBlock();
    std::vector<uint16_t> fills;
    size_t left = c.rows.size();
    for (uint16_t fill : c.fills) {
        if (left == 0)
            break;
        if (fill == 0)
            continue;
        uint16_t n = static_cast<uint16_t>(std::min<size_t>({size_t{fill}, size_t{rpb}, left}));
        fills.push_back(n);
        left -= n;
    }
    for (; left > 0; left -= std::min<size_t>(rpb, left))
        fills.push_back(static_cast<uint16_t>(std::min<size_t>(rpb, left)));
    if (fills.size() > 0xFFFF)
        throw idp::EngineError(IDP_ERR_TABLE_FULL, "Table: " + dbPath);
    const uint16_t blocks = static_cast<uint16_t>(fills.size());
    h.numRecords = static_cast<uint32_t>(c.rows.size());
    h.fileBlocks = h.usedBlocks = blocks;
    h.firstBlock = blocks ? 1 : 0;
    h.lastBlock = blocks;
    idp::StoreCounts(h);

    std::vector<uint8_t> image(h.headerSize + size_t{blocks} * bs, 0);
    std::memcpy(image.data(), h.raw.data(), h.headerSize);
    std::vector<idp::IndexEntry> entries;
    size_t row = 0;
    for (uint16_t b = 0; b < blocks; ++b) {
        uint8_t* block = &image[h.headerSize + size_t{b} * bs];
        const uint16_t number = static_cast<uint16_t>(b + 1);
        idp::PutU16(block + idp::layout::kBlockNext, b + 1 < blocks ? number + 1 : 0);
        idp::PutU16(block + idp::layout::kBlockPrev, b > 0 ? number - 1 : 0);
        idp::PutU16(block + idp::layout::kBlockLastOffset,
                    static_cast<uint16_t>((fills[b] - 1) * rs));
        uint8_t* rows = block + idp::layout::kBlockHeader;
        for (uint16_t r = 0; r < fills[b]; ++r)
            std::memcpy(rows + size_t{r} * rs, c.rows[row++], rs);
        entries.push_back({rows, number, fills[b]});
    }
    {
        idp::os::File db = idp::os::File::Create(dbPath, idp::os::Lock::Exclusive);
        db.WriteAt(0, image.data(), image.size());
    }
    if (s.Keyed()) {
        std::vector<uint8_t> px = idp::BuildPrimaryIndex(s, entries);
        idp::os::File f =
            idp::os::File::Create(idp::CompanionPath(dbPath, "PX"), idp::os::Lock::None);
        f.WriteAt(0, px.data(), px.size());
    }
    idp::SaveIndexes(idp::CompanionPath(dbPath, "QIX"), s, c.indexes);
}

idp::TableHeader HeaderFor(std::vector<idp::Field> fields, const std::string& tableName) {
    idp::Schema schema;
    uint32_t offset = 0;
    for (idp::Field& f : fields) {
        f.offset = static_cast<uint16_t>(offset);
        offset += f.width;
    }
    schema.fields = std::move(fields);
    schema.recordSize = static_cast<uint16_t>(offset);
    return idp::NewHeader(schema, tableName);
}

} // namespace tutil
