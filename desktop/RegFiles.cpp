// TRegFile: the registry store. How each Variant kind is stored and read back:
//   16-bit, 32-bit integer, Boolean  -> REG_DWORD (true as -1)  -> 32-bit integer
//   single, double, currency, date   -> REG_BINARY, the 16-byte record -> the same kind
//   string                           -> REG_SZ with its NUL     -> string
// Anything else stored reads back as empty; a missing value or one without data as null.
#include "desktop/RegFiles.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

HKEY RootHandle(TRootKey root) {
    switch (root) {
    case hkClassesRoot:
        return HKEY_CLASSES_ROOT;
    case hkCurrentUser:
        return HKEY_CURRENT_USER;
    case hkLocalMachine:
        return HKEY_LOCAL_MACHINE;
    case hkUsers:
        return HKEY_USERS;
    case hkCurrentConfig:
        return HKEY_CURRENT_CONFIG;
    case hkDynData:
        return HKEY_DYN_DATA;
    }
    return HKEY_CURRENT_USER;
}

// The registry takes a null name for the key's default value.
const char* ValueName(const std::string& name) {
    return name.empty() ? nullptr : name.c_str();
}

// What a stored value of the given type and data reads back as.
fw::Variant Decode(DWORD type, const std::vector<std::uint8_t>& data) {
    switch (type) {
    case REG_SZ: {
        const char* text = reinterpret_cast<const char*>(data.data());
        return fw::Variant(std::string(text, strnlen(text, data.size())));
    }
    case REG_DWORD:
        // Another program may have stored a DWORD of any length; only 4 bytes are one.
        if (data.size() == 4) {
            std::int32_t value;
            std::memcpy(&value, data.data(), 4);
            return fw::Variant(static_cast<int>(value));
        }
        return fw::Variant();
    case REG_BINARY:
        // Only a record as WriteValue stores it is trusted: a floating-point, currency or
        // date kind. Any other type code could claim to refer to memory.
        if (data.size() == 16) {
            fw::TVarRecord record;
            std::memcpy(record.data(), data.data(), 16);
            std::uint16_t kind = static_cast<std::uint16_t>(record[0] | record[1] << 8);
            if (kind >= fw::varSingle && kind <= fw::varDate)
                return *fw::Variant::FromRecord(record);
        }
        return fw::Variant();
    default:
        return fw::Variant();
    }
}

} // namespace

// Closes the key opened for one ReadValue or WriteValue when that call leaves by an
// exception, keeping the failure's code in LastError; on the normal path Close() closes
// the key and lets a failed close raise.
class TRegFile::KeyScope {
  public:
    explicit KeyScope(TRegFile& reg) : reg_(reg) {}
    KeyScope(const KeyScope&) = delete;
    KeyScope& operator=(const KeyScope&) = delete;
    ~KeyScope() {
        if (!armed_)
            return;
        std::int32_t failure = reg_.lastError_;
        try {
            reg_.CloseKey();
        } catch (...) {
            // The exception already leaving the call is the one to report.
        }
        reg_.lastError_ = failure;
    }
    void Close() {
        armed_ = false;
        reg_.CloseKey();
    }

  private:
    TRegFile& reg_;
    bool armed_ = true;
};

TRegFile::TRegFile(fw::TComponent* owner) : fw::TComponent(owner) {}

TRegFile::~TRegFile() {
    // Only a caller of OpenKey that never called CloseKey leaves a key open.
    if (key_handle_)
        RegCloseKey(key_handle_);
}

TRegFile::TValuePath TRegFile::SplitValuePath(const std::string& name) {
    // n counts from 1, as the scan is described: name[n - 1] is character n.
    std::size_t n = name.size();
    while (n > 0) {
        if (name[n - 1] != '\\')
            --n;
        else if (n == 1 || name[n - 2] != '\\')
            break;
        else
            n -= 2;
    }
    TValuePath split;
    if (n == 0) {
        split.value = name;
        return split;
    }
    split.path = name.substr(0, n - 1);
    split.value = name.substr(n);
    if (!split.path.empty() && split.path[0] != '\\')
        split.path.insert(0, 1, '\\');
    return split;
}

bool TRegFile::OpenKey(const std::string& path, bool openOnly) {
    if (key_handle_)
        CloseKey();
    HKEY root = RootHandle(rootKey_);
    if (!openOnly && !path.empty() && rootKey_ != hkDynData) {
        HKEY opened = nullptr;
        LONG code =
            RegCreateKeyExA(root, path.c_str(), 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &opened, nullptr);
        if (code == ERROR_SUCCESS)
            key_handle_ = opened;
        CheckResult(code);
        return true;
    }
    HKEY opened = nullptr;
    bool ok = RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &opened) == ERROR_SUCCESS;
    if (ok)
        key_handle_ = opened;
    if (!ok && !openOnly)
        throw ERegFileError("Can't open a Key");
    return ok;
}

void TRegFile::CloseKey() {
    if (key_handle_) {
        LONG code = RegCloseKey(key_handle_);
        // A handle the registry refused to close is no longer usable either.
        key_handle_ = nullptr;
        CheckResult(code);
    }
}

std::int32_t TRegFile::GetDataSize(const std::string& name, DWORD& regType) {
    DWORD size = 0;
    regType = REG_NONE;
    if (RegQueryValueExA(key_handle_, ValueName(name), nullptr, &regType, nullptr, &size) !=
        ERROR_SUCCESS)
        return -1;
    return static_cast<std::int32_t>(size);
}

DWORD TRegFile::ReadData(const std::string& name, void* buffer, std::int32_t size) {
    DWORD type = REG_NONE;
    DWORD length = static_cast<DWORD>(size);
    CheckResult(RegQueryValueExA(key_handle_, ValueName(name), nullptr, &type,
                                 static_cast<BYTE*>(buffer), &length));
    return type;
}

void TRegFile::WriteData(const std::string& name, const void* buffer, DWORD regType,
                         std::int32_t size) {
    CheckResult(RegSetValueExA(key_handle_, ValueName(name), 0, regType,
                               static_cast<const BYTE*>(buffer), static_cast<DWORD>(size)));
}

fw::Variant TRegFile::ReadValue(const std::string& name) {
    fw::Variant result = fw::Variant::Null();
    TValuePath split = SplitValuePath(name);
    OpenKey(key_ + split.path, false);
    KeyScope closer(*this);
    DWORD type = REG_NONE;
    std::int32_t size = GetDataSize(split.value, type);
    if (size > 0) {
        std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
        type = ReadData(split.value, data.data(), size);
        result = Decode(type, data);
    }
    closer.Close();
    return result;
}

void TRegFile::WriteValue(const std::string& name, const fw::Variant& value) {
    TValuePath split = SplitValuePath(name);
    OpenKey(key_ + split.path, false);
    KeyScope closer(*this);
    std::vector<std::uint8_t> data;
    DWORD type;
    switch (value.VarType()) {
    case fw::varSmallint:
    case fw::varInteger:
    case fw::varBoolean: {
        std::int32_t number = value.AsInteger();
        data.resize(4);
        std::memcpy(data.data(), &number, 4);
        type = REG_DWORD;
        break;
    }
    case fw::varSingle:
    case fw::varDouble:
    case fw::varCurrency:
    case fw::varDate: {
        fw::TVarRecord record = value.Record();
        data.assign(record.begin(), record.end());
        type = REG_BINARY;
        break;
    }
    case fw::varString: {
        std::string text = value.AsString();
        data.assign(text.begin(), text.end());
        data.push_back(0);
        type = REG_SZ;
        break;
    }
    default:
        throw ERegFileError("Invalid variant type");
    }
    WriteData(split.value, data.data(), type, static_cast<std::int32_t>(data.size()));
    closer.Close();
}

fw::Variant TRegFile::ReadValueDef(const std::string& name, const fw::Variant& def) {
    fw::Variant result = ReadValue(name);
    if (result.IsNull())
        result = def;
    return result;
}

void TRegFile::CheckResult(LONG code) {
    lastError_ = static_cast<std::int32_t>(code);
    if (code != ERROR_SUCCESS) {
        char text[32];
        std::snprintf(text, sizeof text, "Reg Error: %8.8lX", static_cast<unsigned long>(code));
        throw ERegFileError(text);
    }
}
