// The tagged value in which settings travel: 16 bytes in the OLE Automation VARIANT
// layout (type code, three reserved words, 8-byte payload). Conversions between kinds
// follow OLE's own rules, in the user's default locale.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace fw {

// Type codes of the kinds a Variant can hold.
enum TVarType : std::uint16_t {
    varEmpty = 0,
    varNull = 1,
    varSmallint = 2,
    varInteger = 3,
    varSingle = 4,
    varDouble = 5,
    varCurrency = 6,
    varDate = 7,
    varBoolean = 11,
    varString = 256, // the program's own string; the payload refers to heap memory
};

// The record as it lies in memory.
struct TVarData {
    std::uint16_t VType;
    std::uint16_t Reserved1;
    std::uint16_t Reserved2;
    std::uint16_t Reserved3;
    union {
        std::int16_t VSmallint;
        std::int32_t VInteger;
        float VSingle;
        double VDouble;
        std::int64_t VCurrency; // scaled by 10,000
        double VDate;           // days since 30 December 1899
        std::int16_t VBoolean;  // -1 true, 0 false
        std::string* VString;
        std::uint8_t VBytes[8];
    };
};
static_assert(sizeof(TVarData) == 16);
static_assert(offsetof(TVarData, VType) == 0);
static_assert(offsetof(TVarData, Reserved1) == 2);
static_assert(offsetof(TVarData, VDouble) == 8);

using TVarRecord = std::array<std::uint8_t, 16>;

class Variant {
  public:
    Variant(); // empty
    Variant(int value);
    Variant(short value);
    Variant(bool value);
    Variant(float value);
    Variant(double value);
    Variant(const std::string& value);
    Variant(const char* value);
    static Variant Null();
    static Variant FromCurrency(std::int64_t scaled);
    static Variant FromDateTime(double days);
    // Builds a Variant from raw bytes (the registry, for instance). Only kinds that hold
    // their value in the payload are accepted; anything else, the string kind above all,
    // gives nothing, so no pointer is ever taken from outside data.
    static std::optional<Variant> FromRecord(const TVarRecord& record);

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    std::uint16_t VarType() const { return data_.VType; }
    bool IsNull() const { return data_.VType == varNull; }
    bool IsEmpty() const { return data_.VType == varEmpty; }

    // The 16 bytes as they lie in memory, reserved words zero; not for the string kind.
    TVarRecord Record() const;

    // Conversions by OLE's rules; a failed one raises EVariantError
    // "Invalid variant type conversion".
    std::int32_t AsInteger() const;
    bool AsBoolean() const;
    double AsDouble() const;
    std::string AsString() const;

  private:
    void Clear();
    TVarData data_;
};
static_assert(sizeof(Variant) == 16);

} // namespace fw
