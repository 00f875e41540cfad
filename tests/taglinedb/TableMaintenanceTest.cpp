// The table maintenance commands on real tables, with a recording host for the window:
// Save DB As, Merge DBs, Delete DB, Import Text File and Tagline Thief, their messages
// and counts, the timer they stop or hold off, and every kind of bad input they meet.
#include "DataTestSupport.h"
#include "RecordingHost.h"
#include "desktop/MRUList.h"
#include "framework/Application.h"
#include "framework/data/BatchMove.h"
#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"
#include "taglinedb/TableMaintenance.h"
#include "taglinedb/TaglineDatabase.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

namespace {

using datatest::ErrorText;
using datatest::Keys;
using fw::TFieldType;
using fw::TIndexOption;

void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Bytes(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void PutOnClipboard(UINT format, const void* data, size_t size) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (data) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(memory), data, size);
        GlobalUnlock(memory);
        SetClipboardData(format, memory);
    }
    CloseClipboard();
}

void ClipboardAnsi(const std::string& text) {
    PutOnClipboard(CF_TEXT, text.c_str(), text.size() + 1);
}

class TableMaintenanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brindlex");
        fw::Application().Initialize();
        host.folder = dir.Path();
        current = dir.File("current.db");
        datatest::MakeTaglineTable(current, Keys::TagText);
        datatest::AddTaglines(current, {"one", "two", "three"});
        db = std::make_unique<TTaglineDatabase>(nullptr, host, nullptr);
        maintenance = std::make_unique<TTableMaintenance>(nullptr, *db, host);
        db->OpenDatabase(db->Table1, current);
        dialogs.Clear();
        host.stops = 0;
    }
    void TearDown() override {
        maintenance.reset();
        db.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brindlex");
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& s : dialogs.Shown())
            t.push_back(s.Text);
        return t;
    }
    std::vector<std::string> Current() {
        db->Table1->Close();
        std::vector<std::string> rows = datatest::ReadTaglines(current);
        db->OpenDatabase(db->Table1, current);
        return rows;
    }
    // Imports a file through the command, answering its first message and the dialog.
    void Import(const std::string& file) {
        dialogs.Answer(fw::mrOk);
        dialogs.Answer(fw::mrOk, file);
        fw::Application().Protect([&] { maintenance->ImportTextFile(); });
    }
    void Thief() {
        fw::Application().Protect([&] { maintenance->TagThief(); });
    }

    datatest::TempDir dir;
    std::string current;
    TRecordingHost host;
    fw::TScriptedDialogs dialogs;
    std::unique_ptr<TTaglineDatabase> db;
    std::unique_ptr<TTableMaintenance> maintenance;
};

TEST_F(TableMaintenanceTest, TheSharedBatchMoveKeepsItsSideTables) {
    const fw::TBatchMove& move = *maintenance->BatchMove;
    EXPECT_EQ(move.Name(), "BatchMove");
    EXPECT_EQ(move.Mode(), fw::TBatchMode::batAppendUpdate);
    EXPECT_FALSE(move.AbortOnKeyViol());
    EXPECT_FALSE(move.AbortOnProblem());
    EXPECT_EQ(move.KeyViolTableName(), "DuplicateTags");
    EXPECT_EQ(move.ProblemTableName(), "ProblemTags");
    EXPECT_EQ(move.ChangedTableName(), "ChangedTags");
}

TEST_F(TableMaintenanceTest, SaveDBAsCopiesEveryRowAndTheOldTableStaysCurrent) {
    std::vector<std::string> many;
    for (int i = 0; i < 117; ++i)
        many.push_back("tagline " + std::to_string(i));
    db->Table1->Close();
    datatest::AddTaglines(current, many);
    db->OpenDatabase(db->Table1, current);
    const std::string copy = dir.File("copy.db");
    dialogs.Answer(fw::mrOk, copy);
    maintenance->SaveDBAs();
    EXPECT_EQ(host.stops, 1);
    EXPECT_EQ(host.dialog.Title, "Enter the Name of the new Database:");
    EXPECT_EQ(host.dialog.DefaultExt, "db");
    EXPECT_TRUE(host.dialog.Options & OFN_OVERWRITEPROMPT);
    EXPECT_EQ(dialogs.Last().Text, "120 Records Copied\r\n0 Duplicate Records");
    EXPECT_EQ(host.dbFile, current);
    EXPECT_TRUE(db->Table1->Active());
    EXPECT_EQ(db->Table1->TableName(), current);
    EXPECT_FALSE(db->Table2->Active());
    EXPECT_EQ(db->MRUDBList->Items(), std::vector<std::string>{current}) << "not listed";
    EXPECT_EQ(datatest::ReadTaglines(copy), Current());
}

TEST_F(TableMaintenanceTest, SaveDBAsOntoTheTableInUseIsRefusedAndLosesNothing) {
    // Spelt differently, still the same file.
    std::string other = current;
    std::transform(other.begin(), other.end(), other.begin(), ::toupper);
    dialogs.Answer(fw::mrOk, other);
    EXPECT_EQ(ErrorText([&] { maintenance->SaveDBAs(); }),
              "A database cannot be saved over itself.\r\n" + other +
                  " is the database in use; choose another name.");
    EXPECT_TRUE(db->Table1->Active());
    EXPECT_EQ(Current(), (std::vector<std::string>{"one", "three", "two"}));
}

TEST_F(TableMaintenanceTest, SaveDBAsToANameThatCannotBeCreatedLeavesNoTableOpen) {
    dialogs.Answer(fw::mrOk, dir.File("no such folder\\copy.db"));
    EXPECT_THROW(maintenance->SaveDBAs(), fw::EDBEngineError);
    EXPECT_FALSE(db->Table1->Active());
    EXPECT_EQ(host.dbFile, current);
}

TEST_F(TableMaintenanceTest, MergeAddsNewTaglinesAndReplacesTheirTwinsWhateverRanBefore) {
    const std::string second = dir.File("second.db");
    datatest::MakeTaglineTable(second, Keys::None);
    datatest::AddTaglines(second, {"two", "four", "one", "five", "six"});
    // A Save DB As earlier in the run must not turn the merge into appends.
    dialogs.Answer(fw::mrOk, dir.File("copy.db"));
    maintenance->SaveDBAs();
    dialogs.Clear();
    host.stops = 0;
    dialogs.Answer(fw::mrOk, second);
    maintenance->MergeDBs();
    EXPECT_EQ(host.stops, 1);
    EXPECT_EQ(host.dialog.Title, "Enter the second Database:");
    EXPECT_EQ(dialogs.Last().Text, "5 Records Copied\r\n0 Records Too Big\r\n0 Duplicate Records");
    EXPECT_FALSE(db->Table2->Active());
    EXPECT_EQ(db->Table1->FieldByName("TagText").AsString(), "five") << "on its first row";
    EXPECT_EQ(Current(), (std::vector<std::string>{"five", "four", "one", "six", "three", "two"}));
}

TEST_F(TableMaintenanceTest, MergeOfWhatIsNoTaglineTableLeavesTheCurrentTableAsItWas) {
    const std::vector<std::string> before = Current();
    auto merge = [&](const std::string& file) {
        dialogs.Answer(fw::mrOk, file);
        return ErrorText([&] { maintenance->MergeDBs(); });
    };
    const std::string text = dir.File("notes.db");
    WriteFile(text, "this is not a table at all");
    EXPECT_NE(merge(text), "(no error)");
    EXPECT_TRUE(db->Table1->Active());
    EXPECT_FALSE(db->Table2->Active());

    // A table cut off in the middle of its data.
    const std::string cut = dir.File("cut.db");
    datatest::MakeTaglineTable(cut, Keys::None);
    datatest::AddTaglines(cut, {"alpha", "beta"});
    std::filesystem::resize_file(cut, std::filesystem::file_size(cut) - 3000);
    merge(cut);
    EXPECT_TRUE(db->Table1->Active());

    EXPECT_EQ(merge(current), "A database cannot be merged into itself.\r\n" + current +
                                  " is the database in use; choose another one.");
    const std::vector<std::string> after = Current();
    for (const std::string& tag : before)
        EXPECT_NE(std::find(after.begin(), after.end(), tag), after.end()) << tag;
}

TEST_F(TableMaintenanceTest, MergeOfATableWithOtherColumnsTakesThemByPosition) {
    const std::string other = datatest::MakeTable(
        dir, "other.db",
        {{"Note", TFieldType::ftString, 40, false}, {"Count", TFieldType::ftSmallint, 0, false}},
        {});
    {
        fw::TTable t(nullptr);
        t.SetTableName(other);
        t.Open();
        t.Append();
        t.FieldByName("Note").SetAsString("from another program");
        t.FieldByName("Count").SetAsInteger(7);
        t.Post();
    }
    dialogs.Answer(fw::mrOk, other);
    fw::Application().Protect([&] { maintenance->MergeDBs(); });
    EXPECT_TRUE(db->Table1->Active());
    const std::vector<std::string> rows = Current();
    EXPECT_NE(std::find(rows.begin(), rows.end(), "from another program"), rows.end())
        << dialogs.Last().Text;
}

TEST_F(TableMaintenanceTest, DeleteAsksFirstAndDeletesTheTableWithAllItsFiles) {
    const std::string other = dir.File("other.db");
    datatest::MakeTaglineTable(other, Keys::TagTextAndRecNo);
    dialogs.Answer(fw::mrOk, other);
    dialogs.Answer(fw::mrCancel);
    maintenance->DeleteDB();
    EXPECT_EQ(dialogs.Last().Text, "Are you sure you want to delete this Table?\r\n" + other);
    EXPECT_EQ(dialogs.Last().Buttons, fw::TMsgDlgButtons::mbYesCancel);
    EXPECT_EQ(dialogs.Last().Kind, fw::TMsgDlgType::mtWarning);
    EXPECT_TRUE(std::filesystem::exists(other));

    dialogs.Answer(fw::mrOk, other);
    dialogs.Answer(fw::mrYes);
    maintenance->DeleteDB();
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_NE(entry.path().stem().string(), "other") << entry.path();
    EXPECT_EQ(host.stops, 0) << "Delete DB leaves the timer alone";

    dialogs.Clear();
    dialogs.Answer(fw::mrOk, other);
    maintenance->DeleteDB();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Select the Database to Delete:"})
        << "a name that no longer exists: nothing asked, nothing shown";
}

TEST_F(TableMaintenanceTest, DeleteOfTheTableInUseOrOfReadOnlyFilesDeletesNothing) {
    dialogs.Answer(fw::mrOk, current);
    dialogs.Answer(fw::mrYes);
    EXPECT_NE(ErrorText([&] { maintenance->DeleteDB(); }).find("Table is locked"),
              std::string::npos);
    EXPECT_EQ(Current().size(), 3u);

    const std::string other = dir.File("other.db");
    datatest::MakeTaglineTable(other, Keys::TagText);
    SetFileAttributesA(other.c_str(), FILE_ATTRIBUTE_READONLY);
    dialogs.Answer(fw::mrOk, other);
    dialogs.Answer(fw::mrYes);
    EXPECT_NE(ErrorText([&] { maintenance->DeleteDB(); }).find("is read-only; nothing was deleted"),
              std::string::npos);
    SetFileAttributesA(other.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(datatest::ReadTaglines(other).size(), 0u) << "the table is whole";
}

TEST_F(TableMaintenanceTest, NoCommandMakesATableOfTheSignatureOrDeletesAFileThatIsNoTable) {
    const std::string sig = dir.File("sig.txt"), text = dir.File("import2.txt");
    const std::string other = dir.File("other.db");
    const std::string sigBytes = "Best,\r\nJane\r\n", textBytes = "a tagline\r\n";
    host.sigFile = sig;
    // A table keyed with case counting, as another program may key it: a copy keeps both.
    db->Table1->Close();
    datatest::AddTaglines(current, {"ONE"});
    const std::vector<std::string> rows{"ONE", "one", "three", "two"};
    const auto create = [&] { db->CreateDB(); };
    const auto saveAs = [&] { maintenance->SaveDBAs(); };
    const auto merge = [&] { maintenance->MergeDBs(); };
    const auto remove = [&] {
        dialogs.Answer(fw::mrYes);
        maintenance->DeleteDB();
    };
    const std::string notSig = "A database cannot replace the signature file.\r\n" + sig +
                               " is the signature file in use; choose another name.";
    const std::string notTable = "File is not a Paradox table.";
    struct Case {
        const char* what;
        std::function<void()> run;
        std::string file, error;
        std::string made; // the file that holds a table afterwards
    };
    const Case cases[] = {
        {"Create DB over the signature", create, sig, notSig, ""},
        {"Save DB As over the signature", saveAs, sig, notSig, ""},
        {"Save DB As over a text file", saveAs, text, notTable, ""},
        {"Merge DBs of a text file", merge, text, notTable, ""},
        {"Delete DB of a text file", remove, text, notTable, ""},
        {"Create DB over another file", create, text, "", text},
        {"Save DB As over another table", saveAs, other, "", other},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        db->OpenDatabase(db->Table1, current);
        WriteFile(sig, sigBytes);
        WriteFile(text, textBytes);
        datatest::MakeTaglineTable(other, Keys::None);
        for (const char* side : {"sig.px", "sig.qix", "import2.px", "import2.qix"})
            std::filesystem::remove(dir.File(side));
        dialogs.Clear();
        dialogs.Answer(fw::mrOk, c.file);

        const std::string error = ErrorText(c.run);
        EXPECT_NE(error.find(c.error.empty() ? "(no error)" : c.error), std::string::npos) << error;
        EXPECT_EQ(host.dbFile, c.made == text ? text : current);
        EXPECT_TRUE(db->Table1->Active());
        EXPECT_EQ(db->Table1->RecordCount(), c.made == text ? 0 : static_cast<int>(rows.size()));
        EXPECT_EQ(Bytes(sig), sigBytes);
        if (c.made != text) {
            EXPECT_EQ(Bytes(text), textBytes);
            for (const char* side : {"sig.px", "sig.qix", "import2.px", "import2.qix"})
                EXPECT_FALSE(std::filesystem::exists(dir.File(side))) << side;
        }
        if (c.made == other) {
            EXPECT_EQ(datatest::ReadTaglines(other), rows);
        }
    }
}

TEST_F(TableMaintenanceTest, ImportAddsEachDistinctLineOnceAndHoldsTheTimerMeanwhile) {
    host.timer.SetEnabled(true);
    const std::string file = dir.File("tags.txt");
    WriteFile(file, "four\r\none\r\nfour\r\n  five, indented\r\n" + std::string(300, 'x') + "\r\n");
    Import(file);
    EXPECT_EQ(Texts()[0], "The text file being imported must have each \r\ntagline on a single "
                          "line. The first character\r\n must be in the first column.");
    EXPECT_EQ(host.dialog.Title, "Select the text file to import:");
    EXPECT_EQ(host.dialog.Filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(dialogs.Last().Text, "File successfully imported!");
    EXPECT_TRUE(host.timer.Enabled());
    EXPECT_EQ(host.stops, 0);
    EXPECT_EQ(Current(), (std::vector<std::string>{"  five, indented", "four", "one", "three",
                                                   "two", std::string(255, 'x')}));
    EXPECT_TRUE(std::filesystem::exists(TTableMaintenance::TempTablePath()))
        << "the scratch table lies in the engine's private folder";
}

TEST_F(TableMaintenanceTest, ImportCancelledLeavesTheTimerAsItWas) {
    host.timer.SetEnabled(true);
    dialogs.Answer(fw::mrCancel);
    maintenance->ImportTextFile();
    EXPECT_TRUE(host.timer.Enabled());
    dialogs.Answer(fw::mrOk);
    dialogs.Answer(fw::mrCancel);
    maintenance->ImportTextFile();
    EXPECT_TRUE(host.timer.Enabled());
    host.timer.SetEnabled(false);
    dialogs.Answer(fw::mrCancel);
    maintenance->ImportTextFile();
    EXPECT_FALSE(host.timer.Enabled());
}

TEST_F(TableMaintenanceTest, ImportReadsEveryKindOfLineBreakAndByteOrderMark) {
    const std::string file = dir.File("tags.txt");
    WriteFile(file, "cr one\rcr two\rno final break");
    Import(file);
    WriteFile(file, "\xEF\xBB\xBF"
                    "caf\xC3\xA9 au lait\n\xCE\xA9mega\n");
    Import(file);
    EXPECT_EQ(dialogs.Last().Text,
              "File successfully imported!\r\nCharacters that a tagline cannot hold became \"?\".");
    const std::string wide("\xFF\xFE"
                           "w\0i\0d\0e\0\r\0\n\0",
                           14);
    WriteFile(file, wide);
    Import(file);
    EXPECT_EQ(Current(),
              (std::vector<std::string>{"?mega", "caf\xE9 au lait", "cr one", "cr two",
                                        "no final break", "one", "three", "two", "wide"}));
}

TEST_F(TableMaintenanceTest, ImportOfBadInputSaysWhyAndChangesNothing) {
    host.timer.SetEnabled(true);
    const std::string file = dir.File("bad.txt");
    WriteFile(file, "one line\r\n\r\nafter an empty one\r\n");
    Import(file);
    EXPECT_EQ(dialogs.Last().Text, "Field 'TagText' must have a value");

    const std::string exe = dir.File("program.exe");
    WriteFile(exe, std::string("MZ\x90\0\x03\0\0\0\x04\0", 10) + "This program cannot be run");
    Import(exe);
    EXPECT_EQ(dialogs.Last().Text,
              "The file " + exe + " is not a text file.\r\nNothing was imported.");

    const HANDLE locked =
        CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Import(file);
    CloseHandle(locked);
    EXPECT_EQ(dialogs.Last().Text.rfind("Cannot open file " + file + "\r\n", 0), 0u)
        << dialogs.Last().Text;

    Import(dir.File("deleted since.txt"));
    EXPECT_EQ(dialogs.Last().Text.rfind("Cannot open file " + dir.File("deleted since.txt"), 0),
              0u);

    EXPECT_TRUE(host.timer.Enabled()) << "every ending gives the timer back";
    EXPECT_EQ(Current(), (std::vector<std::string>{"one", "three", "two"}));
}

TEST_F(TableMaintenanceTest, ImportOfAHundredThousandLines) {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "Tagline number " + std::to_string(i) + " of a large collection\r\n";
    const std::string file = dir.File("large.txt");
    WriteFile(file, text);
    Import(file);
    EXPECT_EQ(dialogs.Last().Text, "File successfully imported!");
    EXPECT_EQ(db->Table1->RecordCount(), 100003);
}

TEST_F(TableMaintenanceTest, TheThiefAddsNewTextAndFindsTextAlreadyThere) {
    host.timer.SetEnabled(true);
    ClipboardAnsi("two");
    Thief();
    EXPECT_EQ(dialogs.Last().Text, "That Tagline already exists!");
    EXPECT_EQ(dialogs.Last().Kind, fw::TMsgDlgType::mtInformation);
    EXPECT_EQ(db->Table1->FieldByName("TagText").AsString(), "two");

    ClipboardAnsi("first line\r\nsecond line");
    Thief();
    EXPECT_EQ(dialogs.Last().Text, "Stolen!");
    EXPECT_TRUE(host.timer.Enabled());
    EXPECT_EQ(db->Table1->RecordCount(), 4);
    const std::vector<std::string> rows = Current();
    EXPECT_NE(std::find(rows.begin(), rows.end(), "first line\r\nsecond line"), rows.end());
}

TEST_F(TableMaintenanceTest, TheThiefSaysWhatItCouldNotTake) {
    PutOnClipboard(CF_TEXT, nullptr, 0);
    Thief();
    EXPECT_EQ(dialogs.Last().Text, "Clipboard is either empty or does not contain text.");
    ClipboardAnsi("");
    Thief();
    EXPECT_EQ(dialogs.Last().Text, "Clipboard is either empty or does not contain text.");

    ClipboardAnsi(std::string(100 * 1024, 'k'));
    Thief();
    EXPECT_EQ(dialogs.Last().Text, "Stolen!\r\nOnly its first 255 characters fit in a tagline.");

    const std::wstring unicode = L"\u03A9mega \u2603 caf\u00E9";
    PutOnClipboard(CF_UNICODETEXT, unicode.c_str(), (unicode.size() + 1) * sizeof(wchar_t));
    Thief();
    EXPECT_EQ(dialogs.Last().Text,
              "Stolen!\r\nCharacters that a tagline cannot hold became \"?\".");
    const std::vector<std::string> rows = Current();
    EXPECT_NE(std::find(rows.begin(), rows.end(), std::string(255, 'k')), rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(), "?mega ? caf\xE9"), rows.end());
    EXPECT_EQ(rows.size(), 5u);
}

TEST_F(TableMaintenanceTest, AThiefsPostThatFailsLeavesTheRowForTheUser) {
    // Keyed on TagText with case counting, and a second unique index that ignores case:
    // "TWO" is not found, but cannot be posted either.
    const std::string strict = datatest::MakeTable(
        dir, "strict.db",
        {{"TagText", TFieldType::ftString, 255, true}, {"Record", TFieldType::ftAutoInc, 0, true}},
        {{"", "TagText", {TIndexOption::ixPrimary, TIndexOption::ixUnique}},
         {"Folded", "TagText", {TIndexOption::ixUnique, TIndexOption::ixCaseInsensitive}}});
    datatest::AddTaglines(strict, {"two"});
    db->OpenDatabase(db->Table1, strict);
    ClipboardAnsi("TWO");
    Thief();
    EXPECT_EQ(dialogs.Last().Text, "Undocumented error in module popTagThiefClick");
    EXPECT_EQ(dialogs.Last().Kind, fw::TMsgDlgType::mtError);
    EXPECT_EQ(db->Table1->State(), fw::TDataSetState::dsInsert);
    db->Table1->Cancel();
}

} // namespace
