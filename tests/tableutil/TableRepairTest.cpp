// The table utility window and the "Pack / Verify DB" command over the stand-in library:
// the verdicts 0 to 4 with the answers Yes and No, the problem viewer's rows, the error
// table kept for the same file name elsewhere, and the command's clean-up afterwards.
#include "DataTestSupport.h"
#include "framework/Application.h"
#include "framework/Paths.h"
#include "framework/data/Session.h"
#include "tableutil/PackCommand.h"
#include "tableutil/TableNames.h"
#include "tableutil/Tumain.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

const std::string kGood = "GOOD NEWS!\n\rHeader and Data are O.K.";
const std::string kCorrupt =
    "The table is corrupt and must be repaired! \n\rDo you want to view the problems?";
const std::string kLevel3 =
    "The cannot be automatically rebuilt.\n\rDo you want to view the problems?";
const std::string kLevel4 = "BAD NEWS! The cannot be rebuilt.\n\rReload from backups.";
const std::string kNoRebuild = "BAD NEWS! The Table cannot be rebuilt.\n\rReload from backups.";
const std::string kRebuilt = "Table Successfully rebuilt!";

// What runs once a modal window's loop is going: the test's steps inside the window.
std::function<void()> g_insideModal;
void CALLBACK RunInsideModal(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto steps = std::move(g_insideModal);
    g_insideModal = nullptr;
    // An error must not leave through the system's timer call.
    try {
        if (steps)
            steps();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "inside the modal window: " << e.what();
    }
}
void WhenModal(std::function<void()> steps) {
    g_insideModal = std::move(steps);
    SetTimer(nullptr, 0, 30, RunInsideModal);
}

class TableRepairTest : public ::testing::Test {
  protected:
    TableRepairTest() {
        // Every "TUTIL32.DLL" of this process is the stand-in.
        static HMODULE standIn = LoadLibraryA("standin\\TUTIL32.DLL");
        EXPECT_NE(standIn, nullptr);
        _putenv("QT_TUTIL_LEVEL=");
        _putenv("QT_TUTIL_FAIL=");
        table = dir.File("Tags.db");
        datatest::MakeTaglineTable(table, datatest::Keys::TagText);
        datatest::AddTaglines(table, {"alpha", "beta", "gamma", "delta"});
    }
    ~TableRepairTest() override { _putenv("QT_TUTIL_LEVEL="); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& s : dialogs.Shown())
            t.push_back(s.Text);
        return t;
    }
    std::string ErrTable() const {
        return tablenames::WithBackslash(fw::TSession::Default().PrivateDir()) + "__TUERR.DB";
    }
    // Verifies at a level with the answer to the question; the viewer's rows, or -1 when
    // it was not shown.
    int VerifyAt(TFormTUMain& w, const char* level, int answer) {
        _putenv((std::string("QT_TUTIL_LEVEL=") + level).c_str());
        dialogs.Clear();
        dialogs.Answer(answer);
        int rows = -1;
        WhenModal([&] {
            rows = w.BtnBottomDlg->DBGridViewErr->RowCount();
            w.BtnBottomDlg->ModalResult = fw::mrOk;
        });
        w.ButtonVerifyClick(&w);
        g_insideModal = nullptr;
        return rows;
    }
    datatest::TempDir dir;
    std::string table;
    fw::TScriptedDialogs dialogs;
};

TEST_F(TableRepairTest, OpensOnTheTableWithItsStatistics) {
    TFormTUMain w(nullptr, table);
    EXPECT_EQ(w.EditFileName->Text(), table);
    EXPECT_EQ(w.LabelNumRecs->Caption(), "4");
    EXPECT_EQ(w.LabelNumFields->Caption(), "2");
    EXPECT_EQ(w.LabelPasswordTF->Caption(), "False");
    EXPECT_EQ(w.LabelNumAuxPasswords->Caption(), "0");
    EXPECT_TRUE(w.ButtonVerify->Enabled());
    EXPECT_TRUE(w.ButtonRebuild->Enabled());
    EXPECT_FALSE(w.TUtility1->Pack);
    EXPECT_EQ(w.TUtility1->BackupTablePath(), dir.File("BackUp_"));
}

TEST_F(TableRepairTest, AMissingTableIsReportedAndLeavesTheButtonsOff) {
    TFormTUMain w(nullptr, dir.File("gone.db"));
    EXPECT_EQ(Texts(), std::vector<std::string>{"Table not found."});
    EXPECT_EQ(w.EditFileName->Text(), "");
    EXPECT_FALSE(w.ButtonVerify->Enabled());
    EXPECT_FALSE(w.ButtonRebuild->Enabled());
}

TEST_F(TableRepairTest, LevelZeroGivesOnlyTheGoodNews) {
    TFormTUMain w(nullptr, table);
    w.ButtonRebuild->SetEnabled(false);
    dialogs.Clear();
    EXPECT_EQ(VerifyAt(w, "0", fw::mrYes), -1);
    EXPECT_EQ(Texts(), std::vector<std::string>{kGood});
    EXPECT_FALSE(w.ButtonRebuild->Enabled());
}

TEST_F(TableRepairTest, LevelsOneAndTwoShowTheProblemsOnYesAndAllowTheRebuild) {
    TFormTUMain w(nullptr, table);
    for (const char* level : {"1", "2"}) {
        w.ButtonRebuild->SetEnabled(false);
        EXPECT_EQ(VerifyAt(w, level, fw::mrNo), -1) << level;
        EXPECT_EQ(Texts(), std::vector<std::string>{kCorrupt});
        EXPECT_FALSE(w.ButtonRebuild->Enabled());
        EXPECT_EQ(VerifyAt(w, level, fw::mrYes), std::atoi(level));
        EXPECT_EQ(Texts(), std::vector<std::string>{kCorrupt});
        EXPECT_TRUE(w.ButtonRebuild->Enabled());
        EXPECT_FALSE(w.BtnBottomDlg->TableErrTable->Active()); // closed with the viewer
    }
    dialogs.Clear();
    w.ButtonRebuildClick(&w);
    EXPECT_EQ(Texts(), std::vector<std::string>{kRebuilt});
    EXPECT_TRUE(fw::FileExists(dir.File("BackUp_.DB")));
}

TEST_F(TableRepairTest, LevelsThreeAndFourWarnAfterTheViewerAndNeverRebuild) {
    TFormTUMain w(nullptr, table);
    EXPECT_EQ(VerifyAt(w, "3", fw::mrYes), 3);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kCorrupt, kLevel3}));
    dialogs.Clear();
    w.ButtonRebuildClick(&w); // enabled since the table was selected
    EXPECT_EQ(Texts(), std::vector<std::string>{kNoRebuild});
    EXPECT_FALSE(fw::FileExists(dir.File("BackUp_.DB")));
    EXPECT_EQ(VerifyAt(w, "4", fw::mrYes), 4);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kCorrupt, kLevel4}));
}

TEST_F(TableRepairTest, TheErrorTableStaysForTheSameFileNameElsewhere) {
    datatest::TempDir other;
    const std::string twin = other.File("Tags.db"), another = other.File("Other.db");
    datatest::MakeTaglineTable(twin, datatest::Keys::TagText);
    datatest::MakeTaglineTable(another, datatest::Keys::TagText);
    TFormTUMain w(nullptr, table);
    VerifyAt(w, "2", fw::mrNo);
    ASSERT_TRUE(fw::FileExists(ErrTable()));
    w.EditFileName->SetText(twin);
    w.EditFileNameExit(w.EditFileName);
    EXPECT_EQ(w.TUtility1->TableName(), twin);
    EXPECT_TRUE(fw::FileExists(ErrTable()));
    w.EditFileName->SetText(another);
    w.EditFileNameExit(w.EditFileName);
    EXPECT_FALSE(fw::FileExists(ErrTable()));
    w.EditFileName->SetText(other.File("none.db"));
    EXPECT_THROW(w.EditFileNameExit(w.EditFileName), ETUtilityError);
    EXPECT_FALSE(w.ButtonVerify->Enabled());
}

// The window side of the command: a folder holding the tagline table, its table objects
// and timer, and counts of what the command asked.
class TRecordingHost : public TTableUtilHost {
  public:
    explicit TRecordingHost(const std::string& folder, const std::string& path) : folder_(folder) {
        table1.SetTableName(path);
        table1.SetTableType(fw::TTableType::ttParadox);
        table1.SetExclusive(true);
        table1.Open();
    }
    fw::TTimer& CyclingTimer() override { return timer; }
    fw::TTable& TaglineTable() override { return table1; }
    fw::TTable& SecondaryTable() override { return table2; }
    const std::string& ProgramFolder() const override { return folder_; }
    void ReopenTaglineTable() override {
        ++reopens;
        table1.Open();
    }
    void ReloadSignature() override { ++reloads; }

    fw::TTimer timer{nullptr};
    fw::TTable table1{nullptr}, table2{nullptr};
    int reopens = 0, reloads = 0;

  private:
    std::string folder_;
};

TEST_F(TableRepairTest, PackVerifyDeletesTheBackupAndRestoresTableAndTimer) {
    for (bool timerOn : {true, false}) {
        TRecordingHost host(dir.Path(), table);
        host.timer.SetInterval(60000);
        host.timer.SetEnabled(timerOn);
        fw::TForm owner(nullptr);
        bool sawClosedTable = true, timerOffInside = true;
        WhenModal([&] {
            for (fw::TComponent* c : owner.Components())
                if (auto* w = dynamic_cast<TFormTUMain*>(c)) {
                    sawClosedTable = !host.table1.Active();
                    timerOffInside = !host.timer.Enabled();
                    w->ButtonRebuildClick(w);
                    EXPECT_TRUE(fw::FileExists(dir.File("BackUp_.DB")));
                    w->ButtonCloseClick(w);
                }
        });
        RunPackVerify(&owner, host);
        EXPECT_TRUE(sawClosedTable);
        EXPECT_TRUE(timerOffInside);
        EXPECT_FALSE(fw::FileExists(dir.File("BackUp_.DB")));
        EXPECT_TRUE(host.table1.Active());
        EXPECT_EQ(host.reopens, 1);
        EXPECT_EQ(host.reloads, 1);
        EXPECT_EQ(host.timer.Enabled(), timerOn);
        EXPECT_FALSE(fw::FileExists(ErrTable())); // Close cleared it
    }
}

TEST_F(TableRepairTest, PackVerifyLeavesABackupElsewhereAlone) {
    datatest::TempDir program;
    TRecordingHost host(program.Path(), table);
    fw::TForm owner(nullptr);
    WhenModal([&] {
        for (fw::TComponent* c : owner.Components())
            if (auto* w = dynamic_cast<TFormTUMain*>(c)) {
                w->ButtonRebuildClick(w);
                w->ButtonCloseClick(w);
            }
    });
    RunPackVerify(&owner, host);
    EXPECT_TRUE(fw::FileExists(dir.File("BackUp_.DB"))); // beside its own table
    EXPECT_TRUE(host.table1.Active());
}

} // namespace
