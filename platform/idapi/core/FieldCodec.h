// Field encodings of Paradox records. Numbers are stored high byte first with the sign
// bit inverted, so that all-zero bytes mean blank and byte order is numeric order.
#pragma once

#include <cstdint>
#include <string>

#include "Schema.h"

namespace idp {

// Paradox dates count days from 1 January 1 (that day is 1); the program's dates count
// days from 30 December 1899.
constexpr int32_t kDateDelta = 693594;
constexpr double kMsPerDay = 86400000.0;

bool IsBlankField(const uint8_t* p, const Field& f);

inline int64_t DecodeInteger(const uint8_t* p, uint16_t width) {
    uint64_t u = 0;
    for (uint16_t i = 0; i < width; ++i)
        u = u << 8 | p[i];
    // The stored value is the number plus 2^(bits-1): taking that off undoes the inverted
    // sign bit and sign-extends in one step.
    uint64_t sign = uint64_t{1} << (width * 8 - 1);
    return static_cast<int64_t>(u - sign);
}
// False when the value collides with the blank pattern or is out of range.
bool EncodeInteger(uint8_t* p, uint16_t width, int64_t value);

double DecodeDouble(const uint8_t* p);
void EncodeDouble(uint8_t* p, double value);

// BCD: 17 bytes; the first holds the sign (0x80 set for positive values), 0x40, and the
// digits after the point; then 32 packed decimal digits, complemented for negative values.
double DecodeBcd(const uint8_t* p);
bool EncodeBcd(uint8_t* p, double value, uint16_t decimals);

// Date, time and timestamp fields to and from the program's date-time numbers.
double DecodeDateTime(const uint8_t* p, uint8_t type);
bool EncodeDateTime(uint8_t* p, uint8_t type, double value);

// The text of an alpha field: the bytes up to the first NUL.
std::string DecodeAlpha(const uint8_t* p, uint16_t width);
// Stores text cut to the field's width, NUL padded.
void EncodeAlpha(uint8_t* p, uint16_t width, const std::string& text);

} // namespace idp
