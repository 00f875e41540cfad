// The .db header as the public descriptions of the Paradox format lay it out: a fixed
// part (offsets 0x00-0x57), the version 4+ extension (0x58-0x77), then the field types,
// the table name, the field names, the field numbers and the sort order's name.
#include "Header.h"

#include <cstring>

#include "../idapi.h"
#include "FileLayout.h"
#include "Status.h"

namespace idp {

using namespace layout;

namespace {

constexpr uint32_t kNoEncryption = 0xFF00FF00u;

bool KnownBlockCode(uint8_t code) {
    return (code >= 1 && code <= 4) || code == 8 || code == 16 || code == 32;
}

size_t TableNameLength(uint8_t version) {
    return version >= 0x0C ? 261 : 79;
}

size_t FieldInfoOffset(uint8_t version) {
    return version >= 5 ? kExtensionEnd : kFixedPartEnd;
}

} // namespace

TableHeader ParseHeader(ByteView b, const std::string& path) {
    TableHeader h;
    uint16_t recordSize = 0, headerSize = 0, numFields = 0, keyFields = 0;
    uint8_t blockCode = 0, version = 0, sortOrder = 0;
    uint32_t numRecords = 0;
    if (!b.U16(kRecordSize, recordSize) || !b.U16(kHeaderSize, headerSize) ||
        !b.U8(kFileType, h.fileType) || !b.U8(kBlockCode, blockCode) ||
        !b.U32(kNumRecords, numRecords) || !b.U16(kUsedBlocks, h.usedBlocks) ||
        !b.U16(kFileBlocks, h.fileBlocks) || !b.U16(kFirstBlock, h.firstBlock) ||
        !b.U16(kLastBlock, h.lastBlock) || !b.U16(kNumFields, numFields) ||
        !b.U16(kKeyFields, keyFields) || !b.U8(kSortOrder, sortOrder) || !b.U8(kVersion, version))
        throw EngineError(IDP_ERR_NOT_A_TABLE, "File: " + path);
    if ((h.fileType != 0 && h.fileType != 2) || !KnownBlockCode(blockCode) || version < 3 ||
        version > 0x0C)
        throw EngineError(IDP_ERR_NOT_A_TABLE, "File: " + path);
    if (headerSize < kExtensionEnd || !b.Has(0, headerSize))
        ThrowDamaged(path, "The header is shorter than it says.");
    if (numFields == 0 || numFields > 255 || keyFields > numFields)
        ThrowDamaged(path, "The header's field counts are out of range.");
    if (h.fileType == 0 && keyFields == 0)
        ThrowDamaged(path, "A keyed table without key fields.");
    h.headerSize = headerSize;
    h.numRecords = numRecords;
    Schema& s = h.schema;
    s.version = version;
    s.sortOrder = sortOrder;
    s.blockSize = static_cast<uint16_t>(blockCode * 1024);
    s.recordSize = recordSize;
    s.keyFields = h.fileType == 0 ? keyFields : 0;

    uint32_t encryption = 0;
    if (version >= 5) {
        uint16_t codePage = 0;
        b.U32(kEncryption4, encryption);
        b.U16(kCodePage, codePage);
        s.codePage = codePage ? codePage : 1252;
    } else {
        b.U32(kEncryption, encryption);
        s.codePage = 437; // DOS tables before version 4 carry no code page
    }
    uint32_t encryption1 = 0;
    b.U32(kEncryption, encryption1);
    h.encrypted = version >= 5 ? encryption != 0 : encryption1 != 0 && encryption1 != kNoEncryption;
    b.U8(kAuxPasswords, h.auxPasswords);
    b.U8(kChangeCount, h.changeCount);
    uint32_t autoInc = 0;
    b.U32(kAutoInc, autoInc);
    h.autoInc = static_cast<int32_t>(autoInc);

    ByteView hb(b.Data(), headerSize);
    size_t at = FieldInfoOffset(version);
    uint32_t offset = 0;
    for (uint16_t i = 0; i < numFields; ++i) {
        uint8_t type = 0, size = 0;
        if (!hb.U8(at + 2 * i, type) || !hb.U8(at + 2 * i + 1, size))
            ThrowDamaged(path, "The field list runs past the header.");
        Field f;
        f.type = type;
        // A blob field's header size is its whole width: the leader plus ten bytes.
        bool blob = IsBlobType(type);
        f.width = blob ? (size >= kBlobDescriptor ? size : 0) : FieldWidth(type, size);
        if (blob && FieldWidth(type, static_cast<uint16_t>(size - kBlobDescriptor)) != size)
            f.width = 0;
        if (f.width == 0)
            ThrowDamaged(path, "Field " + std::to_string(i + 1) + " has an unknown type or size.");
        f.size = blob ? static_cast<uint16_t>(size - kBlobDescriptor) : DescribedSize(type, size);
        f.offset = static_cast<uint16_t>(offset);
        offset += f.width;
        s.fields.push_back(f);
    }
    if (offset != recordSize)
        ThrowDamaged(path, "The record size does not match the fields.");
    if (recordSize == 0 || recordSize > s.blockSize - kBlockHeader)
        ThrowDamaged(path, "The record size does not fit the block size.");
    at += 2u * numFields + 4 + 4u * numFields + TableNameLength(version);
    for (Field& f : s.fields) {
        std::string name;
        if (!hb.CString(at, 256, name))
            ThrowDamaged(path, "The field names run past the header.");
        f.name = name;
        at += name.size() + 1;
    }
    if (!h.encrypted) {
        at += 2u * numFields;
        std::string sortName;
        if (hb.CString(at, 64, sortName) && !sortName.empty())
            s.sortOrderName = sortName;
    }
    h.raw.assign(b.Data(), b.Data() + headerSize);
    return h;
}

TableHeader NewHeader(const Schema& schema, const std::string& tableName) {
    TableHeader h;
    h.schema = schema;
    h.schema.version = 0x0C;
    h.schema.codePage = 1252;
    h.schema.sortOrder = 0;
    h.schema.sortOrderName = "ascii";
    h.fileType = schema.Keyed() ? 0 : 2;
    const size_t n = schema.fields.size();
    size_t need = kExtensionEnd + 2 * n + 4 + 4 * n + 261;
    for (const Field& f : schema.fields)
        need += f.name.size() + 1;
    need += 2 * n + 6;
    h.headerSize = static_cast<uint16_t>((need + 0x7FF) / 0x800 * 0x800);
    std::vector<uint8_t>& r = h.raw;
    r.assign(h.headerSize, 0);
    PutU16(&r[kRecordSize], schema.recordSize);
    PutU16(&r[kHeaderSize], h.headerSize);
    r[kFileType] = h.fileType;
    r[kBlockCode] = static_cast<uint8_t>(schema.blockSize / 1024);
    PutU16(&r[kNumFields], static_cast<uint16_t>(n));
    PutU16(&r[kKeyFields], schema.keyFields);
    PutU32(&r[kEncryption], kNoEncryption);
    r[kSortOrder] = 0;
    r[kVersion] = 0x0C;
    PutU16(&r[kWriterMark], 0x1F0F);
    PutU16(&r[kFileVersion2], 0x010C);
    PutU16(&r[kFileVersion3], 0x010C);
    PutU16(&r[kHighFieldId], static_cast<uint16_t>(n + 1));
    PutU16(&r[kCodePage], 1252);
    size_t at = kExtensionEnd;
    for (const Field& f : schema.fields) {
        r[at++] = f.type;
        r[at++] = static_cast<uint8_t>(IsBlobType(f.type)      ? f.size + kBlobDescriptor
                                       : f.type == IDP_FLD_BCD ? f.size
                                                               : f.width);
    }
    at += 4 + 4 * n;
    std::memcpy(&r[at], tableName.data(), tableName.size() < 260 ? tableName.size() : 260);
    at += 261;
    for (const Field& f : schema.fields) {
        std::memcpy(&r[at], f.name.data(), f.name.size());
        at += f.name.size() + 1;
    }
    for (size_t i = 0; i < n; ++i, at += 2)
        PutU16(&r[at], static_cast<uint16_t>(i + 1));
    std::memcpy(&r[at], "ascii", 5);
    return h;
}

void StoreCounts(TableHeader& h) {
    uint8_t* r = h.raw.data();
    PutU32(r + kNumRecords, h.numRecords);
    PutU16(r + kUsedBlocks, h.usedBlocks);
    PutU16(r + kFileBlocks, h.fileBlocks);
    PutU16(r + kFirstBlock, h.firstBlock);
    PutU16(r + kLastBlock, h.lastBlock);
    PutU16(r + kMaxBlocks, h.fileBlocks);
    PutU32(r + kAutoInc, static_cast<uint32_t>(h.autoInc));
    r[kChangeCount] = ++h.changeCount;
}

} // namespace idp
