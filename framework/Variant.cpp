// Variant: ownership of the string kind, the checked record factory, and conversions
// handed to OLE (VariantChangeTypeEx in the user's default locale).
#include "framework/Variant.h"

#include "framework/Exception.h"

#include <windows.h>
#include <oleauto.h>

#include <cstring>

namespace fw {

namespace {

const char* const ConversionError = "Invalid variant type conversion";

// An OLE VARIANT that clears itself, so a BSTR never outlives the conversion.
struct OleVariant {
    VARIANT v;
    OleVariant() { VariantInit(&v); }
    ~OleVariant() { VariantClear(&v); }
    OleVariant(const OleVariant&) = delete;
    OleVariant& operator=(const OleVariant&) = delete;
};

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const wchar_t* text, UINT length) {
    if (length == 0)
        return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr,
                                nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), narrow.data(), n, nullptr,
                        nullptr);
    return narrow;
}

bool HoldsValueInPayload(std::uint16_t type) {
    switch (type) {
    case varEmpty:
    case varNull:
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varBoolean:
        return true;
    default:
        return false;
    }
}

// Converts by OLE's rules into `target`, which then holds a value of kind `type`.
void ChangeType(const TVarData& from, VARTYPE type, OleVariant& target) {
    OleVariant source;
    if (from.VType == varString) {
        std::wstring wide = Widen(*from.VString);
        source.v.vt = VT_BSTR;
        source.v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        if (!source.v.bstrVal)
            throw EVariantError(ConversionError);
    } else {
        // The by-value kinds share their codes and payload layout with OLE's VARIANT.
        std::memcpy(&source.v, &from, sizeof from);
    }
    if (FAILED(VariantChangeTypeEx(&target.v, &source.v, LOCALE_USER_DEFAULT, 0, type)))
        throw EVariantError(ConversionError);
}

} // namespace

Variant::Variant() : data_{} {}

Variant::Variant(int value) : data_{} {
    data_.VType = varInteger;
    data_.VInteger = value;
}

Variant::Variant(short value) : data_{} {
    data_.VType = varSmallint;
    data_.VSmallint = value;
}

Variant::Variant(bool value) : data_{} {
    data_.VType = varBoolean;
    data_.VBoolean = value ? -1 : 0;
}

Variant::Variant(float value) : data_{} {
    data_.VType = varSingle;
    data_.VSingle = value;
}

Variant::Variant(double value) : data_{} {
    data_.VType = varDouble;
    data_.VDouble = value;
}

Variant::Variant(const std::string& value) : data_{} {
    data_.VString = new std::string(value);
    data_.VType = varString;
}

Variant::Variant(const char* value) : Variant(std::string(value ? value : "")) {}

Variant Variant::Null() {
    Variant v;
    v.data_.VType = varNull;
    return v;
}

Variant Variant::FromCurrency(std::int64_t scaled) {
    Variant v;
    v.data_.VType = varCurrency;
    v.data_.VCurrency = scaled;
    return v;
}

Variant Variant::FromDateTime(double days) {
    Variant v;
    v.data_.VType = varDate;
    v.data_.VDate = days;
    return v;
}

std::optional<Variant> Variant::FromRecord(const TVarRecord& record) {
    std::uint16_t type = static_cast<std::uint16_t>(record[0] | record[1] << 8);
    if (!HoldsValueInPayload(type))
        return std::nullopt;
    Variant v;
    v.data_.VType = type;
    std::memcpy(v.data_.VBytes, record.data() + 8, 8);
    return v;
}

Variant::Variant(const Variant& other) : data_(other.data_) {
    if (data_.VType == varString)
        data_.VString = new std::string(*other.data_.VString);
}

Variant::Variant(Variant&& other) noexcept : data_(other.data_) {
    other.data_ = TVarData{};
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) {
        Variant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        Clear();
        data_ = other.data_;
        other.data_ = TVarData{};
    }
    return *this;
}

Variant::~Variant() {
    Clear();
}

void Variant::Clear() {
    if (data_.VType == varString)
        delete data_.VString;
    data_ = TVarData{};
}

TVarRecord Variant::Record() const {
    if (!HoldsValueInPayload(data_.VType))
        throw EVariantError(ConversionError);
    TVarRecord record{};
    record[0] = static_cast<std::uint8_t>(data_.VType & 0xFF);
    record[1] = static_cast<std::uint8_t>(data_.VType >> 8);
    std::memcpy(record.data() + 8, data_.VBytes, 8);
    return record;
}

std::int32_t Variant::AsInteger() const {
    if (data_.VType == varInteger)
        return data_.VInteger;
    OleVariant result;
    ChangeType(data_, VT_I4, result);
    return result.v.lVal;
}

bool Variant::AsBoolean() const {
    OleVariant result;
    ChangeType(data_, VT_BOOL, result);
    return result.v.boolVal != VARIANT_FALSE;
}

double Variant::AsDouble() const {
    OleVariant result;
    ChangeType(data_, VT_R8, result);
    return result.v.dblVal;
}

std::string Variant::AsString() const {
    if (data_.VType == varString)
        return *data_.VString;
    OleVariant result;
    ChangeType(data_, VT_BSTR, result);
    return Narrow(result.v.bstrVal, SysStringLen(result.v.bstrVal));
}

} // namespace fw
