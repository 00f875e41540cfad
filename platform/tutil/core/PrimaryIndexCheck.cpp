// The primary index walked from its root down to the data blocks, every read of its bytes
// bounds-checked, every index block visited once.
#include "PrimaryIndexCheck.h"

#include <cstring>

#include "core/Bytes.h"
#include "core/FileLayout.h"

namespace tutil {

namespace {

using namespace idp::layout;

// Row counts above this do not fit the entry's short; writers store them saturated or
// wrapped, so they are not compared.
constexpr uint32_t kLargestCount = 32767;

// A short of an index record: big-endian with the sign bit flipped, as record fields are.
uint16_t RecordShort(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8 | p[1]) ^ 0x8000);
}

bool SameCount(uint16_t stored, uint32_t actual) {
    return actual > kLargestCount || stored == actual;
}

class IndexWalk {
  public:
    IndexWalk(const idp::Schema& schema, idp::ByteView px,
              const std::vector<idp::IndexEntry>& blocks)
        : keySize_(schema.KeySize()), keyFields_(schema.keyFields), px_(px), blocks_(blocks) {}

    std::string Fault() {
        uint16_t recordSize = 0, headerSize = 0, root = 0;
        uint8_t type = 0, code = 0, levels = 0, keyFields = 0;
        if (!px_.U16(kRecordSize, recordSize) || !px_.U16(kHeaderSize, headerSize) ||
            !px_.U8(kFileType, type) || !px_.U8(kBlockCode, code) || !px_.U16(kPxRootBlock, root) ||
            !px_.U8(kPxLevels, levels) || !px_.U8(kPxKeyFields, keyFields) || type != 1 ||
            code == 0 || code > 32 || recordSize != keySize_ + kIndexTrailer ||
            keyFields != keyFields_ || headerSize < kFixedPartEnd)
            return "its header is not that of this table's primary index";
        headerSize_ = headerSize;
        recordSize_ = recordSize;
        blockSize_ = code * 1024u;
        if (root == 0 || levels == 0)
            return blocks_.empty() ? "" : "it names no root block";
        seen_.assign(size_t{0xFFFF} + 1, false);
        const uint8_t* first = nullptr;
        uint32_t rows = 0;
        if (!Walk(root, levels, levels, first, rows))
            return fault_;
        if (next_ < blocks_.size())
            return "it leaves out data block " + std::to_string(blocks_[next_].block);
        return "";
    }

  private:
    // The index block n on level (1: its entries point to data blocks): its entries
    // checked, and the first key and the rows below it handed up.
    bool Walk(uint16_t n, unsigned level, unsigned levels, const uint8_t*& first, uint32_t& rows) {
        const auto name = [n] { return "index block " + std::to_string(n); };
        const size_t at = headerSize_ + (n - size_t{1}) * blockSize_;
        uint16_t raw = 0;
        if (n == 0 || !px_.U16(at + kBlockLastOffset, raw))
            return Fail(name() + " lies outside the file");
        if (seen_[n])
            return Fail(name() + " is reached twice");
        seen_[n] = true;
        const int32_t last = static_cast<int16_t>(raw);
        if (last < 0) {
            // An empty root is how some writers keep the index of a table without rows.
            first = nullptr;
            rows = 0;
            return level == levels && blocks_.empty() ? true : Fail(name() + " is empty");
        }
        const size_t count = static_cast<size_t>(last) / recordSize_ + 1;
        if (last % recordSize_ != 0 || kBlockHeader + count * recordSize_ > blockSize_ ||
            !px_.Has(at + kBlockHeader, count * recordSize_))
            return Fail("the fill of " + name() + " runs past the block");
        rows = 0;
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* entry = px_.Data() + at + kBlockHeader + i * recordSize_;
            const uint16_t child = RecordShort(entry + keySize_ + kIndexChild);
            const uint16_t stored = RecordShort(entry + keySize_ + kIndexCount);
            const uint8_t* below = nullptr;
            uint32_t belowRows = 0;
            if (level == 1) {
                if (next_ >= blocks_.size())
                    return Fail(name() + " indexes more data blocks than hold rows");
                const idp::IndexEntry& b = blocks_[next_++];
                if (child != b.block)
                    return Fail(name() + " names block " + std::to_string(child) +
                                " where data block " + std::to_string(b.block) + " is due");
                below = b.key;
                belowRows = b.count;
            } else if (!Walk(child, level - 1, levels, below, belowRows)) {
                return false;
            }
            if (!below || std::memcmp(entry, below, keySize_) != 0)
                return Fail(name() + " holds a key that is not the first key of block " +
                            std::to_string(child));
            if (!SameCount(stored, belowRows))
                return Fail(name() + " counts " + std::to_string(stored) + " rows for block " +
                            std::to_string(child) + ", which holds " + std::to_string(belowRows));
            if (i == 0)
                first = entry;
            rows += belowRows;
        }
        return true;
    }

    bool Fail(const std::string& fault) {
        fault_ = fault;
        return false;
    }

    const uint16_t keySize_, keyFields_;
    const idp::ByteView px_;
    const std::vector<idp::IndexEntry>& blocks_;
    size_t headerSize_ = 0, recordSize_ = 0, blockSize_ = 0;
    size_t next_ = 0; // the data block the next lowest-level entry must name
    std::vector<bool> seen_;
    std::string fault_;
};

} // namespace

std::string PrimaryIndexFault(const idp::Schema& schema, const uint8_t* px, size_t size,
                              const std::vector<idp::IndexEntry>& blocks) {
    return IndexWalk(schema, idp::ByteView(px, size), blocks).Fault();
}

} // namespace tutil
