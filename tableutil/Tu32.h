// TTUtility: checks a Paradox table for damage and rebuilds a damaged one through
// TUTIL32.DLL, loaded at run time. It prepares the names and descriptors the library
// takes, turns its statuses into exceptions and relays its progress reports to the
// progress windows.
#pragma once

#include "framework/Component.h"
#include "framework/Exception.h"
#include "platform/idapi/idapi.h"
#include "tableutil/Rebdlg.h"
#include "tableutil/Tu32Binding.h"
#include "tableutil/Verdlg.h"

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

class ETUtilityError : public fw::Exception {
    using fw::Exception::Exception;
};
class EDLLLoadError : public fw::Exception {
    using fw::Exception::Exception;
};

enum class TVerifyOption : uint8_t {
    vTU_Append_Errors = 0x01,
    vTU_No_Secondary = 0x02,
    vTU_No_Warnings = 0x04,
    vTU_Header_Only = 0x08,
    vTU_Dialog_Hide = 0x10,
    vTU_No_Lock = 0x20,
};

struct TTableInfo {
    std::string TableType; // at most 32 characters
    uint16_t FieldCount = 0;
    uint16_t RecordSize = 0;
    uint16_t KeySize = 0;
    uint16_t IndexCount = 0;
    uint16_t ValChecks = 0;
    uint16_t RefIntChecks = 0;
    uint16_t RestructureVersion = 0;
    uint16_t AuxPasswords = 0;
    int32_t PasswordProtected = 0;
    std::string LanguageDriver; // at most 32 characters
    uint16_t BlockSize = 0;
    int32_t RecordCount = 0;
    int32_t RebuildPossible = 0;
};

struct TVerifyCBData {
    uint16_t Percent;
    std::string Message; // at most 82 characters
    uint8_t Phase;
    uint16_t IndexNumber;
    uint16_t IndexCount;
};

struct TRebuildCBData {
    int32_t Percent;     // 0 when the library sent a message instead of a value
    std::string Message; // at most 128 characters
};

class TTUtility;
using TInfoVerifyEvent = std::function<void(TTUtility* sender, const TVerifyCBData& data)>;
using TInfoRebuildEvent = std::function<void(TTUtility* sender, const TRebuildCBData& data)>;

class TTUtility : public fw::TComponent {
  public:
    // Loads the library from libraryName (the program's is "TUTIL32.DLL").
    explicit TTUtility(fw::TComponent* owner, const std::string& libraryName = "TUTIL32.DLL");
    ~TTUtility() override;

    const std::string& TableName() const { return tableName_; }
    void SetTableName(const std::string& value);
    const std::string& tErrTableName() const { return errTable_; }
    void SettErrTableName(const std::string& value);
    const std::string& tBkUpTableName() const { return bkUpTable_; }
    void SettBkUpTableName(const std::string& value);
    const std::string& tKeyVTableName() const { return keyVTable_; }
    void SettKeyVTableName(const std::string& value);
    const std::string& tProbTableName() const { return probTable_; }
    void SettProbTableName(const std::string& value);
    const std::string& Password() const { return password_; }
    void SetPassword(const std::string& value);
    TVerifyDlg* CBVerifyDialog() const { return verifyDialog_; }
    void SetCBVerifyDialog(TVerifyDlg* value);
    TRebuildDlg* CBRebuildDialog() const { return rebuildDialog_; }
    void SetCBRebuildDialog(TRebuildDlg* value);

    uint8_t Options = 0; // TVerifyOption bits
    bool CBActive = false;
    bool Pack = true;
    TInfoVerifyEvent OnInfoVerify;
    TInfoRebuildEvent OnInfoRebuild;

    int32_t ErrorLevel() const { return errorLevel_; }
    const TTableInfo& TableInfo() const { return tableInfo_; }
    TURebuildDescriptor* RebuildDesc() const { return rebuildDesc_; }

    // The names the library receives (no extension but the error table's).
    std::string ErrTablePath();
    std::string BackupTablePath() const;
    std::string KeyViolTablePath() const;
    std::string ProblemTablePath() const;
    std::string PrivateDirPath() const;

    void GetTableInfo(const std::string& path, TTableInfo& info);
    void VerifyTable();
    TURebuildDescriptor* GetTableDesc();
    void RebuildTable(TURebuildDescriptor* desc);

    // A component this one refers to is going away: forget it.
    void Notification(fw::TComponent* removed);

    // The progress reports the library sends through the engine (client data: this).
    static int32_t VerifyCallback(uint16_t type, uintptr_t clientData, void* buffer);
    static int32_t RebuildCallback(uint16_t type, uintptr_t clientData, void* buffer);

  private:
    template <typename T> void Resolve(T& entry, const char* name);
    void BeginLibrarySession();
    void EndLibrarySession();
    void FreeRebuildDesc();
    // A name in the engine's native character set, cut to 255 characters.
    std::string Native(const std::string& name) const;
    // The stored name + ".DB"; a directory that does not exist clears it and raises.
    void StoreChecked(std::string& slot, const std::string& value);
    void ReadCursorProps(const std::string& path, TTableInfo& info);
    void CheckHeader(const std::string& path);
    void ReadRecordCount(const std::string& path, TTableInfo& info);
    void UnregisterCallback(uint16_t length, void* buffer);
    template <typename TFn> static int32_t Report(uintptr_t clientData, TFn report);
    void RethrowCallbackError();

    std::string tableName_;
    std::string errTable_ = "__TUERR.DB";
    std::string bkUpTable_;
    std::string keyVTable_ = "KEYVIOL.DB";
    std::string probTable_ = "PROBLEMS.DB";
    uint16_t* session_ = nullptr;
    std::string password_;
    int32_t errorLevel_ = 0;
    TVerifyDlg* verifyDialog_ = nullptr;
    TRebuildDlg* rebuildDialog_ = nullptr;
    TTableInfo tableInfo_;
    TURebuildDescriptor* rebuildDesc_ = nullptr;
    unsigned char verifyBuffer_[TU_VCB_SIZE] = {};
    unsigned char rebuildBuffer_[TU_RCB_SIZE] = {};
    // The first failure of a progress report during the library call under way.
    std::exception_ptr callbackError_;

    HMODULE module_ = nullptr;
    TUtilEntries entries_{};
};
