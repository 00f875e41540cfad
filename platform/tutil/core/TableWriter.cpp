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

    // The blocks go out a run at a time through one buffer: a whole-file image cost a
    // fresh zeroed allocation as large as the table, whose page faults outweighed the copy.
    std::vector<idp::IndexEntry> entries;
    entries.reserve(blocks);
    {
        idp::os::File db = idp::os::File::Create(dbPath, idp::os::Lock::Exclusive);
        db.WriteAt(0, h.raw.data(), h.headerSize);
        const size_t perRun = std::max<size_t>(1, (size_t{1} << 20) / bs);
        std::vector<uint8_t> run(std::min<size_t>(perRun, blocks) * bs);
        size_t row = 0;
        for (size_t first = 0; first < blocks; first += perRun) {
            const size_t end = std::min<size_t>(blocks, first + perRun);
            std::fill(run.begin(), run.end(), uint8_t{0}); // a block's unused room stays zero
            for (size_t b = first; b < end; ++b) {
                uint8_t* block = &run[(b - first) * bs];
                const auto number = static_cast<uint16_t>(b + 1);
                idp::PutU16(block + idp::layout::kBlockNext, b + 1 < blocks ? number + 1 : 0);
                idp::PutU16(block + idp::layout::kBlockPrev, b > 0 ? number - 1 : 0);
                idp::PutU16(block + idp::layout::kBlockLastOffset,
                            static_cast<uint16_t>((fills[b] - 1) * rs));
                entries.push_back({c.rows[row], number, fills[b]});
                uint8_t* rows = block + idp::layout::kBlockHeader;
                for (uint16_t r = 0; r < fills[b]; ++r)
                    std::memcpy(rows + size_t{r} * rs, c.rows[row++], rs);
            }
            db.WriteAt(h.headerSize + first * bs, run.data(), (end - first) * bs);
        }
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
