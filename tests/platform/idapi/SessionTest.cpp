// Services of the table utility: sessions, the private directory, databases by
// directory, passwords, the table list with its fixed record layout, progress callback
// registration, and a text for every status.
#include <cstring>
#include <set>
#include <sys/stat.h>

#include "TestTables.h"

using namespace idptest;

namespace {

TEST(Session, DefaultSessionAndNamedSessions) {
    uint16_t count = 0;
    ASSERT_EQ(IDP_OK, idpGetSessionCount(&count));
    ASSERT_GE(count, 1);
    char name[32];
    uint16_t databases = 99;
    IdpSession first = nullptr, def = nullptr;
    ASSERT_EQ(IDP_OK, idpGetSessionInfo(0, name, sizeof name, &databases, &first));
    ASSERT_EQ(IDP_OK, idpGetDefaultSession(&def));
    EXPECT_EQ(def, first);
    EXPECT_EQ(0, databases);

    IdpSession tutil = nullptr, again = nullptr, active = nullptr;
    ASSERT_EQ(IDP_OK, idpOpenSession("TUtilSession", &tutil));
    ASSERT_EQ(IDP_OK, idpGetActiveSession(&active));
    EXPECT_EQ(tutil, active);
    ASSERT_EQ(IDP_OK, idpOpenSession("tutilsession", &again));
    EXPECT_EQ(tutil, again);
    ASSERT_EQ(IDP_OK, idpGetSessionCount(&count));
    EXPECT_EQ(2, count);
    ASSERT_EQ(IDP_OK, idpSetActiveSession(def));
    EXPECT_EQ(IDP_ERR_BAD_HANDLE, idpSetActiveSession(reinterpret_cast<IdpSession>(&count)));
}

TEST(Session, PrivateDirectoryIsAWritableFolder) {
    char dir[IDP_MAX_PATH];
    ASSERT_EQ(IDP_OK, idpGetPrivateDir(nullptr, dir, sizeof dir));
    ASSERT_EQ('/', dir[std::strlen(dir) - 1]);
    struct stat st {};
    ASSERT_EQ(0, stat(dir, &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    std::string probe = std::string(dir) + "probe.db";
    CreateTagTable(probe);
    EXPECT_EQ(IDP_OK, idpDeleteTable(probe.c_str()));
    char tiny[4];
    EXPECT_EQ(IDP_ERR_BUFFER_SMALL, idpGetPrivateDir(nullptr, tiny, sizeof tiny));
}

TEST(Session, DatabasesAreCountedAndListTheirTables) {
    ScratchDir dir;
    CreateTagTable(dir.Path("Tags.db"));
    {
        Table t(dir.Path("Tags.db"));
        for (const char* s : {"a", "b", "c"})
            ASSERT_EQ(IDP_OK, t.Add(s));
    }
    IdpSession def = nullptr;
    idpGetDefaultSession(&def);
    IdpDatabase db = nullptr, same = nullptr;
    char locale[32];
    ASSERT_EQ(IDP_OK, idpOpenDatabase(def, dir.Dir().c_str(), &db, locale, sizeof locale));
    EXPECT_STREQ("cp1252", locale);
    ASSERT_EQ(IDP_OK, idpOpenDatabase(def, (dir.Dir() + "/").c_str(), &same, nullptr, 0));
    EXPECT_EQ(db, same);
    uint16_t databases = 0;
    idpGetSessionInfo(0, nullptr, 0, &databases, nullptr);
    EXPECT_EQ(1, databases);

    IdpTableList list = nullptr;
    ASSERT_EQ(IDP_OK, idpOpenTableList(db, dir.Path("Tags.db").c_str(), 1, 1, &list));
    IdpTableListEntry entry;
    ASSERT_EQ(IDP_OK, idpReadTableList(list, &entry));
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(&entry);
    int32_t count = 0;
    uint16_t valid = 0;
    std::memcpy(&count, raw + 618, 4);
    std::memcpy(&valid, raw + 624, 2);
    EXPECT_EQ(3, count);
    EXPECT_EQ(1, valid);
    EXPECT_STREQ("Tags.db", entry.name);
    EXPECT_EQ(IDP_ERR_EOF, idpReadTableList(list, &entry));
    ASSERT_EQ(IDP_OK, idpCloseTableList(list));
    EXPECT_EQ(IDP_ERR_BAD_HANDLE, idpCloseTableList(list));

    char native[64];
    ASSERT_EQ(IDP_OK, idpToNative(db, "caf\xE9", native, sizeof native));
    EXPECT_STREQ("caf\xE9", native);
    ASSERT_EQ(IDP_OK, idpCloseDatabase(db));
    ASSERT_EQ(IDP_OK, idpCloseDatabase(same));
    idpGetSessionInfo(0, nullptr, 0, &databases, nullptr);
    EXPECT_EQ(0, databases);
    EXPECT_EQ(IDP_ERR_BAD_HANDLE, idpCloseDatabase(db));
}

TEST(Session, PasswordsAreRegisteredAndWithdrawn) {
    EXPECT_EQ(IDP_OK, idpAddPassword(nullptr, "secret"));
    EXPECT_EQ(IDP_OK, idpDropPassword(nullptr, "secret"));
    EXPECT_EQ(IDP_OK, idpDropPassword(nullptr, "never added"));
}

int32_t Progress(uint16_t, uintptr_t clientData, void* buffer) {
    *static_cast<uintptr_t*>(buffer) = clientData;
    return 1;
}

TEST(Session, ProgressCallbackRegistration) {
    uint8_t buffer[268] = {};
    ASSERT_EQ(IDP_OK,
              idpRegisterCallback(nullptr, IDP_CB_PROGRESS, 42, sizeof buffer, buffer, Progress));
    uintptr_t client = 0;
    uint16_t size = 0;
    void* registered = nullptr;
    IdpCallback fn = nullptr;
    ASSERT_EQ(IDP_OK, idpGetCallback(IDP_CB_PROGRESS, &client, &size, &registered, &fn));
    EXPECT_EQ(42u, client);
    EXPECT_EQ(268, size);
    EXPECT_EQ(buffer, registered);
    EXPECT_EQ(1, fn(IDP_CB_PROGRESS, client, registered));
    EXPECT_EQ(uintptr_t{42}, *reinterpret_cast<uintptr_t*>(buffer));
    ASSERT_EQ(IDP_OK,
              idpRegisterCallback(nullptr, IDP_CB_PROGRESS, 0, sizeof buffer, buffer, nullptr));
    EXPECT_EQ(IDP_ERR_NOT_FOUND, idpGetCallback(IDP_CB_PROGRESS, &client, &size, &registered, &fn));
}

TEST(Session, EveryStatusHasItsOwnText) {
    std::set<std::string> texts;
    for (IdpStatus s = IDP_OK; s <= IDP_ERR_IN_USE; ++s) {
        char text[128];
        ASSERT_EQ(IDP_OK, idpGetErrorText(s, text, sizeof text));
        EXPECT_GT(std::strlen(text), 5u);
        texts.insert(text);
    }
    EXPECT_EQ(static_cast<size_t>(IDP_ERR_IN_USE + 1), texts.size());
    char text[128];
    idpGetErrorText(999, text, sizeof text);
    EXPECT_NE(nullptr, std::strstr(text, "999"));
}

TEST(Session, MissingAndForeignFilesGetClearErrors) {
    ScratchDir dir;
    EXPECT_EQ(IDP_ERR_NO_SUCH_TABLE, Table(dir.Path("none.db")).Status());
    EXPECT_NE(std::string::npos, LastError().find("none.db"));
    WriteFile(dir.Path("text.db"), std::vector<uint8_t>(300, 'x'));
    EXPECT_EQ(IDP_ERR_NOT_A_TABLE, Table(dir.Path("text.db")).Status());
    EXPECT_NE(std::string::npos, LastError().find("not a Paradox table"));
}

} // namespace
