// Reading a table's .db whole, and the row checks that need nothing but the record.
#include "TableImage.h"

#include <algorithm>

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

} // namespace

TableImage TableImage::Read(const std::string& table, bool lock) {
    TableImage image;
    image.dbPath_ = idp::TableFilePath(table);
    idp::os::File file = idp::os::File::Open(image.dbPath_, false,
                                             lock ? idp::os::Lock::Shared : idp::os::Lock::None);
    uint64_t size = file.Size();
    if (size > (uint64_t{1} << 31))
        throw idp::EngineError(IDP_ERR_NOT_A_TABLE, "File: " + image.dbPath_);
    image.bytes_.resize(static_cast<size_t>(size));
    image.bytes_.resize(file.ReadAt(0, image.bytes_.data(), image.bytes_.size()));
    image.header_ = idp::ParseHeader(idp::ByteView(image.bytes_), image.dbPath_);
    const uint64_t data = image.bytes_.size() - image.header_.headerSize;
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
    return std::min<size_t>(header_.schema.blockSize, bytes_.size() - start);
}

const uint8_t* TableImage::Block(uint16_t n) const {
    return BlockBytes(n) ? &bytes_[header_.headerSize + (n - 1u) * size_t{header_.schema.blockSize}]
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

const uint8_t* TableImage::Row(uint16_t n, uint16_t slot) const {
    return Block(n) + idp::layout::kBlockHeader + size_t{slot} * header_.schema.recordSize;
}

std::string BadValue(const idp::Schema& schema, const uint8_t* row) {
    for (const idp::Field& f : schema.fields) {
        const uint8_t* p = row + f.offset;
        if (f.type == IDP_FLD_ALPHA) {
            // Writers pad with NULs, so a blank value is all NULs too.
            const uint8_t* end = p + f.width;
            const uint8_t* nul = std::find(p, end, uint8_t{0});
            if (std::any_of(nul, end, [](uint8_t c) { return c != 0; }))
                return "Field " + f.name + " holds bytes after the end of its text.";
            continue;
        }
        if (idp::IsBlankField(p, f))
            continue;
        switch (f.type) {
        case IDP_FLD_DATE: {
            int64_t day = idp::DecodeInteger(p, 4);
            if (day < 1 || day > kLastDay)
                return "Field " + f.name + " holds an impossible date.";
            break;
        }
        case IDP_FLD_TIME: {
            int64_t ms = idp::DecodeInteger(p, 4);
            if (ms < 0 || ms >= kMsPerDay)
                return "Field " + f.name + " holds an impossible time of day.";
            break;
        }
        case IDP_FLD_LOGICAL:
            if (*p != 0x80 && *p != 0x81)
                return "Field " + f.name + " holds a logical value other than true or false.";
            break;
        default:
            break;
        }
    }
    return {};
}

} // namespace tutil
