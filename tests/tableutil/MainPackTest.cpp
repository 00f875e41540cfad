// Database > Pack / Verify DB on the main window built in-process, over the stand-in
// library: a rebuild of a table in the program folder leaves no "BackUp_.db" there, and
// the tagline table is open again with the timer as it was.
#include "DataTestSupport.h"
#include "framework/Paths.h"
#include "rotation/Main.h"
#include "tableutil/Tumain.h"
#include "tests/rotation/WindowTest.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::function<void()> g_inside;
void CALLBACK RunInside(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto steps = std::move(g_inside);
    g_inside = nullptr;
    try {
        if (steps)
            steps();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "inside the utility window: " << e.what();
    }
}

class MainPackTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        table = dir + "PackMe.db";
        datatest::MakeTaglineTable(table, datatest::Keys::TagText);
        datatest::AddTaglines(table, {"one", "two", "three"});
        WriteString("DBFile", table);
        WriteString("Warn", "0");
        WriteString("Frequency", "Hourly");
    }
    void TearDown() override {
        WindowTest::TearDown();
        idpDeleteTable(table.c_str());
    }
    // Runs the command, rebuilding and closing inside the window.
    void PackAndRebuild(TMainForm& f) {
        g_inside = [&f, this] {
            for (fw::TComponent* c : f.Components())
                if (auto* w = dynamic_cast<TFormTUMain*>(c)) {
                    tableClosedInside = !f.Table1->Active();
                    w->ButtonRebuildClick(w);
                    backupInside = fw::FileExists(dir + "BackUp_.DB");
                    w->ButtonCloseClick(w);
                }
        };
        SetTimer(nullptr, 0, 30, RunInside);
        f.mnuDBPackClick(&f);
        g_inside = nullptr;
    }
    std::string table;
    bool tableClosedInside = false, backupInside = false;
};

TEST_F(MainPackTest, RebuildInTheProgramFolderLeavesNoBackupAndRestoresTableAndTimer) {
    static HMODULE standIn = LoadLibraryA("standin\\TUTIL32.DLL");
    ASSERT_NE(standIn, nullptr);
    TMainForm& f = Create();
    for (bool timerOn : {true, false}) {
        if (timerOn)
            f.StartTimer(250);
        else
            f.StopTimer();
        PackAndRebuild(f);
        EXPECT_TRUE(tableClosedInside);
        EXPECT_TRUE(backupInside);
        EXPECT_FALSE(fw::FileExists(dir + "BackUp_.DB"));
        ASSERT_TRUE(f.Table1->Active());
        EXPECT_EQ(f.Table1->TablePath(), table);
        EXPECT_EQ(f.Timer->Enabled(), timerOn);
        EXPECT_EQ(f.DBMemo->Text(), f.Table1->FieldByName("TagText").AsString());
    }
}

} // namespace
