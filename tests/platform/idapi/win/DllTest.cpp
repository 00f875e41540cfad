// IDAPI32.DLL under Windows: the C API through the DLL, the Win32 file layer's share
// modes keeping a table held by another process, and text byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "idapi.h"

namespace {

std::string TempDir() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    std::string dir = std::string(base) + "idapi-dll-test\\";
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string LastError() {
    char text[512];
    IdpStatus status;
    idpGetLastError(&status, text, sizeof text);
    return text;
}

void CreateTags(const std::string& path) {
    IdpFieldDesc fields[2] = {{"TagText", IDP_FLD_ALPHA, 255, 1},
                              {"Record", IDP_FLD_AUTOINC, 0, 1}};
    IdpIndexDesc indexes[1] = {{"Tag", "TagText", IDP_IDX_PRIMARY | IDP_IDX_UNIQUE}};
    ASSERT_EQ(IDP_OK, idpCreateTable(path.c_str(), 2, fields, 1, indexes)) << LastError();
}

TEST(EngineDll, RowsGoInAndComeOutByteForByte) {
    std::string path = TempDir() + "Bytes.db";
    CreateTags(path);
    IdpCursor c = nullptr;
    ASSERT_EQ(IDP_OK, idpOpenTable(path.c_str(), IDP_OPEN_EXCLUSIVE, &c));
    const char* text = "caf\xE9 \xFC"
                       "ber \xA3 it\x92s";
    ASSERT_EQ(IDP_OK, idpAppend(c));
    ASSERT_EQ(IDP_OK, idpSetString(c, 1, text));
    ASSERT_EQ(IDP_OK, idpPost(c));
    ASSERT_EQ(IDP_OK, idpCloseTable(c));
    ASSERT_EQ(IDP_OK, idpOpenTable(path.c_str(), IDP_OPEN_SHARED, &c));
    char buffer[300];
    ASSERT_EQ(IDP_OK, idpGetString(c, 1, buffer, sizeof buffer, nullptr, nullptr));
    EXPECT_STREQ(text, buffer);
    int32_t record = 0;
    ASSERT_EQ(IDP_OK, idpGetInteger(c, 2, &record, nullptr));
    EXPECT_EQ(1, record);
    ASSERT_EQ(IDP_OK, idpCloseTable(c));
    EXPECT_EQ(IDP_OK, idpDeleteTable(path.c_str()));
}

TEST(EngineDll, AnotherProcessHoldingTheTableLocksItOut) {
    std::string path = TempDir() + "Held.db";
    CreateTags(path);
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string holder = self;
    holder = holder.substr(0, holder.find_last_of('\\') + 1) + "idapi_lock_holder.exe";
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, "QuiptideEngineTestReady");
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, "QuiptideEngineTestRelease");
    ::ResetEvent(ready);
    ::ResetEvent(release);
    std::string command = "\"" + holder + "\" \"" + path + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &si, &pi));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(ready, 20000));

    IdpCursor c = nullptr;
    EXPECT_EQ(IDP_ERR_LOCKED, idpOpenTable(path.c_str(), IDP_OPEN_SHARED, &c));
    EXPECT_NE(std::string::npos, LastError().find("Table is locked"));
    EXPECT_EQ(IDP_ERR_LOCKED, idpOpenTable(path.c_str(), IDP_OPEN_EXCLUSIVE, &c));
    EXPECT_EQ(IDP_ERR_LOCKED, idpDeleteTable(path.c_str()));

    ::SetEvent(release);
    ::WaitForSingleObject(pi.hProcess, 20000);
    DWORD code = 99;
    ::GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(0u, code);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(ready);
    ::CloseHandle(release);
    ASSERT_EQ(IDP_OK, idpOpenTable(path.c_str(), IDP_OPEN_EXCLUSIVE, &c)) << LastError();
    EXPECT_EQ(IDP_ERR_LOCKED, idpDeleteTable(path.c_str()));
    ASSERT_EQ(IDP_OK, idpCloseTable(c));
    EXPECT_EQ(IDP_OK, idpDeleteTable(path.c_str()));
}

TEST(EngineDll, PrivateDirectoryIsAWritableFolder) {
    char dir[IDP_MAX_PATH];
    ASSERT_EQ(IDP_OK, idpGetPrivateDir(nullptr, dir, sizeof dir));
    std::string path = std::string(dir) + "probe.db";
    CreateTags(path);
    EXPECT_EQ(IDP_OK, idpDeleteTable(path.c_str()));
}

} // namespace
