// The main window's tagline table, with the window built in-process: the table opened at
// start-up and the missing-file dialog there, Select DB, Create DB and the recent entries
// with a pending edit, the shared open dialog, the navigator's refresh, and a dropped
// table.
#include "DataTestSupport.h"
#include "desktop/MRUList.h"
#include "desktop/TrayIcon.h"
#include "framework/Application.h"
#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"
#include "rotation/Main.h"
#include "WindowTest.h"
#include "taglinedb/TaglineDatabase.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>

namespace {

using datatest::Keys;
using fw::TFieldType;
using fw::TIndexOption;

class MainDatabaseTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        first = scratch.File("first.db");
        second = scratch.File("second.db");
        datatest::MakeTaglineTable(first, Keys::TagTextAndRecNo);
        datatest::AddTaglines(first, {"one", "two", "three"});
        datatest::MakeTaglineTable(second, Keys::TagText);
        datatest::AddTaglines(second, {"alpha", "beta"});
        WriteString("DBFile", first);
        WriteString("Warn", "0");
    }
    std::string CurrentTag() { return form->Table1->FieldByName("TagText").AsString(); }
    bool WasShown(const std::string& text) const {
        const auto texts = Texts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    datatest::TempDir scratch;
    std::string first, second;
};

TEST_F(MainDatabaseTest, StartUpOpensTheConfiguredTableInTagTextOrder) {
    TMainForm& f = Create();
    ASSERT_TRUE(f.Table1->Active());
    EXPECT_EQ(f.DBFile, first);
    EXPECT_EQ(CurrentTag(), "one");
    EXPECT_EQ(f.DBLookupComboBox1->Items(), (std::vector<std::string>{"one", "three", "two"}));
    EXPECT_EQ(f.StatusBarBottom->Panel(0).Text(), "DB File is: " + first);
    EXPECT_EQ(f.MRUDBList->Items(), std::vector<std::string>{first});
    EXPECT_TRUE(f.DBMemo->ReadOnly());
}

TEST_F(MainDatabaseTest, AMissingTableAtStartUpWithTheDialogCancelledEndsTheStartUp) {
    WriteString("DBFile", scratch.File("gone.db"));
    WriteString("SigFile", scratch.File("signatur.pce"));
    WriteBytes(scratch.File("signatur.pce"), "Jane Doe\r\n");
    TMainForm& f = Create();
    EXPECT_TRUE(WasShown("Your database cannot be found."));
    EXPECT_TRUE(WasShown("Select the Database to use:"));
    EXPECT_FALSE(f.Table1->Active());
    EXPECT_TRUE(f.DBMemo->Text().empty());
    // The error ended the start-up: no cycling that would save the signature without a
    // tagline, nothing loaded, and no tray icon yet.
    EXPECT_FALSE(f.Timer->Enabled());
    EXPECT_EQ(f.MemoEditor->Text(), "");
    EXPECT_FALSE(f.TrayIcon1->Active());
    EXPECT_EQ(ReadBytes(scratch.File("signatur.pce")), "Jane Doe\r\n");
    // So minimizing keeps the window on the taskbar instead of hiding it for good.
    f.Show();
    f.AppOnMinimize(nullptr);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
}

TEST_F(MainDatabaseTest, TheOpenDialogKeepsWhatTheLastCommandSetUnlessACommandSetsIt) {
    TMainForm& f = Create();
    dialogs.Answer(fw::mrOk, scratch.File("made.db"));
    f.mnuDBCreateClick(nullptr);
    dialogs.Answer(fw::mrCancel);
    f.mnuDBSelectClick(nullptr);
    // Select DB sets title, filter and folder only: Create DB's name, extension and
    // options stay.
    EXPECT_EQ(f.OpenDialog.Title, "Select the Database to use:");
    EXPECT_EQ(f.OpenDialog.FileName, scratch.File("made.db"));
    EXPECT_EQ(f.OpenDialog.DefaultExt, "db");
    EXPECT_TRUE(f.OpenDialog.Options & OFN_OVERWRITEPROMPT);
    // Selecting a signature sets its own options: the file must exist again.
    dialogs.Answer(fw::mrCancel);
    f.FileOpen(nullptr);
    EXPECT_TRUE(f.OpenDialog.Options & OFN_FILEMUSTEXIST);
    EXPECT_FALSE(f.OpenDialog.Options & OFN_OVERWRITEPROMPT);
}

TEST_F(MainDatabaseTest, AMissingTableCanBeReplacedThroughTheDialog) {
    WriteString("DBFile", scratch.File("gone.db"));
    dialogs.Answer(fw::mrOk);
    dialogs.Answer(fw::mrOk, second);
    TMainForm& f = Create();
    ASSERT_TRUE(f.Table1->Active());
    EXPECT_EQ(f.DBFile, second);
    EXPECT_FALSE(f.Timer->Enabled());
}

TEST_F(MainDatabaseTest, SelectDBDuringAnEditOffersToPostIntoTheOldTable) {
    TMainForm& f = Create();
    f.DBNavigator->BtnClick(fw::TNavigateBtn::nbEdit);
    f.Table1->FieldByName("TagText").SetAsString("one, edited");
    dialogs.Answer(fw::mrOk, second);
    dialogs.Answer(fw::mrOk);
    f.mnuDBSelectClick(nullptr);
    EXPECT_TRUE(WasShown("Save changes to this record?"));
    EXPECT_EQ(f.DBFile, second);
    EXPECT_EQ(CurrentTag(), "alpha");
    EXPECT_FALSE(f.Timer->Enabled());
    f.Table1->Close();
    EXPECT_EQ(datatest::ReadTaglines(first),
              (std::vector<std::string>{"one, edited", "three", "two"}));
}

TEST_F(MainDatabaseTest, SelectDBOfAFileThatIsNoTaglineTableKeepsTheCurrentTable) {
    TMainForm& f = Create();
    std::string other =
        datatest::MakeTable(scratch, "other.db", {{"Line", TFieldType::ftString, 255, true}},
                            {{"", "Line", {TIndexOption::ixPrimary}}});
    dialogs.Answer(fw::mrOk, other);
    EXPECT_EQ(datatest::ErrorText([&] { f.mnuDBSelectClick(nullptr); }),
              "Sorry, This is not a Quiptide Database");
    EXPECT_TRUE(f.Table1->Active());
    EXPECT_EQ(f.DBFile, first);
}

TEST_F(MainDatabaseTest, RecentEntryDuringAnEditCancelledLosesTheEdit) {
    TMainForm& f = Create();
    f.Taglines->OpenDatabase(f.Table1, second);
    f.DBNavigator->BtnClick(fw::TNavigateBtn::nbEdit);
    f.Table1->FieldByName("TagText").SetAsString("alpha, edited");
    dialogs.Answer(fw::mrCancel);
    f.MRUDBListMRUItemClick(first);
    EXPECT_TRUE(WasShown("Save changes to this record?"));
    EXPECT_EQ(f.DBFile, first);
    EXPECT_EQ(f.MRUDBList->Items(), (std::vector<std::string>{first, second}));
    f.Table1->Close();
    EXPECT_EQ(datatest::ReadTaglines(second), (std::vector<std::string>{"alpha", "beta"}));
}

TEST_F(MainDatabaseTest, CreateDBMakesAnEmptyIndexedTableCurrent) {
    TMainForm& f = Create();
    std::string made = scratch.File("made.db");
    dialogs.Answer(fw::mrOk, made);
    f.mnuDBCreateClick(nullptr);
    ASSERT_TRUE(f.Table1->Active());
    EXPECT_EQ(f.DBFile, made);
    EXPECT_EQ(f.Table1->RecordCount(), 0);
    EXPECT_TRUE(f.DBMemo->Text().empty());
    EXPECT_TRUE(f.DBLookupComboBox1->Items().empty());
    EXPECT_EQ(f.StatusBarBottom->Panel(0).Text(), "DB File is: " + made);
    // Not validated, not listed; but it has the standard indexes, so it opens again.
    EXPECT_EQ(f.MRUDBList->Items(), std::vector<std::string>{first});
    f.Table1->Append();
    f.Table1->FieldByName("TagText").SetAsString("new");
    f.Table1->Post();
    EXPECT_THROW(
        {
            f.Table1->Append();
            f.Table1->FieldByName("TagText").SetAsString("NEW");
            f.Table1->Post();
        },
        fw::EDatabaseError);
    f.Table1->Cancel();
    f.Taglines->OpenDatabase(f.Table1, first);
    f.Taglines->OpenDatabase(f.Table1, made);
    EXPECT_EQ(CurrentTag(), "new");
}

TEST_F(MainDatabaseTest, NavigatorRefreshRestoresTheTagTextOrderAndStopsTheTimer) {
    TMainForm& f = Create();
    f.Table1->SetIndexFieldNames("Record");
    f.Timer->SetEnabled(true);
    f.DBNavigator->BtnClick(fw::TNavigateBtn::nbRefresh);
    EXPECT_EQ(f.Table1->IndexFieldNames(), "TagText");
    EXPECT_FALSE(f.Timer->Enabled());
    f.Table1->First();
    EXPECT_EQ(CurrentTag(), "one");
    f.Table1->Last();
    EXPECT_EQ(CurrentTag(), "two");
}

TEST_F(MainDatabaseTest, ADroppedTableBecomesCurrentAndClosingTheWindowClosesIt) {
    TMainForm& f = Create();
    size_t size = sizeof(DROPFILES) + second.size() + 2;
    HGLOBAL mem = GlobalAlloc(GHND, size);
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), second.c_str(), second.size() + 1);
    GlobalUnlock(mem);
    f.WMDropFiles(reinterpret_cast<HDROP>(mem));
    EXPECT_EQ(f.DBFile, second);
    EXPECT_EQ(CurrentTag(), "alpha");
    f.FormClose(&f);
    EXPECT_FALSE(f.Table1->Active());
}

TEST_F(MainDatabaseTest, TheMaintenanceCommandsAreReachedFromTheirMenuItems) {
    TMainForm& f = Create();
    ASSERT_NE(f.BatchMove, nullptr);
    const std::pair<const char*, const char*> items[] = {
        {"mnuDBSaveAs", "Enter the Name of the new Database:"},
        {"mnuDBMerge", "Enter the second Database:"},
        {"mnuDBDelete", "Select the Database to Delete:"},
        {"mnuDBImport", "The text file being imported must have each \r\ntagline on a single "
                        "line. The first character\r\n must be in the first column."},
    };
    for (const auto& [item, shown] : items) {
        dialogs.Clear();
        FindComponentClick(f, item);
        EXPECT_EQ(Texts(), std::vector<std::string>{shown}) << item;
    }
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    dialogs.Clear();
    FindComponentClick(f, "popTrayTagThief");
    EXPECT_EQ(Texts(),
              std::vector<std::string>{"Clipboard is either empty or does not contain text."});
}

} // namespace
