// The table utility window and the "Pack / Verify DB" command over the stand-in library:
// the verdicts 0 to 4 with the answers Yes and No, the problem viewer's rows, the error
// table kept for the same file name elsewhere, the viewer's grid (its red fixed column, its
// current cell under the keys), the buttons' fonts, and the command's clean-up afterwards.
#include "DataTestSupport.h"
#include "framework/Application.h"
#include "framework/Paths.h"
#include "framework/data/Session.h"
#include "tableutil/PackCommand.h"
#include "tableutil/TableNames.h"
#include "tableutil/Tumain.h"
#include "tests/desktop/Picture.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

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

// A key pressed (with Shift or Control held, or neither) on a control of a dialog, handled
// as the modal loop hands keys to the dialog.
void Press(HWND dialog, HWND control, WPARAM key, BYTE held = 0) {
    std::array<BYTE, 256> state{};
    if (held)
        state[held] = 0x80;
    SetKeyboardState(state.data());
    MSG m{control, WM_KEYDOWN, key, 0, 0, {0, 0}};
    IsDialogMessageA(dialog, &m);
    SetKeyboardState(std::array<BYTE, 256>{}.data());
}

LOGFONTA FontOf(HWND window) {
    LOGFONTA lf{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf;
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
    // The buttons' own font, and the viewer's, which its buttons take from it.
    for (fw::TButton* b : std::initializer_list<fw::TButton*>{
             w.ButtonVerify, w.ButtonRebuild, w.ButtonClose, w.ButtonHelp, w.BtnBottomDlg->OKBtn,
             w.BtnBottomDlg->HelpBtn}) {
        const LOGFONTA lf = FontOf(b->Handle());
        EXPECT_EQ(lf.lfWeight, FW_BOLD) << b->Name();
        EXPECT_EQ(lf.lfHeight, -11) << b->Name();
    }
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
    EXPECT_EQ(Texts(), std::vector<std::string>{kRebuilt + "\n\rThe original table is kept as " +
                                                dir.File("BackUp_.DB") + "."});
    EXPECT_TRUE(fw::FileExists(dir.File("BackUp_.DB")));
}

// After a rebuild the statistics are the rebuilt table's, and the message says where the
// original is kept unless the command deletes it once the window closes.
TEST_F(TableRepairTest, ARebuildRefreshesTheStatisticsAndTellsWhereABackupIsKept) {
    for (const bool discarded : {false, true}) {
        SCOPED_TRACE(discarded);
        TFormTUMain w(nullptr, table, discarded ? dir.File("backup_.db") : "");
        const std::string before = w.LabelNumRecs->Caption();
        // What the rebuild brings back.
        datatest::AddTaglines(table, discarded ? std::vector<std::string>{"eta", "theta"}
                                               : std::vector<std::string>{"epsilon", "zeta"});
        dialogs.Clear();
        w.ButtonRebuildClick(&w);
        EXPECT_EQ(std::stoi(w.LabelNumRecs->Caption()), std::stoi(before) + 2);
        EXPECT_EQ(Texts(), std::vector<std::string>{
                               discarded ? kRebuilt
                                         : kRebuilt + "\n\rThe original table is kept as " +
                                               dir.File("BackUp_.DB") + "."});
        EXPECT_TRUE(w.ButtonRebuild->Enabled());
    }
}

// The typed name is taken when the focus moves on to another control of the shown window,
// never when the window goes away (Close, Esc) or the user turns to another program.
TEST_F(TableRepairTest, TheNameIsTakenOnlyWhenTheFocusMovesWithinTheShownWindow) {
    struct TCase {
        const char* name;
        std::function<void(TFormTUMain&, HWND)> leave;
        bool taken;
    };
    const TCase cases[] = {
        {"to the Verify button", [](TFormTUMain& w, HWND) { SetFocus(w.ButtonVerify->Handle()); },
         true},
        {"the window hidden", [](TFormTUMain& w, HWND) { ShowWindow(w.Handle(), SW_HIDE); }, false},
        {"to another program's window",
         [](TFormTUMain&, HWND other) {
             SetForegroundWindow(other);
             SetFocus(other);
         },
         false},
    };
    const HWND other = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                       100, nullptr, nullptr, nullptr, nullptr);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TFormTUMain w(nullptr, table);
        w.Show();
        SetForegroundWindow(w.Handle());
        SetFocus(w.EditFileName->Handle());
        ASSERT_EQ(GetFocus(), w.EditFileName->Handle());
        w.EditFileName->SetText(dir.File("gone.db"));
        dialogs.Clear();
        c.leave(w, other);
        EXPECT_NE(GetFocus(), w.EditFileName->Handle());
        EXPECT_EQ(Texts(), c.taken ? std::vector<std::string>{"Table not found."}
                                   : std::vector<std::string>{});
        EXPECT_EQ(w.TUtility1->TableName(), c.taken ? "" : table);
    }
    DestroyWindow(other);
}

TEST_F(TableRepairTest, TheViewersGridShowsTheProblemsWithARedFixedColumnAndMovesByKeys) {
    TFormTUMain w(nullptr, table);
    _putenv("QT_TUTIL_LEVEL=2");
    dialogs.Answer(fw::mrYes);
    WhenModal([&] {
        TBtnBottomDlg& v = *w.BtnBottomDlg;
        fw::TDBGrid& g = *v.DBGridViewErr;
        struct TClosed { // whatever fails below, the viewer closes
            TBtnBottomDlg& v;
            ~TClosed() {
                if (v.ModalResult == fw::mrNone)
                    v.ModalResult = fw::mrCancel;
            }
        } closed{v};
        ASSERT_EQ(g.RowCount(), 2);
        EXPECT_EQ(g.Row(1),
                  (std::vector<std::string>{"102", "2", "Block 2 links to a block past the end"}));
        g.SetFocus();
        // Red beside every row, with the mark on the current row; the current cell lit.
        auto checkPicture = [&](const char* when) {
            TPicture p(g.Handle());
            const int x = g.IndicatorWidth() + 2;
            for (int row : {0, 1}) {
                const int mid = (g.RowTop(row) + g.RowTop(row + 1)) / 2;
                EXPECT_EQ(p.At(g.IndicatorWidth() - 3, g.RowTop(row) + 2), RGB(255, 0, 0)) << when;
                EXPECT_EQ(p.At(4, mid), row == g.RowIndex() ? RGB(0, 0, 0) : RGB(255, 0, 0))
                    << when;
                EXPECT_EQ(p.At(x, g.RowTop(row) + 2),
                          GetSysColor(row == g.RowIndex() ? COLOR_HIGHLIGHT : COLOR_WINDOW))
                    << when;
            }
        };
        checkPicture("at the first cell");
        struct TStep {
            WPARAM key;
            BYTE held;
            int row, col;
        };
        const TStep steps[] = {
            {VK_TAB, 0, 0, 1},          {VK_TAB, 0, 0, 2},
            {VK_TAB, 0, 1, 0},          {VK_TAB, 0, 1, 1},
            {VK_TAB, 0, 1, 2},          {VK_TAB, 0, 1, 2},
            {VK_TAB, VK_SHIFT, 1, 1},   {VK_TAB, VK_SHIFT, 1, 0},
            {VK_TAB, VK_SHIFT, 0, 2},   {VK_LEFT, 0, 0, 1},
            {VK_DOWN, 0, 1, 1},         {VK_RIGHT, 0, 1, 2},
            {VK_UP, 0, 0, 2},           {VK_HOME, 0, 0, 0},
            {VK_END, 0, 0, 2},          {VK_HOME, VK_CONTROL, 0, 0},
            {VK_END, VK_CONTROL, 1, 2}, {VK_PRIOR, 0, 0, 2},
            {VK_NEXT, 0, 1, 2},
        };
        for (const TStep& s : steps) {
            Press(v.Handle(), g.Handle(), s.key, s.held);
            EXPECT_EQ(std::make_pair(g.RowIndex(), g.Col()), std::make_pair(s.row, s.col))
                << "key " << s.key << " after step " << &s - steps;
            EXPECT_EQ(GetFocus(), g.Handle()); // the dialog did not take the key
        }
        // The wide message column scrolled to the left edge; the fixed column stayed.
        checkPicture("at the last cell, scrolled");
        SendMessageA(g.Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(g.IndicatorWidth() + 20, g.RowTop(0) + 2));
        SendMessageA(g.Handle(), WM_LBUTTONUP, 0,
                     MAKELPARAM(g.IndicatorWidth() + 20, g.RowTop(0) + 2));
        EXPECT_EQ(std::make_pair(g.RowIndex(), g.Col()), std::make_pair(0, 2));
        Press(v.Handle(), g.Handle(), VK_TAB, VK_CONTROL); // leaves the grid
        EXPECT_EQ(GetFocus(), v.OKBtn->Handle());
        Press(v.Handle(), g.Handle(), VK_RETURN); // still the dialog's: Close is its default
        EXPECT_EQ(v.ModalResult, fw::mrOk);
    });
    w.ButtonVerifyClick(&w);
    g_insideModal = nullptr;
    EXPECT_EQ(w.BtnBottomDlg->DBGridViewErr->RowCount(), 0); // emptied as its table closed
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
