// Where the fields of a table's files lie: the .db header, the header of every data and
// index block, the .PX header and its index records, and the .MB block headers, as the
// public descriptions of the Paradox format lay them out. Offsets are in bytes from the
// start of their structure; multi-byte values are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace idp::layout {

// The .db header's fixed part (0x00-0x57). The .PX header shares its first fields.
constexpr size_t kRecordSize = 0x00;   // u16
constexpr size_t kHeaderSize = 0x02;   // u16
constexpr size_t kFileType = 0x04;     // u8: 0 keyed, 2 unkeyed, 1 primary index
constexpr size_t kBlockCode = 0x05;    // u8: block size in KB
constexpr size_t kNumRecords = 0x06;   // u32
constexpr size_t kUsedBlocks = 0x0A;   // u16
constexpr size_t kFileBlocks = 0x0C;   // u16
constexpr size_t kFirstBlock = 0x0E;   // u16
constexpr size_t kLastBlock = 0x10;    // u16
constexpr size_t kNumFields = 0x21;    // u16
constexpr size_t kKeyFields = 0x23;    // u16
constexpr size_t kEncryption = 0x25;   // u32: before version 4, or 0xFF00FF00 for none
constexpr size_t kSortOrder = 0x29;    // u8
constexpr size_t kChangeCount = 0x2D;  // u8: changes with each header write
constexpr size_t kVersion = 0x39;      // u8
constexpr size_t kMaxBlocks = 0x3A;    // u16: the block count once more
constexpr size_t kAuxPasswords = 0x3D; // u8
constexpr size_t kWriterMark = 0x3E;   // u16: what Paradox 7 writes there
constexpr size_t kAutoInc = 0x49;      // u32: the last autoincrement value
constexpr size_t kFixedPartEnd = 0x58; // version 3: the field types start here

// The version 4+ extension (0x58-0x77).
constexpr size_t kFileVersion2 = 0x58; // u16
constexpr size_t kFileVersion3 = 0x5A; // u16
constexpr size_t kEncryption4 = 0x5C;  // u32: nonzero when encrypted
constexpr size_t kHighFieldId = 0x64;  // u16: fields + 1
constexpr size_t kCodePage = 0x6A;     // u16
constexpr size_t kExtensionEnd = 0x78; // version 4+: the field types start here

// The .PX header beyond the shared fields.
constexpr size_t kPxRootBlock = 0x1E;  // u16
constexpr size_t kPxLevels = 0x20;     // u8
constexpr size_t kPxKeyFields = 0x21;  // u16
constexpr size_t kPxFieldTypes = 0x58; // (type, size) byte pairs of the key fields

// Every data block of a .db and every index block of a .PX starts with this header; the
// records follow it.
constexpr size_t kBlockNext = 0;       // u16: the next block of the chain (0: last)
constexpr size_t kBlockPrev = 2;       // u16: the previous block (0: first)
constexpr size_t kBlockLastOffset = 4; // i16: offset of the last record; negative: empty
constexpr size_t kBlockHeader = 6;

// A .PX index record after its key fields: three shorts in record encoding.
constexpr size_t kIndexChild = 0; // the data block (level 1) or index block it points to
constexpr size_t kIndexCount = 2; // records below it
constexpr size_t kIndexZero = 4;  // always zero
constexpr size_t kIndexTrailer = 6;

// A blob field of a record: the leader (the value's first bytes), then where the rest is.
constexpr size_t kBlobOffset = 0;    // u32 after the leader: the .MB block, and its entry
constexpr size_t kBlobLength = 4;    // u32 after the leader: the whole value's length
constexpr size_t kBlobModNumber = 8; // u16 after the leader
constexpr size_t kBlobDescriptor = 10;

// .MB blocks: a type byte, then for a block of one blob its length at 3 and the data at 9;
// a sub-allocated block has 64 five-byte entries from 12 (start in 16-byte units, chunks,
// ..., bytes in the last chunk).
constexpr size_t kMbType = 0;
constexpr size_t kMbSingleLength = 3;
constexpr size_t kMbSingleData = 9;
constexpr size_t kMbEntries = 12;
constexpr size_t kMbEntrySize = 5;
constexpr size_t kMbEntryStart = 0;
constexpr size_t kMbEntryChunks = 1;
constexpr size_t kMbEntryRest = 4;
constexpr size_t kMbSubEntries = 64;
constexpr uint8_t kMbSingleBlob = 2;
constexpr uint8_t kMbSubAllocated = 3;

} // namespace idp::layout
