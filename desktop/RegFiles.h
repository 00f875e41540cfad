// TRegFile: the registry store through which settings are read and written. Each value
// is a Variant; every read or write opens (creating when missing) the key, makes one
// registry call and closes the key again, also when the call fails.
#pragma once

#include "framework/Component.h"
#include "framework/Exception.h"
#include "framework/Variant.h"

#include <windows.h>

#include <cstdint>
#include <string>

class ERegFileError : public fw::Exception {
    using Exception::Exception;
};

// The predefined registry roots, in the order the stored layouts number them.
enum TRootKey : std::uint8_t {
    hkClassesRoot,
    hkCurrentUser,
    hkLocalMachine,
    hkUsers,
    hkCurrentConfig,
    hkDynData, // only ever opened, never created below
};

class TRegFile : public fw::TComponent {
  public:
    explicit TRegFile(fw::TComponent* owner);
    ~TRegFile() override;

    TRootKey RootKey() const { return rootKey_; }
    void SetRootKey(TRootKey value) { rootKey_ = value; }
    const std::string& Key() const { return key_; }
    void SetKey(const std::string& value) { key_ = value; }
    // Result code of the last registry call checked by CheckResult (0 = success).
    std::int32_t LastError() const { return lastError_; }

    // Opens (or, unless openOnly, creates and opens) a key below the root. With openOnly
    // the result tells whether the open succeeded; otherwise a failure raises.
    virtual bool OpenKey(const std::string& path, bool openOnly);
    virtual void CloseKey();

    // On the key OpenKey opened. An empty value name addresses the key's default value.
    // Data length in bytes, or -1 on any registry error (a missing value included).
    std::int32_t GetDataSize(const std::string& name, DWORD& regType);
    DWORD ReadData(const std::string& name, void* buffer, std::int32_t size);
    void WriteData(const std::string& name, const void* buffer, DWORD regType, std::int32_t size);

    // A name may carry a key path below Key in front of the value name ("Sub\Val").
    fw::Variant ReadValue(const std::string& name);
    void WriteValue(const std::string& name, const fw::Variant& value);
    // The stored value, or the default when the value is missing or has no data.
    fw::Variant ReadValueDef(const std::string& name, const fw::Variant& def);

    // Keeps the code in LastError and raises "Reg Error: %8.8X" unless it is 0.
    void CheckResult(LONG code);

    // Splits a name at its last single backslash (a doubled one does not split) into the
    // key path to add to Key (with a leading backslash) and the value name.
    struct TValuePath {
        std::string path;
        std::string value;
    };
    static TValuePath SplitValuePath(const std::string& name);

  protected:
    HKEY CurrentKey() const { return key_handle_; }

  private:
    class KeyScope;

    TRootKey rootKey_ = hkCurrentUser;
    std::string key_;
    HKEY key_handle_ = nullptr;
    std::int32_t lastError_ = 0;
};
