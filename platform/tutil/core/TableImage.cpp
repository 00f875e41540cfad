// Reading a table's .db whole, and the row checks that need nothing but the record.
#include "TableImage.h"

#include <algorithm>
#include <cstring>

#include "core/Bytes.h"
#include "core/FieldCodec.h"
#include "core/FileLayout.h"
#include "core/Os.h"
#include "core/Status.h"
#include "core/TablePath.h"

namespace tutil {

namespace {

constexpr int64_t kLastDay = 3652059; // 31 December 9999
constexpr int64_t kMsPerDay = 86400000;

// Compared with zeros by the C library, whose wide compare beats a loop over words: the
// tails of long alpha fields are most of a tagline row.
bool AllZero(const uint8_t* from, const uint8_t* to) {
    static const uint8_t kZeros[256] = {};
    while (from < to) {
        const size_t n = std::min<size_t>(static_cast<size_t>(to - from), sizeof kZeros);
        if (std::memcmp(from, kZeros, n) != 0)
            return false;
        from += n;
    }
    return true;
}

bool Blank(const uint8_t* p, uint16_t width) {
    return AllZero(p, p + width);
}

} // namespace

TableImage TableImage::Read(const std::string& table, bool lock) {
    TableImage image;
    image.dbPath_ = idp::TableFilePath(table);
    idp::os::File file = idp::os::File::Open(image.dbPath_, false,
                                             lock ? idp::os::Lock::Shared : idp::os::Lock::None);
    uint64_t size = file.Size();
    if (size > (uint64_t{1} << 31))
        throw idp::EngineError(IDP_ERR_NOT_A_TABLE, "File: " + image.dbPath_);
    image.bytes_.reset(new uint8_t[static_cast<size_t>(size)]);
    image.size_ = file.ReadAt(0, image.bytes_.get(), static_cast<size_t>(size));
    image.header_ = idp::ParseHeader(idp::ByteView(image.bytes_.get(), image.size_), image.dbPath_);
    const uint64_t data = image.size_ - image.header_.headerSize;
    const uint16_t bs = image.header_.schema.blockSize;
    uint64_t blocks = (data + bs - 1) / bs;
    image.truncated_ = data % bs != 0;
    image.blocks_ = static_cast<uint16_t>(std::min<uint64_t>(blocks, 0xFFFF));
    return image;
}

size_t TableImage::BlockBytes(uint16_t n) const {
    if (n == 0 || n > blocks_)
        return 0;
    size_t start = header_.headerSize + (n - 1u) * size_t{header_.schema.blockSize};
    return std::min<size_t>(header_.schema.blockSize, size_ - start);
}

const uint8_t* TableImage::Block(uint16_t n) const {
    return BlockBytes(n)
               ? bytes_.get() + header_.headerSize + (n - 1u) * size_t{header_.schema.blockSize}
               : nullptr;
}

uint16_t TableImage::Next(uint16_t n) const {
    uint16_t v = 0;
    idp::ByteView(Block(n), BlockBytes(n)).U16(idp::layout::kBlockNext, v);
    return v;
}

uint16_t TableImage::Prev(uint16_t n) const {
    uint16_t v = 0;
    idp::ByteView(Block(n), BlockBytes(n)).U16(idp::layout::kBlockPrev, v);
    return v;
}

uint16_t TableImage::Rows(uint16_t n, bool& exact) const {
    idp::ByteView block(Block(n), BlockBytes(n));
    uint16_t raw = 0;
    exact = block.U16(idp::layout::kBlockLastOffset, raw);
    const int32_t last = static_cast<int16_t>(raw);
    if (!exact || last < 0)
        return 0;
    const uint16_t rs = header_.schema.recordSize;
    if (last % rs != 0)
        exact = false;
    uint32_t count = static_cast<uint32_t>(last / rs + 1);
    uint32_t fits = header_.schema.RecordsPerBlock();
    if (count > fits) {
        exact = false;
        count = fits;
    }
    // A block the file ends inside holds only the rows it has whole.
    uint32_t present = block.Size() > idp::layout::kBlockHeader
                           ? static_cast<uint32_t>((block.Size() - idp::layout::kBlockHeader) / rs)
                           : 0;
    if (count > present) {
        exact = false;
        count = present;
    }
    return static_cast<uint16_t>(count);
}

void TableImage::Locate(const uint8_t* row, uint16_t& block, uint16_t& slot) const {
    const size_t at = static_cast<size_t>(row - bytes_.get()) - header_.headerSize;
    block = static_cast<uint16_t>(at / header_.schema.blockSize + 1);
    slot = static_cast<uint16_t>((at % header_.schema.blockSize - idp::layout::kBlockHeader) /
                                 header_.schema.recordSize);
}

int FieldNameWithControl(const idp::Schema& schema) {
    for (size_t i = 0; i < schema.fields.size(); ++i)
        for (unsigned char c : schema.fields[i].name)
            if (c < 0x20)
                return static_cast<int>(i + 1);
    return 0;
}

RowCheck::RowCheck(const idp::Schema& schema) {
    for (const idp::Field& f : schema.fields)
        if (f.type == IDP_FLD_ALPHA || f.type == IDP_FLD_DATE || f.type == IDP_FLD_TIME ||
            f.type == IDP_FLD_LOGICAL)
            values_.push_back({f.offset, f.width, f.type, f.name});
}

int RowCheck::Failing(const uint8_t* row) const {
    for (size_t i = 0; i < values_.size(); ++i) {
        const Value& v = values_[i];
        const uint8_t* p = row + v.offset;
        bool sound = true;
        if (v.type == IDP_FLD_ALPHA) {
            // Writers pad with NULs, so a blank value is all NULs too.
            const void* nul = std::memchr(p, 0, v.width);
            sound = !nul || AllZero(static_cast<const uint8_t*>(nul), p + v.width);
        } else if (v.type == IDP_FLD_LOGICAL) {
            sound = *p == 0 || *p == 0x80 || *p == 0x81;
        } else if (!Blank(p, v.width)) {
            const int64_t n = idp::DecodeInteger(p, 4);
            sound = v.type == IDP_FLD_DATE ? n >= 1 && n <= kLastDay : n >= 0 && n < kMsPerDay;
        }
        if (!sound)
            return static_cast<int>(i);
    }
    return -1;
}

std::string RowCheck::Fault(const uint8_t* row) const {
    const int i = Failing(row);
    if (i < 0)
        return {};
    const Value& v = values_[static_cast<size_t>(i)];
    switch (v.type) {
    case IDP_FLD_ALPHA:
        return "Field " + v.name + " holds bytes after the end of its text.";
    case IDP_FLD_DATE:
        return "Field " + v.name + " holds an impossible date.";
    case IDP_FLD_TIME:
        return "Field " + v.name + " holds an impossible time of day.";
    default:
        return "Field " + v.name + " holds a logical value other than true or false.";
    }
}

HighestNumber::HighestNumber(const idp::Schema& schema) {
    for (const idp::Field& f : schema.fields)
        if (f.type == IDP_FLD_AUTOINC)
            offsets_.push_back(f.offset);
}

int64_t HighestNumber::Value() const {
    const uint8_t bytes[4] = {static_cast<uint8_t>(highest_ >> 24),
                              static_cast<uint8_t>(highest_ >> 16),
                              static_cast<uint8_t>(highest_ >> 8), static_cast<uint8_t>(highest_)};
    return highest_ == 0 ? 0 : std::max<int64_t>(0, idp::DecodeInteger(bytes, 4));
}

} // namespace tutil
