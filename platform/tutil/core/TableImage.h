// A table's .db file read whole into memory for the utility: its parsed header, and
// bounds-checked access to the data blocks and the rows each says it holds, whatever the
// links say. Verification and rebuild both read tables through this.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    uint64_t FileSize() const { return bytes_.size(); }
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
    const uint8_t* Row(uint16_t n, uint16_t slot) const;

  private:
    std::string dbPath_;
    std::vector<uint8_t> bytes_;
    idp::TableHeader header_;
    uint16_t blocks_ = 0;
    bool truncated_ = false;
};

// What is wrong with a row's values that no writer produces ("" when nothing): an alpha
// field with bytes after its end, an impossible date, time or logical value.
std::string BadValue(const idp::Schema& schema, const uint8_t* row);

} // namespace tutil
