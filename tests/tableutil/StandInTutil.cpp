// A stand-in TUTIL32.DLL for the program's tests: it answers from the real table files
// where that is cheap (cursor properties, the table-list figures), and otherwise as the
// test asks through the environment:
//   QT_TUTIL_LEVEL  the error level a verification reports (default 0; the header check
//                   reports it too);
//   QT_TUTIL_FAIL   the name of an entry point that fails with the engine's I/O status, or
//                   "header" for the header check (a damaged-table status);
//   QT_TUTIL_PROTECTED  when set, every table is reported password-protected;
//   QT_TUTIL_FAULT  the name of an entry point that writes through a wild pointer (an
//                   access violation inside the library).
// A verification writes one error-table row per level step and sends progress reports of
// every phase; a rebuild copies the table to the backup name and reports progress.
#include "framework/data/Table.h"
#include "platform/idapi/idapi.h"
#define TUTIL_BUILDING_DLL // the exports below are checked against the library header
#include "platform/tutil/tutil.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#define EXPORT extern "C" TU_EXPORT TUStatus TU_API

namespace {

int Level() {
    const char* v = std::getenv("QT_TUTIL_LEVEL");
    return v ? std::atoi(v) : 0;
}

bool Fails(const char* name) {
    const char* v = std::getenv("QT_TUTIL_FAIL");
    return v && std::strcmp(v, name) == 0;
}

// A fault where the test asks for one, as a library with a wild pointer makes it.
void FaultIn(const char* name) {
    const char* v = std::getenv("QT_TUTIL_FAULT");
    if (!v || std::strcmp(v, name) != 0)
        return;
    static volatile uintptr_t wild = 16;
    *reinterpret_cast<volatile int*>(wild) = 1;
}

void Report(const void* fill, size_t size) {
    uintptr_t client = 0;
    uint16_t length = 0;
    void* buffer = nullptr;
    IdpCallback fn = nullptr;
    if (idpGetCallback(IDP_CB_PROGRESS, &client, &length, &buffer, &fn) != 0 || !fn)
        return;
    std::memset(buffer, 0, length);
    std::memcpy(buffer, fill, size < length ? size : length);
    fn(IDP_CB_PROGRESS, client, buffer);
}

void VerifyReport(uint16_t value, uint8_t phase, const char* message, uint8_t number,
                  uint8_t count) {
    unsigned char b[268] = {};
    std::memcpy(b, &value, 2);
    std::strncpy(reinterpret_cast<char*>(b + 2), message, 260);
    b[263] = phase;
    b[265] = number;
    b[267] = count;
    Report(b, sizeof b);
}

void WriteErrorTable(const std::string& path, int level) {
    fw::TTable t(nullptr);
    t.SetTableName(path);
    t.SetTableType(fw::TTableType::ttParadox);
    t.FieldDefs().Add("Error Code", fw::TFieldType::ftSmallint);
    t.FieldDefs().Add("Error Level", fw::TFieldType::ftSmallint);
    t.FieldDefs().Add("Error Message", fw::TFieldType::ftString, 150);
    t.CreateTable();
    t.Open();
    for (int i = 1; i <= level; ++i) {
        t.Append();
        t.FieldByName("Error Code").SetAsInteger(100 + i);
        t.FieldByName("Error Level").SetAsInteger(i);
        t.FieldByName("Error Message")
            .SetAsString("Block " + std::to_string(i) + " links to a block past the end");
        t.Post();
    }
    t.Close();
}

} // namespace

EXPORT TUInit(uint16_t* handle) {
    FaultIn("TUInit");
    if (Fails("TUInit"))
        return IDP_ERR_IO;
    *handle = 7;
    return 0;
}

EXPORT TUExit(uint16_t handle) {
    FaultIn("TUExit");
    return handle == 7 && !Fails("TUExit") ? 0 : IDP_ERR_BAD_HANDLE;
}

EXPORT TUVerifyTable(uint16_t, const char* table, const char*, const char* errTable, const char*,
                     uint32_t options, int32_t* errorLevel) {
    FaultIn("TUVerifyTable");
    IdpTableProps props;
    if (IdpStatus s = idpGetTableProps(table, &props))
        return s;
    *errorLevel = Level();
    if (options & 0x08) {
        // The header check leaves a scratch table under the name it was given.
        HANDLE f = CreateFileA(errTable, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE)
            CloseHandle(f);
        return Fails("header") ? IDP_ERR_DAMAGED : 0;
    }
    if (Fails("TUVerifyTable")) {
        *errorLevel = 2; // what was found before the failure stays
        return IDP_ERR_IO;
    }
    for (uint8_t phase = 0; phase < 6; ++phase)
        for (uint16_t v = 0; v <= 100; v += 50)
            VerifyReport(v, phase, "", 0, 0);
    VerifyReport(70, 6, "", 1, 2);
    VerifyReport(0, 7, "Checking the data blocks", 0, 0);
    VerifyReport(0, 9, "beyond the last phase", 0, 0);
    try {
        WriteErrorTable(errTable, *errorLevel);
    } catch (const std::exception&) {
        return IDP_ERR_IO;
    }
    return 0;
}

#ifndef STAND_IN_WITHOUT_REBUILD
EXPORT TURebuildTable(uint16_t, const char* table, const char*, const char* backup, const char*,
                      const char*, TURebuildDesc* desc) {
    FaultIn("TURebuildTable");
    if (Fails("TURebuildTable") || !desc)
        return IDP_ERR_IO;
    for (int16_t v = 0; v <= 100; v += 25) {
        unsigned char b[130] = {};
        std::memcpy(b, &v, 2);
        Report(b, sizeof b);
    }
    unsigned char b[130] = {0xFF, 0xFF};
    std::strcpy(reinterpret_cast<char*>(b + 2), "12 records packed");
    Report(b, sizeof b);
    const std::string from = std::string(table) + ".db", to = std::string(backup) + ".DB";
    return CopyFileA(from.c_str(), to.c_str(), FALSE) ? 0 : IDP_ERR_IO;
}
#endif

EXPORT TUGetCRTblDescCount(uint16_t, const char* table, uint16_t* c1, uint16_t* c2, uint16_t* c3,
                           uint16_t* c4, uint16_t* c5, uint16_t* c6, uint16_t* c7) {
    FaultIn("TUGetCRTblDescCount");
    if (Fails("TUGetCRTblDescCount"))
        return IDP_ERR_IO;
    IdpTableProps props;
    if (IdpStatus s = idpGetTableProps(table, &props))
        return s;
    *c1 = props.fieldCount;
    *c2 = props.indexCount;
    *c3 = *c4 = *c5 = *c6 = *c7 = 0;
    return 0;
}

EXPORT TUFillCRTblDesc(uint16_t, TURebuildDesc* desc, const char*, const char*) {
    FaultIn("TUFillCRTblDesc");
    return Fails("TUFillCRTblDesc") || !desc ? IDP_ERR_IO : 0;
}

EXPORT TUFillCURProps(uint16_t, const char* table, void* buffer) {
    FaultIn("TUFillCURProps");
    IdpTableProps p;
    if (IdpStatus s = idpGetTableProps(table, &p))
        return s;
    auto* b = static_cast<unsigned char*>(buffer);
    auto put = [b](size_t at, uint16_t v) { std::memcpy(b + at, &v, 2); };
    std::memcpy(b + 263, p.tableType, sizeof p.tableType);
    put(295, p.fieldCount);
    put(297, p.recordSize);
    put(301, p.keySize);
    put(303, p.indexCount);
    put(305, p.validityChecks);
    put(307, p.referentialChecks);
    put(335, p.changeCount);
    put(345, p.auxPasswords);
    put(349, std::getenv("QT_TUTIL_PROTECTED") ? 1 : p.passwordProtected);
    std::memcpy(b + 353, p.locale, sizeof p.locale);
    put(387, p.blockSize);
    return 0;
}

EXPORT TUGetErrorString(uint16_t, uint16_t status, char* buffer) {
    return idpGetErrorText(status, buffer, 128);
}
