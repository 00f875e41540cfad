// TUTIL32.DLL's exports: library sessions, the C boundary around the portable core (every
// failure becomes a 16-bit engine status), the descriptor and cursor-properties records,
// and progress relayed to the callback the program registered with the engine.
#include <cstring>
#include <exception>
#include <mutex>
#include <new>
#include <set>

#include "core/Bytes.h"
#include "core/Status.h"
#include "core/Table.h"
#include "core/TablePath.h"
#include "core/Tutil.h"
#include "dll/ProgressBuffers.h"
#include "idapi.h"
#include "tutil.h"

namespace {

using tutil::dll::PutText;

std::mutex& Lock() {
    static std::mutex m;
    return m;
}

std::set<uint16_t>& Sessions() {
    static std::set<uint16_t> s;
    return s;
}

void RequireSession(uint16_t handle) {
    std::lock_guard<std::mutex> g(Lock());
    if (!Sessions().count(handle))
        throw idp::EngineError(IDP_ERR_BAD_HANDLE,
                               "Table utility session " + std::to_string(handle));
}

template <typename F> TUStatus Guard(F&& f) {
    try {
        f();
        return IDP_OK;
    } catch (const idp::EngineError& e) {
        return e.Status();
    } catch (const std::bad_alloc&) {
        return IDP_ERR_NO_MEMORY;
    } catch (const std::exception&) {
        return IDP_ERR_IO;
    }
}

std::string Text(const char* s) {
    if (!s || !*s)
        throw idp::EngineError(IDP_ERR_BAD_PARAM, "A table name is missing.");
    return std::string(s, strnlen(s, IDP_MAX_PATH));
}

void CheckDriver(const char* driverType) {
    if (driverType && *driverType && std::strcmp(driverType, "Paradox") != 0)
        throw idp::EngineError(IDP_ERR_UNSUPPORTED, std::string("Driver type: ") + driverType);
}

// Progress into the buffer the program registered, when it registered one large enough.
class CallbackProgress : public tutil::Progress {
  public:
    explicit CallbackProgress(uint16_t need) {
        if (idpGetCallback(TU_CB_PROGRESS, &client_, &size_, &buffer_, &fn_) != IDP_OK || !fn_ ||
            !buffer_ || size_ < need)
            fn_ = nullptr;
    }
    void Verify(int percent, int phase, const std::string& msg, int index, int count) override {
        if (!fn_)
            return;
        tutil::dll::FillVerifyBuffer(static_cast<uint8_t*>(buffer_), percent, phase, msg, index,
                                     count);
        fn_(TU_CB_PROGRESS, client_, buffer_);
    }
    void Rebuild(int percent, const std::string& msg) override {
        if (!fn_)
            return;
        tutil::dll::FillRebuildBuffer(static_cast<uint8_t*>(buffer_), percent, msg);
        fn_(TU_CB_PROGRESS, client_, buffer_);
    }

  private:
    uintptr_t client_ = 0;
    uint16_t size_ = 0;
    void* buffer_ = nullptr;
    IdpCallback fn_ = nullptr;
};

void Describe(const std::string& table, idp::TableHeader& header,
              std::vector<idp::IndexDef>& indexes) {
    idp::Table::Describe(idp::TableFilePath(table), header, indexes);
}

} // namespace

extern "C" {

TUStatus TU_API TUInit(uint16_t* handle) {
    return Guard([&] {
        if (!handle)
            throw idp::EngineError(IDP_ERR_BAD_PARAM, "TUInit needs a handle to write.");
        std::lock_guard<std::mutex> g(Lock());
        uint16_t h = 1;
        while (Sessions().count(h))
            if (++h == 0)
                throw idp::EngineError(IDP_ERR_NO_MEMORY, "No table utility session is free.");
        Sessions().insert(h);
        *handle = h;
    });
}

TUStatus TU_API TUExit(uint16_t handle) {
    return Guard([&] {
        RequireSession(handle);
        std::lock_guard<std::mutex> g(Lock());
        Sessions().erase(handle);
    });
}

TUStatus TU_API TUVerifyTable(uint16_t handle, const char* table, const char* driverType,
                              const char* errTable, const char*, uint32_t options,
                              int32_t* errorLevel) {
    return Guard([&] {
        RequireSession(handle);
        CheckDriver(driverType);
        const std::string path = Text(table), errPath = Text(errTable);
        CallbackProgress progress(TU_VCB_SIZE);
        tutil::VerifyReport report = tutil::VerifyTable(path, options, &progress);
        if (errorLevel)
            *errorLevel = report.level;
        tutil::WriteErrorTable(errPath, report, (options & TU_APPEND_ERRORS) != 0);
    });
}

TUStatus TU_API TURebuildTable(uint16_t handle, const char* table, const char* driverType,
                               const char* backup, const char* keyViol, const char* problems,
                               TURebuildDesc* desc) {
    return Guard([&] {
        RequireSession(handle);
        CheckDriver(driverType);
        if (!desc)
            throw idp::EngineError(IDP_ERR_BAD_PARAM, "The rebuild needs a table description.");
        const std::string path = Text(table);
        idp::TableHeader header;
        std::vector<idp::IndexDef> indexes;
        Describe(path, header, indexes);
        if (desc->fieldCount != header.schema.fields.size())
            throw idp::EngineError(IDP_ERR_BAD_DESCRIPTION,
                                   "The description's fields are not the table's.");
        tutil::RebuildNames names{Text(backup), keyViol && *keyViol ? keyViol : "",
                                  problems && *problems ? problems : ""};
        CallbackProgress progress(TU_RCB_SIZE);
        tutil::RebuildTable(path, names, desc->pack != 0, &progress);
    });
}

TUStatus TU_API TUGetCRTblDescCount(uint16_t handle, const char* table, uint16_t* c1, uint16_t* c2,
                                    uint16_t* c3, uint16_t* c4, uint16_t* c5, uint16_t* c6,
                                    uint16_t* c7) {
    return Guard([&] {
        RequireSession(handle);
        idp::TableHeader header;
        std::vector<idp::IndexDef> indexes;
        Describe(Text(table), header, indexes);
        uint16_t counts[7] = {static_cast<uint16_t>(header.schema.fields.size()),
                              static_cast<uint16_t>(indexes.size()),
                              0,
                              0,
                              0,
                              0,
                              0};
        uint16_t* out[7] = {c1, c2, c3, c4, c5, c6, c7};
        for (int i = 0; i < 7; ++i)
            if (out[i])
                *out[i] = counts[i];
    });
}

TUStatus TU_API TUFillCRTblDesc(uint16_t handle, TURebuildDesc* desc, const char* table,
                                const char* password) {
    return Guard([&] {
        RequireSession(handle);
        if (!desc)
            throw idp::EngineError(IDP_ERR_BAD_PARAM, "No table description to fill.");
        idp::TableHeader header;
        std::vector<idp::IndexDef> indexes;
        const std::string path = Text(table);
        Describe(path, header, indexes);
        if (header.encrypted)
            throw idp::EngineError(IDP_ERR_PASSWORD,
                                   "Table: " + path +
                                       (password && *password ? "\r\nThe table utility does not "
                                                                "decrypt password-protected tables."
                                                              : ""));
        const auto& fields = header.schema.fields;
        if (desc->fieldCount < fields.size() || desc->indexCount < indexes.size() ||
            (!fields.empty() && !desc->fields) || (!indexes.empty() && !desc->indexes))
            throw idp::EngineError(IDP_ERR_BUFFER_SMALL,
                                   "The table description has too little room.");
        std::memset(desc->fields, 0, size_t{desc->fieldCount} * TU_FIELD_DESC_SIZE);
        for (size_t i = 0; i < fields.size(); ++i) {
            uint8_t* d = desc->fields + i * TU_FIELD_DESC_SIZE;
            idp::PutU16(d + TU_FD_NUMBER, static_cast<uint16_t>(i + 1));
            PutText(d + TU_FD_NAME, IDP_MAX_NAME, fields[i].name);
            idp::PutU16(d + TU_FD_TYPE, fields[i].type);
            idp::PutU16(d + TU_FD_SIZE, fields[i].size);
            idp::PutU16(d + TU_FD_WIDTH, fields[i].width);
            idp::PutU16(d + TU_FD_OFFSET, fields[i].offset);
            idp::PutU16(d + TU_FD_REQUIRED, fields[i].required ? 1 : 0);
        }
        if (desc->indexes)
            std::memset(desc->indexes, 0, size_t{desc->indexCount} * TU_INDEX_DESC_SIZE);
        for (size_t i = 0; i < indexes.size(); ++i) {
            uint8_t* d = desc->indexes + i * TU_INDEX_DESC_SIZE;
            PutText(d + TU_ID_NAME, IDP_MAX_NAME, indexes[i].name);
            PutText(d + TU_ID_FIELDS, IDP_MAX_PATH, indexes[i].fieldText);
            idp::PutU16(d + TU_ID_OPTIONS, indexes[i].options);
        }
    });
}

TUStatus TU_API TUFillCURProps(uint16_t handle, const char* table, void* curProps) {
    return Guard([&] {
        RequireSession(handle);
        if (!curProps)
            throw idp::EngineError(IDP_ERR_BAD_PARAM, "No cursor-properties buffer.");
        const std::string path = Text(table);
        auto* p = static_cast<uint8_t*>(curProps);
        std::memset(p, 0, TU_CURPROPS_SIZE);
        PutText(p + TU_CP_NAME, IDP_MAX_PATH, path);
        PutText(p + TU_CP_TABLE_TYPE, IDP_MAX_NAME, "Paradox");
        idp::TableHeader header;
        std::vector<idp::IndexDef> indexes;
        try {
            Describe(path, header, indexes);
        } catch (const idp::EngineError& e) {
            // A file that is there but unreadable as a table is verification's to judge.
            if (e.Status() == IDP_ERR_NOT_A_TABLE || e.Status() == IDP_ERR_DAMAGED)
                return;
            throw;
        }
        const idp::Schema& s = header.schema;
        idp::PutU16(p + TU_CP_FIELDS, static_cast<uint16_t>(s.fields.size()));
        idp::PutU16(p + TU_CP_RECORD_SIZE, s.recordSize);
        idp::PutU16(p + TU_CP_KEY_SIZE, s.KeySize());
        idp::PutU16(p + TU_CP_INDEXES, static_cast<uint16_t>(indexes.size()));
        idp::PutU16(p + TU_CP_RESTRUCTURE, header.changeCount);
        idp::PutU16(p + TU_CP_AUX_PASSWORDS, header.auxPasswords);
        idp::PutU16(p + TU_CP_PROTECTED, header.encrypted ? 1 : 0);
        PutText(p + TU_CP_LANG_DRIVER, IDP_MAX_NAME, s.sortOrderName);
        idp::PutU16(p + TU_CP_BLOCK_SIZE, s.blockSize);
    });
}

TUStatus TU_API TUGetErrorString(uint16_t handle, uint16_t status, char* buffer) {
    return Guard([&] {
        RequireSession(handle);
        if (!buffer)
            throw idp::EngineError(IDP_ERR_BAD_PARAM, "No buffer for the text.");
        PutText(reinterpret_cast<uint8_t*>(buffer), 256, idp::StatusText(status));
    });
}

} // extern "C"
