// Reading blob data from .MB files: the record's ten trailing bytes give the offset of
// an MB block (low byte: the entry in a sub-allocated block, 0xFF for a block of its
// own), the length and a modification number. Every offset is checked against the file.
#include "Blob.h"

#include <cstring>

#include "Bytes.h"
#include "FileLayout.h"
#include "Status.h"

namespace idp {

using namespace layout;

namespace {

constexpr uint32_t kMaxBlob = 256u * 1024 * 1024;

} // namespace

uint32_t BlobLength(const uint8_t* field, const Field& f) {
    uint32_t length = 0;
    ByteView(field, f.width).U32(f.size + kBlobLength, length);
    return length;
}

bool EncodeLeaderBlob(uint8_t* field, const Field& f, const std::string& value) {
    if (value.size() > f.size)
        return false;
    std::memset(field, 0, f.width);
    std::memcpy(field, value.data(), value.size());
    PutU32(field + f.size + kBlobLength, static_cast<uint32_t>(value.size()));
    return true;
}

std::string BlobFile::ReadAt(uint64_t offset, size_t count) {
    if (offset > size_ || count > size_ - offset)
        ThrowDamaged(path_, "A blob lies outside the .MB file.");
    std::string data(count, '\0');
    if (file_.ReadAt(offset, data.data(), count) != count)
        ThrowDamaged(path_, "The .MB file ended early.");
    return data;
}

std::string BlobFile::Read(const uint8_t* field, const Field& f) {
    ByteView v(field, f.width);
    uint32_t offset = 0, length = 0;
    v.U32(f.size + kBlobOffset, offset);
    v.U32(f.size + kBlobLength, length);
    if (length <= f.size)
        return std::string(reinterpret_cast<const char*>(field), length);
    if (length > kMaxBlob)
        ThrowDamaged(path_, "A blob is longer than the format allows.");
    if (!file_.IsOpen()) {
        file_ = os::File::Open(path_, false, os::Lock::None);
        size_ = file_.Size();
    }
    uint32_t index = offset & 0xFF;
    uint64_t block = offset & ~0xFFu;
    if (index == 0xFF) {
        std::string head = ReadAt(block, kMbSingleData);
        ByteView h(reinterpret_cast<const uint8_t*>(head.data()), head.size());
        uint8_t type = 0;
        uint32_t stored = 0;
        h.U8(kMbType, type);
        h.U32(kMbSingleLength, stored);
        if (type != kMbSingleBlob || stored != length)
            ThrowDamaged(path_, "A blob block of the .MB file is damaged.");
        return ReadAt(block + kMbSingleData, length);
    }
    if (index >= kMbSubEntries)
        ThrowDamaged(path_, "A blob entry number is out of range.");
    std::string head = ReadAt(block, kMbEntries + kMbSubEntries * kMbEntrySize);
    ByteView h(reinterpret_cast<const uint8_t*>(head.data()), head.size());
    uint8_t type = 0, start = 0, chunks = 0, rest = 0;
    const size_t entry = kMbEntries + kMbEntrySize * index;
    h.U8(kMbType, type);
    h.U8(entry + kMbEntryStart, start);
    h.U8(entry + kMbEntryChunks, chunks);
    h.U8(entry + kMbEntryRest, rest);
    uint32_t stored = chunks == 0 ? 0 : (chunks - 1u) * 16u + rest;
    if (type != kMbSubAllocated || start == 0 || stored != length || start * 16u + length > 4096)
        ThrowDamaged(path_, "A sub-allocated blob of the .MB file is damaged.");
    return ReadAt(block + start * 16u, length);
}

} // namespace idp
