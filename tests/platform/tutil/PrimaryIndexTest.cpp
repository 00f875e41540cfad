// Verify judges a .PX by what a primary index promises, not by how our writer lays one out:
// indexes written another way (fuller or emptier blocks, more levels, the root first, an
// unused block, other bytes where the format leaves them open) are sound, and each broken
// promise is found. The other way is written here from the public description of the
// format, independently of the engine's writer.
#include <algorithm>
#include <cstring>
#include <functional>

#include "DamagedTables.h"
#include "TestTables.h"
#include "core/Bytes.h"
#include "core/Os.h"
#include "core/PrimaryIndexCheck.h"
#include "core/TableImage.h"
#include "core/TablePath.h"
#include "core/Tutil.h"

using namespace tutiltest;

namespace {

constexpr size_t kPxHeader = 0x800, kBlockHead = 6, kTrailer = 6;

// A short of an index record: big-endian, sign bit flipped, as the record fields are.
void PutRecordShort(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>((v >> 8) ^ 0x80);
    p[1] = static_cast<uint8_t>(v);
}

// A .PX written top-down: the root is block 1, each level's blocks follow the level above.
class ForeignPx {
  public:
    struct Entry {
        const uint8_t* key;
        uint32_t child; // a data block on the lowest level, else a block of the level below
        uint32_t count;
    };

    // The data blocks of the table at dbPath in chain order, perBlock entries to a block;
    // spare unused blocks at the end, and unknown in each record's third short.
    ForeignPx(const std::string& dbPath, size_t perBlock, uint16_t spareBlocks = 0,
              uint16_t unknown = 0)
        : image_(tutil::TableImage::Read(dbPath, false)), spare_(spareBlocks), unknown_(unknown) {
        keySize_ = image_.Header().schema.KeySize();
        blockSize_ = image_.Header().schema.blockSize;
        std::vector<Entry> level;
        for (uint16_t n = image_.Header().firstBlock; n != 0; n = image_.Next(n)) {
            bool exact = true;
            level.push_back({image_.Row(n, 0), n, image_.Rows(n, exact)});
        }
        // levels_[0] is the lowest level; each holds its blocks, each block its entries.
        for (;;) {
            levels_.emplace_back();
            for (size_t i = 0; i < level.size(); i += perBlock)
                levels_.back().emplace_back(level.begin() + i,
                                            level.begin() + std::min(level.size(), i + perBlock));
            if (levels_.back().size() == 1)
                break;
            std::vector<Entry> upper;
            for (size_t b = 0; b < levels_.back().size(); ++b) {
                uint32_t sum = 0;
                for (const Entry& e : levels_.back()[b])
                    sum += e.count;
                upper.push_back({levels_.back()[b][0].key, static_cast<uint32_t>(b), sum});
            }
            level = std::move(upper);
        }
    }

    // The entries as the bytes will hold them; change them before Bytes().
    std::vector<std::vector<std::vector<Entry>>>& Model() { return levels_; }
    std::vector<uint8_t> Bytes() const {
        const size_t record = keySize_ + kTrailer;
        const uint16_t used = Number(0, levels_[0].size() - 1);
        const uint16_t blocks = static_cast<uint16_t>(used + spare_);
        std::vector<uint8_t> px(kPxHeader + size_t{blocks} * blockSize_, 0);
        uint32_t records = 0;
        for (size_t l = 0; l < levels_.size(); ++l)
            for (size_t b = 0; b < levels_[l].size(); ++b) {
                uint8_t* block = &px[kPxHeader + (Number(l, b) - 1u) * size_t{blockSize_}];
                const auto& entries = levels_[l][b];
                idp::PutU16(block, b + 1 < levels_[l].size() ? Number(l, b + 1) : 0);
                idp::PutU16(block + 2, b > 0 ? Number(l, b - 1) : 0);
                idp::PutU16(block + 4, static_cast<uint16_t>((entries.size() - 1) * record));
                for (size_t e = 0; e < entries.size(); ++e) {
                    uint8_t* r = block + kBlockHead + e * record;
                    std::memcpy(r, entries[e].key, keySize_);
                    const uint32_t child =
                        l == 0 ? entries[e].child : Number(l - 1, entries[e].child);
                    PutRecordShort(r + keySize_, child);
                    PutRecordShort(r + keySize_ + 2, entries[e].count);
                    PutRecordShort(r + keySize_ + 4, unknown_);
                    ++records;
                }
            }
        for (uint16_t n = used + 1; n <= blocks; ++n) // an empty block holds minus a record
            idp::PutU16(&px[kPxHeader + (n - 1u) * size_t{blockSize_} + 4],
                        static_cast<uint16_t>(-static_cast<int>(record)));
        idp::PutU16(&px[0x00], static_cast<uint16_t>(record));
        idp::PutU16(&px[0x02], kPxHeader);
        px[0x04] = 1;
        px[0x05] = static_cast<uint8_t>(blockSize_ / 1024);
        idp::PutU32(&px[0x06], records);
        idp::PutU16(&px[0x0A], used);
        idp::PutU16(&px[0x0C], blocks);
        idp::PutU16(&px[0x0E], 1);
        idp::PutU16(&px[0x10], used);
        idp::PutU16(&px[0x1E], 1);
        px[0x20] = static_cast<uint8_t>(levels_.size());
        px[0x21] = static_cast<uint8_t>(image_.Header().schema.keyFields);
        return px;
    }

  private:
    // The block number of block b of a level, counted from the lowest.
    uint16_t Number(size_t level, size_t b) const {
        uint16_t n = 1;
        for (size_t l = levels_.size() - 1; l > level; --l)
            n = static_cast<uint16_t>(n + levels_[l].size());
        return static_cast<uint16_t>(n + b);
    }

    tutil::TableImage image_;
    uint16_t keySize_ = 0, blockSize_ = 0, spare_, unknown_;
    std::vector<std::vector<std::vector<ForeignPx::Entry>>> levels_;
};

TEST(TutilPrimaryIndex, OtherLayoutsAreSoundAndEachBrokenPromiseIsFound) {
    idptest::ScratchDir dir;
    const std::string healthy = dir.Path("Healthy.db"), db = dir.Path("T.db");
    MakeTagTable(healthy, 600); // 40 data blocks, keys of 255 bytes
    const std::string px = idp::CompanionPath(db, "PX");
    using Bytes = std::vector<uint8_t>;
    using Model = std::vector<std::vector<std::vector<ForeignPx::Entry>>>;
    // The index to store, from the foreign writer's entries and the engine's own bytes.
    using Make = std::function<Bytes(ForeignPx&, Bytes ours)>;
    const Make foreign = [](ForeignPx& p, Bytes) { return p.Bytes(); };
    const auto changed = [](std::function<void(Model&)> change) -> Make {
        return [change](ForeignPx& p, Bytes) {
            change(p.Model());
            return p.Bytes();
        };
    };
    const auto patched = [](std::function<void(Bytes&)> patch) -> Make {
        return [patch](ForeignPx& p, Bytes) {
            Bytes b = p.Bytes();
            patch(b);
            return b;
        };
    };
    struct Case {
        const char* name;
        size_t perBlock;
        Make make;
        const char* fault; // what the finding says; null: sound
    };
    const Case cases[] = {
        {"ours, with bytes after its last entry changed", 3,
         [](ForeignPx&, Bytes b) {
             b.back() ^= 0x5A;
             return b;
         },
         nullptr},
        {"two entries a block, six levels", 2, foreign, nullptr},
        {"as full as blocks go, two levels", 15, foreign, nullptr},
        {"a row count off by one", 3, changed([](Model& m) { ++m[0][2][1].count; }),
         "counts 16 rows"},
        {"an upper count off by one", 3, changed([](Model& m) { ++m[1][0][1].count; }),
         "counts 46 rows"},
        {"an upper key that is not its block's first", 3,
         changed([](Model& m) { m[1][1][0].key = m[0][3][1].key; }), "not the first key"},
        {"the last data block left out", 4, changed([](Model& m) {
             const uint32_t dropped = m[0].back().back().count;
             m[0].back().pop_back();
             for (size_t l = 1; l < m.size(); ++l)
                 m[l].back().back().count -= dropped;
         }),
         "leaves out data block 40"},
        {"two data blocks swapped", 3,
         changed([](Model& m) { std::swap(m[0][0][0].child, m[0][0][1].child); }), "is due"},
        {"an index block reached twice", 3,
         changed([](Model& m) { m[1][0][1].child = m[1][0][0].child; }), "reached twice"},
        {"a child outside the file", 3,
         patched([](Bytes& b) { PutRecordShort(&b[kPxHeader + kBlockHead + 255], 4000); }),
         "outside the file"},
        {"one level too many", 3, patched([](Bytes& b) { ++b[0x20]; }), "reached twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CopyTable(healthy, db);
        // The sound ones carry two unused blocks and a third short that is not zero.
        ForeignPx p(db, c.perBlock, c.fault ? 0 : 2, c.fault ? 0 : 7);
        idptest::WriteFile(px, c.make(p, idptest::ReadFile(px)));
        if (c.perBlock == 2) {
            EXPECT_EQ(6u, p.Model().size()); // levels
        }
        const tutil::VerifyReport r = tutil::VerifyTable(dir.Path("T"), 0, nullptr);
        const std::string said = r.findings.empty() ? "" : r.findings[0].message;
        EXPECT_EQ(c.fault ? 1 : 0, r.level) << said;
        if (c.fault) {
            EXPECT_EQ(103, r.findings[0].code);
            EXPECT_NE(std::string::npos, said.find(c.fault)) << said;
        }
    }
}

// Data blocks are numbered up to 65535, past what a signed short holds: the engine's writer,
// its reader (which opening uses) and verify must read the same numbers back, on the lowest
// level and through the levels above.
TEST(TutilPrimaryIndex, BlockNumbersPastTheSignedShortReadBackAsWritten) {
    idptest::ScratchDir dir;
    const std::string db = dir.Path("T.db"), px = dir.Path("T.px");
    MakeTagTable(db, 1);
    const idp::Schema schema = tutil::TableImage::Read(db, false).Header().schema;
    const auto range = [](uint16_t first, uint16_t count) {
        std::vector<uint16_t> numbers(count);
        for (uint16_t i = 0; i < count; ++i)
            numbers[i] = static_cast<uint16_t>(first + i);
        return numbers;
    };
    const std::vector<std::vector<uint16_t>> cases = {
        {1, 32767},
        {32766, 32767, 32768, 32769},
        {40000, 65534, 65535, 1},
        range(32760, 40), // two levels, the upper one naming low index blocks
    };
    for (const std::vector<uint16_t>& numbers : cases) {
        SCOPED_TRACE(numbers.front());
        std::vector<std::vector<uint8_t>> keys;
        std::vector<idp::IndexEntry> entries;
        for (size_t i = 0; i < numbers.size(); ++i) {
            const std::string key = "Key " + std::to_string(1000 + i);
            keys.emplace_back(schema.KeySize(), uint8_t{0});
            std::copy(key.begin(), key.end(), keys.back().begin());
        }
        for (size_t i = 0; i < numbers.size(); ++i)
            entries.push_back({keys[i].data(), numbers[i], 1});
        const std::vector<uint8_t> bytes = idp::BuildPrimaryIndex(schema, entries);
        idptest::WriteFile(px, bytes);
        idp::IndexLevel level;
        ASSERT_TRUE(idp::ReadPrimaryIndex(idp::os::File::Open(px, false, idp::os::Lock::None),
                                          schema, level));
        EXPECT_EQ(numbers, level.blocks);
        EXPECT_EQ("", tutil::PrimaryIndexFault(schema, bytes.data(), bytes.size(), entries));
    }
}

} // namespace
