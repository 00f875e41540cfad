// Encoding and decoding of single field values.
#include "FieldCodec.h"

#include <cmath>
#include <cstring>

#include "../idapi.h"
#include "Bytes.h"

namespace idp {

bool IsBlankField(const uint8_t* p, const Field& f) {
    if (f.type == IDP_FLD_ALPHA)
        return p[0] == 0;
    for (uint16_t i = 0; i < f.width; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

bool EncodeInteger(uint8_t* p, uint16_t width, int64_t value) {
    int64_t lo = -(int64_t{1} << (width * 8 - 1));
    int64_t hi = (int64_t{1} << (width * 8 - 1)) - 1;
    if (value <= lo || value > hi) // the lowest value would read back as blank
        return false;
    uint64_t u = static_cast<uint64_t>(value) ^ (uint64_t{1} << (width * 8 - 1));
    for (int i = width - 1; i >= 0; --i, u >>= 8)
        p[i] = static_cast<uint8_t>(u);
    return true;
}

double DecodeDouble(const uint8_t* p) {
    uint64_t u = 0;
    for (int i = 0; i < 8; ++i)
        u = u << 8 | p[i];
    if (u & (uint64_t{1} << 63))
        u &= ~(uint64_t{1} << 63);
    else
        u = ~u;
    double d;
    std::memcpy(&d, &u, 8);
    return d;
}

void EncodeDouble(uint8_t* p, double value) {
    uint64_t u;
    std::memcpy(&u, &value, 8);
    if (u & (uint64_t{1} << 63))
        u = ~u;
    else
        u |= uint64_t{1} << 63;
    for (int i = 7; i >= 0; --i, u >>= 8)
        p[i] = static_cast<uint8_t>(u);
}

double DecodeBcd(const uint8_t* p) {
    bool positive = (p[0] & 0x80) != 0;
    int decimals = p[0] & 0x3F;
    double value = 0;
    for (int i = 0; i < 32; ++i) {
        int nibble = (p[1 + i / 2] >> (i % 2 ? 0 : 4)) & 0x0F;
        if (!positive)
            nibble = 0x0F - nibble;
        value = value * 10 + (nibble > 9 ? 9 : nibble);
    }
    value /= std::pow(10.0, decimals);
    return positive ? value : -value;
}

bool EncodeBcd(uint8_t* p, double value, uint16_t decimals) {
    if (!std::isfinite(value) || decimals > 32)
        return false;
    bool positive = value >= 0;
    double scaled = std::round(std::fabs(value) * std::pow(10.0, decimals));
    if (scaled >= 1e32)
        return false;
    std::memset(p, 0, 17);
    for (int i = 31; i >= 0; --i) {
        int digit = static_cast<int>(std::fmod(scaled, 10.0));
        scaled = std::floor(scaled / 10.0);
        if (!positive)
            digit = 0x0F - digit;
        p[1 + i / 2] |= static_cast<uint8_t>(i % 2 ? digit : digit << 4);
    }
    p[0] = static_cast<uint8_t>((positive ? 0xC0 : 0x40) | decimals);
    return true;
}

double DecodeDateTime(const uint8_t* p, uint8_t type) {
    switch (type) {
    case IDP_FLD_DATE:
        return static_cast<double>(DecodeInteger(p, 4) - kDateDelta);
    case IDP_FLD_TIME:
        return static_cast<double>(DecodeInteger(p, 4)) / kMsPerDay;
    default:
        return DecodeDouble(p) / kMsPerDay - kDateDelta;
    }
}

bool EncodeDateTime(uint8_t* p, uint8_t type, double value) {
    if (!std::isfinite(value))
        return false;
    switch (type) {
    case IDP_FLD_DATE: {
        double days = std::floor(value) + kDateDelta;
        return days >= 1 && days <= 3652059 && EncodeInteger(p, 4, static_cast<int64_t>(days));
    }
    case IDP_FLD_TIME: {
        double ms = std::round((value - std::floor(value)) * kMsPerDay);
        return EncodeInteger(p, 4, static_cast<int64_t>(ms >= kMsPerDay ? kMsPerDay - 1 : ms));
    }
    default: {
        double ms = std::round((value + kDateDelta) * kMsPerDay);
        if (ms <= 0)
            return false;
        EncodeDouble(p, ms);
        return true;
    }
    }
}

std::string DecodeAlpha(const uint8_t* p, uint16_t width) {
    return std::string(reinterpret_cast<const char*>(p), TextLength(p, width));
}

void EncodeAlpha(uint8_t* p, uint16_t width, const std::string& text) {
    size_t n = text.size() < width ? text.size() : width;
    std::memset(p, 0, width);
    std::memcpy(p, text.data(), n);
}

} // namespace idp
