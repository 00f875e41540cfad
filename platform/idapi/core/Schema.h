// A table's structure as the engine works with it: fields with their place in the
// record, the primary key, block size, version and code page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace idp {

struct Field {
    std::string name;
    uint8_t type = 0;
    uint16_t size = 0;   // as described to the user (characters, leader, BCD digits)
    uint16_t width = 0;  // bytes in the record
    uint16_t offset = 0; // of the field in the record
    bool required = false;
};

struct Schema {
    std::vector<Field> fields;
    uint16_t recordSize = 0;
    uint16_t keyFields = 0; // the first keyFields fields form the primary key
    uint16_t blockSize = 4096;
    uint8_t version = 0x0C; // the header's file version byte
    uint16_t codePage = 1252;
    uint8_t sortOrder = 0;
    std::string sortOrderName = "ascii";

    bool Keyed() const { return keyFields > 0; }
    uint16_t KeySize() const {
        uint16_t size = 0;
        for (uint16_t i = 0; i < keyFields && i < fields.size(); ++i)
            size = static_cast<uint16_t>(size + fields[i].width);
        return size;
    }
    uint16_t RecordsPerBlock() const {
        return recordSize ? static_cast<uint16_t>((blockSize - 6) / recordSize) : 0;
    }
    // The field with this name, case ignored; -1 when there is none.
    int Find(const std::string& name) const;
    bool HasBlobs() const;
};

// Bytes a field of this type and size takes in a record; 0 when the pair is invalid.
uint16_t FieldWidth(uint8_t type, uint16_t size);
// The size a field description reports for a fixed-width type (given size otherwise).
uint16_t DescribedSize(uint8_t type, uint16_t size);
bool IsBlobType(uint8_t type);
bool IsTextType(uint8_t type);
bool IsIntegerType(uint8_t type);
bool IsFloatType(uint8_t type);
bool IsDateTimeType(uint8_t type);
// Case-insensitive equality of two names in the program's character set.
bool SameName(const std::string& a, const std::string& b);

} // namespace idp
