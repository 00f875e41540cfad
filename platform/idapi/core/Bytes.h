// Bounds-checked access to little-endian integers in byte buffers. The engine reads the
// .db and .PX headers, every data block's header, the values the loader scans in the
// blocks and the .MB structures through these, so a short or lying file cannot make it
// read past what it holds. Records are read in place, field by field, without them: the
// header parser makes sure that the fields fill the record exactly and that a record fits
// a block, and the loader never counts more records in a block than the block holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace idp {

// The length of the text in a field of width bytes: its bytes up to the first zero. Eight
// bytes are looked at a time; the memchr of msvcrt, as Wine has it, looks at one, and every
// row's text passes through here when a table is ordered, searched or copied.
inline size_t TextLength(const uint8_t* p, size_t width) {
    size_t i = 0;
    for (; i + 8 <= width; i += 8) {
        uint64_t v;
        std::memcpy(&v, p + i, 8);
        if ((v - 0x0101010101010101u) & ~v & 0x8080808080808080u)
            break;
    }
    while (i < width && p[i])
        ++i;
    return i;
}

// Whether n bytes are all zero, looked at eight at a time.
inline bool AllZero(const uint8_t* p, size_t n) {
    size_t i = 0;
    for (uint64_t v = 0; i + 8 <= n; i += 8) {
        std::memcpy(&v, p + i, 8);
        if (v)
            return false;
    }
    for (; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

class ByteView {
  public:
    ByteView() = default;
    ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteView(const std::vector<uint8_t>& v) : data_(v.data()), size_(v.size()) {}

    size_t Size() const { return size_; }
    const uint8_t* Data() const { return data_; }
    bool Has(size_t offset, size_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    // The readers return false when the bytes are not there.
    bool U8(size_t offset, uint8_t& v) const {
        if (!Has(offset, 1))
            return false;
        v = data_[offset];
        return true;
    }
    bool U16(size_t offset, uint16_t& v) const {
        if (!Has(offset, 2))
            return false;
        v = static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8);
        return true;
    }
    bool U32(size_t offset, uint32_t& v) const {
        if (!Has(offset, 4))
            return false;
        v = static_cast<uint32_t>(data_[offset]) | static_cast<uint32_t>(data_[offset + 1]) << 8 |
            static_cast<uint32_t>(data_[offset + 2]) << 16 |
            static_cast<uint32_t>(data_[offset + 3]) << 24;
        return true;
    }
    // A NUL-terminated string of at most max bytes starting at offset; false when the
    // string runs past the buffer without a terminator.
    bool CString(size_t offset, size_t max, std::string& s) const {
        if (offset > size_)
            return false;
        size_t limit = size_ - offset < max ? size_ - offset : max;
        const void* nul = std::memchr(data_ + offset, 0, limit);
        if (!nul)
            return false;
        s.assign(reinterpret_cast<const char*>(data_ + offset),
                 static_cast<const uint8_t*>(nul) - (data_ + offset));
        return true;
    }

  private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

inline void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

} // namespace idp
