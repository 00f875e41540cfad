// TUTIL32.DLL under Windows as the program loads it: resolved by name at run time, called
// through its library sessions, reporting progress through the engine's callback, and
// really verifying and rebuilding a table.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "idapi.h"
#include "tutil.h"

namespace {

using InitFn = TUStatus(TU_API*)(uint16_t*);
using ExitFn = TUStatus(TU_API*)(uint16_t);
using VerifyFn = TUStatus(TU_API*)(uint16_t, const char*, const char*, const char*, const char*,
                                   uint32_t, int32_t*);
using RebuildFn = TUStatus(TU_API*)(uint16_t, const char*, const char*, const char*, const char*,
                                    const char*, TURebuildDesc*);
using CountFn = TUStatus(TU_API*)(uint16_t, const char*, uint16_t*, uint16_t*, uint16_t*, uint16_t*,
                                  uint16_t*, uint16_t*, uint16_t*);
using FillDescFn = TUStatus(TU_API*)(uint16_t, TURebuildDesc*, const char*, const char*);
using PropsFn = TUStatus(TU_API*)(uint16_t, const char*, void*);
using ErrorFn = TUStatus(TU_API*)(uint16_t, uint16_t, char*);

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

struct Library {
    HMODULE module = ::LoadLibraryA("TUTIL32.DLL");
    ~Library() {
        if (module)
            ::FreeLibrary(module);
    }
    template <typename F> F Get(const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
};

std::string TempDir() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    std::string dir = std::string(base) + "tutil-dll-test\\";
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

void MakeTags(const std::string& path, int rows) {
    IdpFieldDesc fields[2] = {{"TagText", IDP_FLD_ALPHA, 255, 1},
                              {"Record", IDP_FLD_AUTOINC, 0, 1}};
    IdpIndexDesc indexes[1] = {{"Tag", "TagText", IDP_IDX_PRIMARY | IDP_IDX_UNIQUE}};
    ASSERT_EQ(IDP_OK, idpCreateTable(path.c_str(), 2, fields, 1, indexes));
    IdpCursor c = nullptr;
    ASSERT_EQ(IDP_OK, idpOpenTable(path.c_str(), IDP_OPEN_EXCLUSIVE, &c));
    for (int i = 0; i < rows; ++i) {
        ASSERT_EQ(IDP_OK, idpAppend(c));
        ASSERT_EQ(IDP_OK, idpSetString(c, 1, ("Tagline " + std::to_string(100000 + i)).c_str()));
        ASSERT_EQ(IDP_OK, idpPost(c));
    }
    ASSERT_EQ(IDP_OK, idpCloseTable(c));
}

struct Reports {
    std::vector<int> verifyValues, rebuildValues;
    std::vector<std::string> messages;
};

int32_t Record(uint16_t type, uintptr_t client, void* buffer) {
    auto* r = reinterpret_cast<Reports*>(client);
    auto* b = static_cast<const uint8_t*>(buffer);
    if (type == TU_CB_PROGRESS && b[TU_VCB_PHASE] == TU_PHASE_DATA)
        r->verifyValues.push_back(U16(b + TU_VCB_VALUE));
    return 1;
}

int32_t RecordRebuild(uint16_t, uintptr_t client, void* buffer) {
    auto* r = reinterpret_cast<Reports*>(client);
    auto* b = static_cast<const uint8_t*>(buffer);
    int16_t value = static_cast<int16_t>(U16(b + TU_RCB_VALUE));
    if (value >= 0)
        r->rebuildValues.push_back(value);
    else
        r->messages.push_back(reinterpret_cast<const char*>(b + TU_RCB_MESSAGE));
    return 1;
}

TEST(TutilDll, ExportsEveryEntryPointAndKeepsItsSessions) {
    Library lib;
    ASSERT_NE(nullptr, lib.module);
    for (const char* name : {"TUInit", "TUVerifyTable", "TURebuildTable", "TUGetCRTblDescCount",
                             "TUFillCRTblDesc", "TUFillCURProps", "TUExit", "TUGetErrorString"})
        EXPECT_NE(nullptr, lib.Get<void*>(name)) << name;
    auto init = lib.Get<InitFn>("TUInit");
    auto exit = lib.Get<ExitFn>("TUExit");
    auto error = lib.Get<ErrorFn>("TUGetErrorString");
    uint16_t a = 0, b = 0;
    ASSERT_EQ(IDP_OK, init(&a));
    ASSERT_EQ(IDP_OK, init(&b));
    EXPECT_NE(a, b);
    char text[256] = {};
    EXPECT_EQ(IDP_OK, error(a, IDP_ERR_NO_SUCH_TABLE, text));
    char engine[256] = {};
    idpGetErrorText(IDP_ERR_NO_SUCH_TABLE, engine, sizeof engine);
    EXPECT_STREQ(engine, text);
    EXPECT_EQ(IDP_OK, exit(a));
    EXPECT_EQ(IDP_ERR_BAD_HANDLE, exit(a)); // closed once only
    EXPECT_EQ(IDP_ERR_BAD_HANDLE, error(a, 0, text));
    EXPECT_EQ(IDP_OK, exit(b));
}

TEST(TutilDll, DescribesVerifiesAndRebuildsATableWithProgress) {
    Library lib;
    ASSERT_NE(nullptr, lib.module);
    const std::string dir = TempDir(), table = dir + "Tags";
    ::DeleteFileA((table + ".db").c_str());
    ::DeleteFileA((table + "_.db").c_str());
    MakeTags(table + ".db", 500);
    uint16_t h = 0;
    ASSERT_EQ(IDP_OK, lib.Get<InitFn>("TUInit")(&h));

    std::vector<uint8_t> props(TU_CURPROPS_SIZE, 0);
    ASSERT_EQ(IDP_OK, lib.Get<PropsFn>("TUFillCURProps")(h, table.c_str(), props.data()));
    EXPECT_STREQ("Paradox", reinterpret_cast<const char*>(&props[TU_CP_TABLE_TYPE]));
    EXPECT_EQ(2, U16(&props[TU_CP_FIELDS]));
    EXPECT_EQ(259, U16(&props[TU_CP_RECORD_SIZE]));
    EXPECT_EQ(255, U16(&props[TU_CP_KEY_SIZE]));
    EXPECT_EQ(0, U16(&props[TU_CP_PROTECTED]));
    EXPECT_EQ(4096, U16(&props[TU_CP_BLOCK_SIZE]));

    Reports reports;
    std::vector<uint8_t> vbuf(TU_VCB_SIZE);
    ASSERT_EQ(IDP_OK,
              idpRegisterCallback(nullptr, TU_CB_PROGRESS, reinterpret_cast<uintptr_t>(&reports),
                                  TU_VCB_SIZE, vbuf.data(), Record));
    int32_t level = -1;
    const std::string err = dir + "__TUERR.DB";
    ASSERT_EQ(IDP_OK, lib.Get<VerifyFn>("TUVerifyTable")(h, table.c_str(), "Paradox", err.c_str(),
                                                         nullptr, 0, &level));
    EXPECT_EQ(0, level);
    ASSERT_FALSE(reports.verifyValues.empty());
    EXPECT_EQ(100, reports.verifyValues.back());
    idpRegisterCallback(nullptr, TU_CB_PROGRESS, 0, TU_VCB_SIZE, vbuf.data(), nullptr);

    uint16_t c[7] = {9, 9, 9, 9, 9, 9, 9};
    ASSERT_EQ(IDP_OK, lib.Get<CountFn>("TUGetCRTblDescCount")(h, table.c_str(), &c[0], &c[1], &c[2],
                                                              &c[3], &c[4], &c[5], &c[6]));
    EXPECT_EQ(2, c[0]);
    EXPECT_EQ(1, c[1]);
    EXPECT_EQ(0, c[2] + c[3] + c[4] + c[5] + c[6]);
    TURebuildDesc desc{};
    std::vector<uint8_t> fields(c[0] * TU_FIELD_DESC_SIZE), indexes(c[1] * TU_INDEX_DESC_SIZE);
    desc.fieldCount = c[0];
    desc.fields = fields.data();
    desc.indexCount = c[1];
    desc.indexes = indexes.data();
    desc.pack = 1;
    ASSERT_EQ(IDP_OK, lib.Get<FillDescFn>("TUFillCRTblDesc")(h, &desc, table.c_str(), nullptr));
    EXPECT_STREQ("TagText", reinterpret_cast<const char*>(&fields[TU_FD_NAME]));
    EXPECT_EQ(IDP_FLD_AUTOINC, U16(&fields[TU_FIELD_DESC_SIZE + TU_FD_TYPE]));
    EXPECT_STREQ("TagText", reinterpret_cast<const char*>(&indexes[TU_ID_FIELDS]));

    std::vector<uint8_t> rbuf(TU_RCB_SIZE);
    ASSERT_EQ(IDP_OK,
              idpRegisterCallback(nullptr, TU_CB_PROGRESS, reinterpret_cast<uintptr_t>(&reports),
                                  TU_RCB_SIZE, rbuf.data(), RecordRebuild));
    const std::string backup = table + "_";
    ASSERT_EQ(IDP_OK, lib.Get<RebuildFn>("TURebuildTable")(
                          h, table.c_str(), "Paradox", backup.c_str(), (dir + "KEYVIOL").c_str(),
                          (dir + "PROBLEMS").c_str(), &desc));
    idpRegisterCallback(nullptr, TU_CB_PROGRESS, 0, TU_RCB_SIZE, rbuf.data(), nullptr);
    ASSERT_FALSE(reports.rebuildValues.empty());
    EXPECT_EQ(100, reports.rebuildValues.back());
    EXPECT_FALSE(reports.messages.empty());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((backup + ".db").c_str()));
    IdpCursor cur = nullptr;
    ASSERT_EQ(IDP_OK, idpOpenTable((table + ".db").c_str(), IDP_OPEN_SHARED, &cur));
    uint32_t count = 0;
    idpGetRecordCount(cur, &count);
    EXPECT_EQ(500u, count);
    idpCloseTable(cur);
    EXPECT_EQ(IDP_OK, lib.Get<ExitFn>("TUExit")(h));
}

} // namespace
