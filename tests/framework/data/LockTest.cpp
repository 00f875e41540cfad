#include "DataTestSupport.h"

#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"

#include <gtest/gtest.h>
#include <memory>
#include <windows.h>

namespace {

using datatest::Keys;

// Closes a process or event handle when it goes.
struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::string ProbePath() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + "LockProbe.exe";
}

// Starts the probe; the caller waits for it.
HANDLE StartProbe(const std::string& table, const char* mode, bool hold) {
    std::string line = "\"" + ProbePath() + "\" \"" + table + "\" " + mode + (hold ? " hold" : "");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

DWORD Finish(HANDLE process) {
    EXPECT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
    DWORD code = 9999;
    GetExitCodeProcess(process, &code);
    return code;
}

// Exit code of a probe that opens the table and closes it at once.
DWORD ProbeOpen(const std::string& table, const char* mode) {
    Handle p(StartProbe(table, mode, false));
    if (!p.get())
        return 9998;
    return Finish(p.get());
}

uint16_t OpenStatus(fw::TTable& t) {
    try {
        t.Open();
    } catch (const fw::EDBEngineError& e) {
        return e.ErrorCode();
    }
    return IDP_OK;
}

class LockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = dir_.File("locked.db");
        datatest::MakeTaglineTable(path_, Keys::TagText);
        datatest::AddTaglines(path_, {"one"});
    }
    datatest::TempDir dir_;
    std::string path_;
};

TEST_F(LockTest, ExclusiveHolderShutsOutOtherTableObjectsAndDeletion) {
    fw::TTable table1(nullptr), table2(nullptr), table3(nullptr);
    for (fw::TTable* t : {&table1, &table2, &table3})
        t->SetTableName(path_);
    table1.SetExclusive(true);
    table1.Open();
    EXPECT_EQ(OpenStatus(table2), IDP_ERR_LOCKED);
    table2.SetExclusive(true);
    EXPECT_EQ(OpenStatus(table2), IDP_ERR_LOCKED);
    try {
        table2.DeleteTable();
        FAIL() << "an open table cannot be deleted";
    } catch (const fw::EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), IDP_ERR_LOCKED);
    }
    table1.Close();

    // Shared opens share, and keep out an exclusive one.
    table2.SetExclusive(false);
    EXPECT_EQ(OpenStatus(table2), IDP_OK);
    EXPECT_EQ(OpenStatus(table3), IDP_OK);
    EXPECT_EQ(OpenStatus(table1), IDP_ERR_LOCKED);
    table2.Close();
    table3.Close();
    EXPECT_EQ(OpenStatus(table1), IDP_OK);
    table1.Close();
    table1.DeleteTable();
    EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LockTest, AnotherProcessCannotOpenWhatWeHoldExclusively) {
    fw::TTable table1(nullptr);
    table1.SetTableName(path_);
    table1.SetExclusive(true);
    table1.Open();
    EXPECT_EQ(ProbeOpen(path_, "shared"), DWORD(IDP_ERR_LOCKED));
    EXPECT_EQ(ProbeOpen(path_, "exclusive"), DWORD(IDP_ERR_LOCKED));
    table1.Close();
    EXPECT_EQ(ProbeOpen(path_, "exclusive"), DWORD(IDP_OK));

    table1.SetExclusive(false);
    table1.Open();
    EXPECT_EQ(ProbeOpen(path_, "shared"), DWORD(IDP_OK));
    EXPECT_EQ(ProbeOpen(path_, "exclusive"), DWORD(IDP_ERR_LOCKED));
}

TEST_F(LockTest, WeCannotOpenOrDeleteWhatAnotherProcessHoldsExclusively) {
    Handle ready(CreateEventA(nullptr, TRUE, FALSE, "QuiptideLockProbeReady"));
    Handle release(CreateEventA(nullptr, TRUE, FALSE, "QuiptideLockProbeRelease"));
    Handle probe(StartProbe(path_, "exclusive", true));
    ASSERT_NE(probe.get(), nullptr);
    HANDLE waits[] = {ready.get(), probe.get()};
    ASSERT_EQ(WaitForMultipleObjects(2, waits, FALSE, 60000), WAIT_OBJECT_0)
        << "the probe ended before it held the table";

    fw::TTable table1(nullptr);
    table1.SetTableName(path_);
    EXPECT_EQ(OpenStatus(table1), IDP_ERR_LOCKED);
    try {
        table1.DeleteTable();
        FAIL() << "a table held by another process cannot be deleted";
    } catch (const fw::EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), IDP_ERR_LOCKED);
    }

    SetEvent(release.get());
    EXPECT_EQ(Finish(probe.get()), DWORD(IDP_OK));
    table1.SetExclusive(true);
    EXPECT_EQ(OpenStatus(table1), IDP_OK);
    EXPECT_EQ(table1.RecordCount(), 1);
}

} // namespace
