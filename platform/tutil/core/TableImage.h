// A table's .db file read whole into memory for the utility: its parsed header, and
// bounds-checked access to the data blocks and the rows each says it holds, whatever the
// links say. Verification and rebuild both read tables through this.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/FileLayout.h"
#include "core/Header.h"

namespace tutil {

class TableImage {
  public:
    // Reads the .db of a table path given without extension. Throws idp::EngineError:
    // IDP_ERR_NO_SUCH_TABLE, IDP_ERR_NOT_A_TABLE (an empty or foreign file, a destroyed
    // header), IDP_ERR_DAMAGED (a Paradox header whose field table is wrong).
    static TableImage Read(const std::string& tablePathWithoutExtension, bool lock);

    const std::string& DbPath() const { return dbPath_; }
    const idp::TableHeader& Header() const { return header_; }
    uint64_t FileSize() const { return size_; }
    // Blocks the file holds, the last one counted even when the file ends inside it.
    uint16_t Blocks() const { return blocks_; }
    // True when the file ends inside a block.
    bool Truncated() const { return truncated_; }
    // Bytes of block n (1-based) that the file holds.
    size_t BlockBytes(uint16_t n) const;
    const uint8_t* Block(uint16_t n) const;
    uint16_t Next(uint16_t n) const;
    uint16_t Prev(uint16_t n) const;
    // Rows block n says it holds, clipped to what it can hold and what the file holds;
    // exact is false when the fill is off a record boundary or claims more.
    uint16_t Rows(uint16_t n, bool& exact) const;
    // Row slot of block n; slot is below Rows(n).
    const uint8_t* Row(uint16_t n, uint16_t slot) const {
        return bytes_.get() + header_.headerSize + (n - 1u) * size_t{header_.schema.blockSize} +
               idp::layout::kBlockHeader + size_t{slot} * header_.schema.recordSize;
    }
    // The block and slot of a row Row gave.
    void Locate(const uint8_t* row, uint16_t& block, uint16_t& slot) const;

  private:
    std::string dbPath_;
    // Left uninitialised before the read fills it: a large table is read without a pass of
    // zeros first.
    std::unique_ptr<uint8_t[]> bytes_;
    size_t size_ = 0;
    idp::TableHeader header_;
    uint16_t blocks_ = 0;
    bool truncated_ = false;
};

// The number (1-based) of the first field whose name holds a control character, which no
// writer puts there and which the index sidecar, a file of lines and tabs, cannot carry;
// 0 when there is none.
int FieldNameWithControl(const idp::Schema& schema);

// The checks of a row's values against what writers produce, worked out once for a
// structure: an alpha field with bytes after its end, an impossible date, time or logical
// value. Fields that cannot hold such a value are not looked at.
class RowCheck {
  public:
    explicit RowCheck(const idp::Schema& schema);
    bool Sound(const uint8_t* row) const { return Failing(row) < 0; }
    // What is wrong with the row ("" when nothing).
    std::string Fault(const uint8_t* row) const;

  private:
    struct Value {
        uint16_t offset, width;
        uint8_t type;
        std::string name;
    };
    int Failing(const uint8_t* row) const;
    std::vector<Value> values_;
};

// The highest value of a table's autoincrement fields, told from their stored bytes: the
// record encoding keeps numbers in byte order, so no row's value needs decoding.
class HighestNumber {
  public:
    explicit HighestNumber(const idp::Schema& schema);
    bool Any() const { return !offsets_.empty(); }
    void See(const uint8_t* row) {
        for (uint16_t off : offsets_) {
            const uint8_t* p = row + off;
            const uint32_t v =
                uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
            highest_ = v > highest_ ? v : highest_;
        }
    }
    // 0 when no row holds a value above 0.
    int64_t Value() const;

  private:
    std::vector<uint16_t> offsets_;
    // The stored bytes read big-endian; blank (zero) sorts below every value.
    uint32_t highest_ = 0;
};

} // namespace tutil
