// TTUtility: the library's loading and sessions, the table names it is given, and the
// verify, describe and rebuild calls with their progress reports.
#include "tableutil/Tu32.h"

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Paths.h"
#include "framework/data/DBErrors.h"
#include "framework/data/Session.h"
#include "tableutil/FaultGuard.h"
#include "tableutil/TableNames.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <utility>
#include <memory>

using namespace tablenames;

namespace {

constexpr size_t kMaxName = 255;
const char* const kParadox = "Paradox";

uint16_t Word(const unsigned char* p, size_t at) {
    uint16_t v;
    std::memcpy(&v, p + at, sizeof v);
    return v;
}

std::string CString(const unsigned char* p, size_t at, size_t max) {
    const char* s = reinterpret_cast<const char*>(p + at);
    return std::string(s, strnlen(s, max));
}

const char* OrNull(const std::string& s) {
    return s.empty() ? nullptr : s.c_str();
}

// Runs a clean-up step when the scope ends. Its own failure goes on to the caller unless
// the scope is already ending with another one, which then takes precedence.
template <typename TFn> class TFinally {
  public:
    explicit TFinally(TFn fn) : fn_(std::move(fn)), unwinding_(std::uncaught_exceptions()) {}
    ~TFinally() noexcept(false) {
        if (std::uncaught_exceptions() == unwinding_) {
            fn_();
            return;
        }
        try {
            fn_();
        } catch (const std::exception&) {
            // the failure already on its way is the one the caller sees
        }
    }
    TFinally(const TFinally&) = delete;
    TFinally& operator=(const TFinally&) = delete;

  private:
    TFn fn_;
    int unwinding_;
};

// A fault inside the library: the fault's description, and the entry point it ended, on
// a second line, unless a Trying step around the call names another.
class ELibraryFault : public ETUtilityError {
  public:
    ELibraryFault(const std::string& fault, const char* entry)
        : ETUtilityError(fault + "\r\n" + "Trying" + " " + entry), fault_(fault) {}
    const std::string& Fault() const { return fault_; }

  private:
    std::string fault_;
};

// Calls into the library; a processor fault there ends the call, not the program.
template <typename TCall> TUStatus LibraryCall(const char* entry, TCall call) {
    TUStatus status = 0;
    std::string fault;
    if (!faultguard::Guarded([&] { status = call(); }, fault))
        throw ELibraryFault(fault, entry);
    return status;
}

// Rewraps an engine failure or a fault of a library call with the call's name on a second
// line.
template <typename TFn> void Trying(const char* function, TFn fn) {
    try {
        fn();
    } catch (const fw::EDBEngineError& e) {
        throw ETUtilityError(std::string(e.what()) + "\r\n" + "Trying" + " " + function);
    } catch (const ELibraryFault& e) {
        throw ETUtilityError(e.Fault() + "\r\n" + "Trying" + " " + function);
    }
}

// An engine database of a directory for the length of a scope.
class TDatabaseRef {
  public:
    explicit TDatabaseRef(const std::string& directory) {
        fw::CheckCall(
            idpOpenDatabase(fw::TSession::Default().Handle(), directory.c_str(), &db_, nullptr, 0));
    }
    ~TDatabaseRef() { idpCloseDatabase(db_); }
    TDatabaseRef(const TDatabaseRef&) = delete;
    TDatabaseRef& operator=(const TDatabaseRef&) = delete;
    IdpDatabase Handle() const { return db_; }

  private:
    IdpDatabase db_ = nullptr;
};

bool DirectoryExists(const std::string& dir) {
    const DWORD a = GetFileAttributesA(dir.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

template <typename T> void TTUtility::Resolve(T& entry, const char* name) {
    entry = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    if (!entry) {
        FreeLibrary(module_);
        module_ = nullptr;
        throw EDLLLoadError(std::string("TUTIL32.DLL lacks the entry point ") + name);
    }
}

TTUtility::TTUtility(fw::TComponent* owner, const std::string& libraryName) : TComponent(owner) {
    if (fw::TSession::Count() == 1 && fw::TSession::Default().DatabaseCount() == 0)
        fw::TSession::OpenSession("TUtilSession");
    module_ = LoadLibraryA(libraryName.c_str());
    if (reinterpret_cast<intptr_t>(module_) < 32) {
        module_ = nullptr;
        throw EDLLLoadError("Unable to Load TUTIL32.DLL");
    }
    Resolve(entries_.Init, "TUInit");
    Resolve(entries_.VerifyTable, "TUVerifyTable");
    Resolve(entries_.RebuildTable, "TURebuildTable");
    Resolve(entries_.GetCRTblDescCount, "TUGetCRTblDescCount");
    Resolve(entries_.FillCRTblDesc, "TUFillCRTblDesc");
    Resolve(entries_.FillCURProps, "TUFillCURProps");
    Resolve(entries_.Exit, "TUExit");
    Resolve(entries_.GetErrorString, "TUGetErrorString");
}

TTUtility::~TTUtility() {
    try {
        if (!password_.empty())
            fw::TSession::Default().RemovePassword(password_);
        EndLibrarySession();
    } catch (const std::exception&) {
        // nothing more can be done while going away
    }
    FreeRebuildDesc();
    if (module_)
        FreeLibrary(module_);
}

void TTUtility::BeginLibrarySession() {
    EndLibrarySession();
    session_ = new uint16_t(0);
    try {
        fw::Check(LibraryCall("TUInit", [&] { return entries_.Init(session_); }));
    } catch (...) {
        // No session was opened: there is nothing for TUExit to end.
        delete session_;
        session_ = nullptr;
        throw;
    }
}

void TTUtility::EndLibrarySession() {
    if (!session_)
        return;
    // A failure keeps the handle.
    fw::Check(LibraryCall("TUExit", [&] { return entries_.Exit(*session_); }));
    delete session_;
    session_ = nullptr;
}

std::string TTUtility::Native(const std::string& name) const {
    const std::string cut = name.substr(0, kMaxName);
    if (cut.empty())
        return cut;
    TDatabaseRef db(PrivateDirPath());
    char buffer[kMaxName + 1] = {};
    fw::CheckCall(idpToNative(db.Handle(), cut.c_str(), buffer, sizeof buffer));
    return buffer;
}

std::string TTUtility::PrivateDirPath() const {
    return WithBackslash(fw::TSession::Default().PrivateDir());
}

// ---- Names ----

void TTUtility::StoreChecked(std::string& slot, const std::string& value) {
    slot = StripExtension(value) + ".DB";
    const std::string dir = DirectoryPart(slot);
    if (!dir.empty() && !DirectoryExists(dir)) {
        slot.clear();
        throw ETUtilityError("Invalid directory path");
    }
}

void TTUtility::SettErrTableName(const std::string& value) {
    StoreChecked(errTable_, value.empty() ? "__TUERR.DB" : value);
}

void TTUtility::SettBkUpTableName(const std::string& value) {
    std::string name;
    if (!value.empty())
        name = StripExtension(value);
    else if (!tableName_.empty())
        name = BackupTablePath(); // derived from the name stored so far
    else {
        bkUpTable_.clear();
        return;
    }
    StoreChecked(bkUpTable_, name);
}

void TTUtility::SettKeyVTableName(const std::string& value) {
    keyVTable_ = value;
    StoreChecked(keyVTable_, value.empty() ? KeyViolTablePath() : value);
}

void TTUtility::SettProbTableName(const std::string& value) {
    probTable_ = value;
    StoreChecked(probTable_, value.empty() ? ProblemTablePath() : value);
}

std::string TTUtility::ErrTablePath() {
    if (errTable_.empty())
        SettErrTableName("");
    return DirectoryPart(errTable_).empty() ? PrivateDirPath() + errTable_ : errTable_;
}

std::string TTUtility::BackupTablePath() const {
    const std::string tableDir = DirectoryPart(tableName_);
    if (bkUpTable_.empty())
        return tableDir + UnderscoreName(StripExtension(FilePart(tableName_)));
    const std::string stripped = StripExtension(bkUpTable_);
    if (!DirectoryPart(stripped).empty())
        return stripped;
    return tableDir + UnderscoreName(stripped);
}

namespace {
std::string SideTablePath(const std::string& name, const std::string& privateDir,
                          const char* fallback) {
    if (name.empty())
        return privateDir + fallback;
    if (!DirectoryPart(name).empty())
        return StripExtension(name);
    return StripExtension(privateDir + name);
}
} // namespace

std::string TTUtility::KeyViolTablePath() const {
    return SideTablePath(keyVTable_, PrivateDirPath(), "KEYVIOL");
}

std::string TTUtility::ProblemTablePath() const {
    return SideTablePath(probTable_, PrivateDirPath(), "PROBLEMS");
}

void TTUtility::SetPassword(const std::string& value) {
    if (value == password_)
        return;
    fw::TSession session = fw::TSession::Default();
    if (!password_.empty())
        session.RemovePassword(password_);
    session.AddPassword(value);
    password_ = value;
}

void TTUtility::SetCBVerifyDialog(TVerifyDlg* value) {
    verifyDialog_ = value;
    CBActive = true;
}

void TTUtility::SetCBRebuildDialog(TRebuildDlg* value) {
    rebuildDialog_ = value;
    CBActive = true;
}

void TTUtility::Notification(fw::TComponent* removed) {
    if (removed && removed == rebuildDialog_)
        SetCBRebuildDialog(nullptr);
    if (removed && removed == verifyDialog_)
        SetCBVerifyDialog(nullptr);
}

// ---- Selecting a table ----

void TTUtility::SetTableName(const std::string& value) {
    tableName_ = value;
    if (value.empty())
        return;
    if (!fw::FileExists(value)) {
        tableName_.clear();
        throw ETUtilityError("Table not found.");
    }
    GetTableInfo(tableName_, tableInfo_);
    if (tableInfo_.TableType != kParadox)
        throw ETUtilityError("TUtility only currently supports the ttParadox table type.");
    SettBkUpTableName("");
}

void TTUtility::GetTableInfo(const std::string& path, TTableInfo& info) {
    info = TTableInfo{};
    ReadCursorProps(path, info);
    CheckHeader(path);
    ReadRecordCount(path, info);
}

void TTUtility::ReadCursorProps(const std::string& path, TTableInfo& info) {
    if (path.empty())
        throw ETUtilityError("Invalid TUVerify parameters");
    unsigned char props[TU_CURPROPS_SIZE] = {};
    const std::string table = Native(StripExtension(path));
    TFinally end([this] { EndLibrarySession(); });
    BeginLibrarySession();
    fw::Check(LibraryCall("TUFillCURProps",
                          [&] { return entries_.FillCURProps(*session_, table.c_str(), props); }));
    info.TableType = CString(props, TU_CP_TABLE_TYPE, 32);
    info.FieldCount = Word(props, TU_CP_FIELDS);
    info.RecordSize = Word(props, TU_CP_RECORD_SIZE);
    info.KeySize = Word(props, TU_CP_KEY_SIZE);
    info.IndexCount = Word(props, TU_CP_INDEXES);
    info.ValChecks = Word(props, TU_CP_VAL_CHECKS);
    info.RefIntChecks = Word(props, TU_CP_RI_CHECKS);
    info.RestructureVersion = Word(props, TU_CP_RESTRUCTURE);
    info.AuxPasswords = Word(props, TU_CP_AUX_PASSWORDS);
    info.PasswordProtected = Word(props, TU_CP_PROTECTED) != 0 ? 1 : 0;
    info.LanguageDriver = CString(props, TU_CP_LANG_DRIVER, 32);
    info.BlockSize = Word(props, TU_CP_BLOCK_SIZE);
}

void TTUtility::CheckHeader(const std::string& path) {
    errorLevel_ = 0;
    const std::string table = Native(StripExtension(path));
    TFinally end([this] { EndLibrarySession(); });
    TFinally scratch([] {
        // The header check writes its findings to a scratch table in the current
        // directory; it must not stay behind.
        if (fw::FileExists("__TMP.DB"))
            DeleteFileA("__TMP.DB");
    });
    BeginLibrarySession();
    fw::Check(LibraryCall("TUVerifyTable", [&] {
        return entries_.VerifyTable(*session_, table.c_str(), kParadox, "__TMP.DB", nullptr,
                                    TU_HEADER_ONLY | TU_NO_LOCK, &errorLevel_);
    }));
}

void TTUtility::ReadRecordCount(const std::string& path, TTableInfo& info) {
    if (path.empty())
        throw ETUtilityError("Invalid TUVerify parameters");
    TDatabaseRef db(DirectoryPart(path).empty() ? std::string(".") : DirectoryPart(path));
    if (info.PasswordProtected && password_.empty()) {
        std::string answer;
        if (!fw::Dialogs().InputQuery("Table Password", "Enter Master Password", answer) ||
            answer.empty())
            return;
        SetPassword(answer);
    }
    char pattern[261] = {};
    fw::CheckCall(idpToNative(db.Handle(), path.substr(0, 260).c_str(), pattern, sizeof pattern));
    IdpTableList list = nullptr;
    fw::CheckCall(idpOpenTableList(db.Handle(), pattern, 1, 1, &list));
    std::unique_ptr<IdpTableListRec, decltype(&idpCloseTableList)> closer(list, idpCloseTableList);
    IdpTableListEntry entry{};
    fw::CheckCall(idpReadTableList(list, &entry));
    const auto* bytes = reinterpret_cast<const unsigned char*>(&entry);
    int32_t count;
    std::memcpy(&count, bytes + 618, sizeof count);
    info.RecordCount = count;
    info.RebuildPossible = Word(bytes, 624) != 0 && errorLevel_ < 3 ? 1 : 0;
}

// ---- Verify, describe, rebuild ----

void TTUtility::UnregisterCallback(uint16_t length, void* buffer) {
    fw::Application().Protect([&] {
        fw::Check(idpRegisterCallback(nullptr, IDP_CB_PROGRESS, 0, length, buffer, nullptr));
    });
}

void TTUtility::VerifyTable() {
    if (tableName_.empty())
        throw ETUtilityError("Invalid TUVerify parameters");
    callbackError_ = nullptr;
    const bool callbacks = CBActive;
    if (callbacks)
        fw::Check(idpRegisterCallback(nullptr, IDP_CB_PROGRESS, reinterpret_cast<uintptr_t>(this),
                                      TU_VCB_SIZE, verifyBuffer_, &VerifyCallback));
    TFinally unregister([this, callbacks] {
        if (callbacks)
            UnregisterCallback(TU_VCB_SIZE, verifyBuffer_);
    });
    if (CBActive && verifyDialog_)
        verifyDialog_->ShowStatus();
    Trying("TUVerifyTable", [&] {
        TFinally window([this] {
            if (CBActive && verifyDialog_)
                verifyDialog_->CloseStatus();
        });
        TFinally end([this] { EndLibrarySession(); });
        errorLevel_ = 0;
        const std::string table = Native(StripExtension(tableName_));
        const std::string errTable = Native(ErrTablePath());
        BeginLibrarySession();
        const TUStatus status = LibraryCall("TUVerifyTable", [&] {
            return entries_.VerifyTable(*session_, table.c_str(), kParadox, OrNull(errTable),
                                        nullptr, Options, &errorLevel_);
        });
        RethrowCallbackError();
        fw::Check(status);
    });
}

void TTUtility::FreeRebuildDesc() {
    if (!rebuildDesc_)
        return;
    TURebuildDescriptor& d = *rebuildDesc_;
    for (uint8_t** p :
         {&d.fields, &d.indexes, &d.security, &d.valChecks, &d.riDescs, &d.optParams, &d.optData}) {
        std::free(*p);
        *p = nullptr;
    }
    std::free(rebuildDesc_);
    rebuildDesc_ = nullptr;
}

TURebuildDescriptor* TTUtility::GetTableDesc() {
    Trying("TUGetCrTblDescCount", [&] {
        TFinally end([this] { EndLibrarySession(); });
        const std::string table = Native(StripExtension(tableName_));
        uint16_t c[7] = {};
        BeginLibrarySession();
        fw::Check(LibraryCall("TUGetCRTblDescCount", [&] {
            return entries_.GetCRTblDescCount(*session_, table.c_str(), &c[0], &c[1], &c[2], &c[3],
                                              &c[4], &c[5], &c[6]);
        }));
        try {
            FreeRebuildDesc();
            rebuildDesc_ =
                static_cast<TURebuildDescriptor*>(std::calloc(1, sizeof(TURebuildDescriptor)));
            TURebuildDescriptor& d = *rebuildDesc_;
            std::strncpy(d.tableName, table.c_str(), sizeof d.tableName - 1);
            std::strncpy(d.tableType, kParadox, sizeof d.tableType - 1);
            std::strncpy(d.errTableName, Native(ErrTablePath()).c_str(), sizeof d.errTableName - 1);
            d.pack = Pack ? 1 : 0;
            uint16_t* counts[6] = {&d.fieldCount,    &d.indexCount, &d.securityCount,
                                   &d.valCheckCount, &d.riCount,    &d.optParamCount};
            uint8_t** arrays[7] = {&d.fields,  &d.indexes,   &d.security, &d.valChecks,
                                   &d.riDescs, &d.optParams, &d.optData};
            for (int i = 0; i < 7; ++i) {
                if (i < 6)
                    *counts[i] = c[i];
                *arrays[i] =
                    static_cast<uint8_t*>(std::calloc(c[i] ? c[i] : 1, kTUElementSizes[i]));
            }
            const std::string password = Native(password_);
            Trying("TUFillCRTblDesc", [&] {
                fw::Check(LibraryCall("TUFillCRTblDesc", [&] {
                    return entries_.FillCRTblDesc(*session_, rebuildDesc_, table.c_str(),
                                                  OrNull(password));
                }));
            });
        } catch (...) {
            FreeRebuildDesc();
            throw;
        }
    });
    return rebuildDesc_;
}

void TTUtility::RebuildTable(TURebuildDescriptor* desc) {
    if (!desc)
        throw ETUtilityError("Invalid table description pointer parameter");
    if (desc != rebuildDesc_) {
        FreeRebuildDesc();
        rebuildDesc_ = desc;
    }
    if (tableName_.empty())
        throw ETUtilityError("Invalid TURebuild parameters");
    callbackError_ = nullptr;
    const bool callbacks = CBActive;
    if (callbacks)
        fw::Check(idpRegisterCallback(nullptr, IDP_CB_PROGRESS, reinterpret_cast<uintptr_t>(this),
                                      TU_RCB_SIZE, rebuildBuffer_, &RebuildCallback));
    TFinally unregister([this, callbacks] {
        if (callbacks)
            UnregisterCallback(TU_RCB_SIZE, rebuildBuffer_);
    });
    if (CBActive && rebuildDialog_)
        rebuildDialog_->ShowStatus();
    Trying("TURebuildTable", [&] {
        TFinally window([this] {
            if (CBActive && rebuildDialog_)
                rebuildDialog_->CloseStatus();
        });
        TFinally end([this] { EndLibrarySession(); });
        const std::string table = Native(StripExtension(tableName_));
        const std::string backup = Native(BackupTablePath());
        const std::string keyViol = Native(KeyViolTablePath());
        const std::string problems = Native(ProblemTablePath());
        BeginLibrarySession();
        const TUStatus status = LibraryCall("TURebuildTable", [&] {
            return entries_.RebuildTable(*session_, table.c_str(), kParadox, OrNull(backup),
                                         OrNull(keyViol), OrNull(problems), rebuildDesc_);
        });
        RethrowCallbackError();
        fw::Check(status);
    });
}

// ---- Progress reports ----

// The reports arrive from inside the library, which has C frames of its own: a failure
// of a window or handler must not unwind through them. The first is kept and raised once
// the library call has returned.
template <typename TFn> int32_t TTUtility::Report(uintptr_t clientData, TFn report) {
    auto* u = reinterpret_cast<TTUtility*>(clientData);
    if (!u || !u->CBActive)
        return 1;
    try {
        report(*u);
    } catch (...) {
        if (!u->callbackError_)
            u->callbackError_ = std::current_exception();
    }
    return 1;
}

void TTUtility::RethrowCallbackError() {
    if (std::exception_ptr error = std::exchange(callbackError_, nullptr))
        std::rethrow_exception(error);
}

int32_t TTUtility::VerifyCallback(uint16_t, uintptr_t clientData, void* buffer) {
    return Report(clientData, [buffer](TTUtility& u) {
        const auto* b = static_cast<const unsigned char*>(buffer);
        const uint16_t value = Word(b, TU_VCB_VALUE);
        const std::string message = CString(b, TU_VCB_MESSAGE, TU_VCB_MESSAGE_LEN);
        const uint8_t phase = b[TU_VCB_PHASE];
        const uint16_t number = b[TU_VCB_INDEX + 1], count = b[TU_VCB_INDEX_COUNT + 1];
        TVerifyDlg* d = u.verifyDialog_;
        if (d && d->StatusExists()) {
            switch (phase) {
            case 0:
                d->SetHeaderProgress(value);
                break;
            case 1:
                d->SetIndexProgress(value);
                break;
            case 2:
                d->SetDataProgress(value);
                break;
            case 3:
                d->SetHeaderIdxProgress(value);
                break;
            case 4:
                d->SetIndexIdxProgress(value);
                break;
            case 5:
                d->SetDataIdxProgress(value);
                break;
            case 6:
                d->SetIntegrityProgress(value);
                d->SetIndexNumber(std::to_string(number));
                d->SetIndexCount(std::to_string(count));
                break;
            case 7:
                d->SetStatusText(message);
                break;
            default:
                break;
            }
        }
        if (u.OnInfoVerify)
            u.OnInfoVerify(&u, {value, message.substr(0, 82), phase, number, count});
    });
}

int32_t TTUtility::RebuildCallback(uint16_t, uintptr_t clientData, void* buffer) {
    return Report(clientData, [buffer](TTUtility& u) {
        const auto* b = static_cast<const unsigned char*>(buffer);
        const auto value = static_cast<int16_t>(Word(b, TU_RCB_VALUE));
        // The message may fill its room without a terminator: read no further than the
        // buffer's end.
        const std::string message = CString(b, TU_RCB_MESSAGE, TU_RCB_SIZE - TU_RCB_MESSAGE);
        TRebuildDlg* d = u.rebuildDialog_;
        if (d && d->StatusExists()) {
            if (!message.empty())
                d->SetPackedText(message);
            else
                d->SetRebuildProgress(value);
            d->RefreshStatus();
        }
        if (u.OnInfoRebuild) {
            if (value >= 0)
                u.OnInfoRebuild(&u, {value, ""});
            else
                u.OnInfoRebuild(&u, {0, message});
        }
    });
}
