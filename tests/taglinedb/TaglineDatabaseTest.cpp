// The tagline table subsystem on its own, with a host that records what the subsystem
// asks of the window: which files count as tagline tables, opening one and falling back
// to the previous one, the missing-table dialog, creating tables with and without the
// standard indexes, and the required tagline.
#include "DataTestSupport.h"
#include "desktop/MRUList.h"
#include "framework/Application.h"
#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"
#include "taglinedb/TaglineDatabase.h"
#include "RecordingHost.h"
#include "taglinedb/TaglineSchema.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using datatest::ErrorText;
using datatest::Keys;
using fw::TFieldType;
using fw::TIndexOption;

const fw::TFieldDef kRecord{"Record", TFieldType::ftAutoInc, 0, true};

class TaglineDatabaseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brindlex");
        fw::Application().Initialize();
        host.folder = dir.Path();
        first = dir.File("first.db");
        second = dir.File("second.db");
        datatest::MakeTaglineTable(first, Keys::TagTextAndRecNo);
        datatest::AddTaglines(first, {"one", "two", "three"});
        datatest::MakeTaglineTable(second, Keys::TagText);
        datatest::AddTaglines(second, {"alpha", "beta"});
        db = std::make_unique<TTaglineDatabase>(nullptr, host, nullptr);
    }
    void TearDown() override {
        db.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brindlex");
    }
    std::string CurrentTag() { return db->Table1->FieldByName("TagText").AsString(); }

    datatest::TempDir dir;
    std::string first, second;
    TRecordingHost host;
    fw::TScriptedDialogs dialogs;
    std::unique_ptr<TTaglineDatabase> db;
};

TEST_F(TaglineDatabaseTest, ValidateTableAcceptsOnlyTablesWithTagTextAndAnAscendingIndexOnIt) {
    std::string lower = datatest::MakeTable(dir, "lower.db",
                                            {{"tagtext", TFieldType::ftString, 255, true}, kRecord},
                                            {{"", "tagtext", {TIndexOption::ixPrimary}}});
    EXPECT_TRUE(db->ValidateTable(lower));
    EXPECT_FALSE(db->Table2->Active());
    EXPECT_EQ(db->Table2->TableName(), lower);
    EXPECT_EQ(db->Table2->DatabaseName(), dir.Path());

    std::string both = datatest::MakeTable(
        dir, "both.db", {{"TagText", TFieldType::ftString, 255, true}, kRecord},
        {{"", "TagText", {TIndexOption::ixPrimary}}, {"Both", "TagText;Record", {}}});
    EXPECT_TRUE(db->ValidateTable(both));

    std::string descending =
        datatest::MakeTable(dir, "desc.db", {kRecord, {"TagText", TFieldType::ftString, 255, true}},
                            {{"", "Record", {TIndexOption::ixPrimary}},
                             {"Down", "TagText", {TIndexOption::ixDescending}}});
    EXPECT_EQ(ErrorText([&] { db->ValidateTable(descending); }),
              "Table '" + descending + "' has no index for fields 'TagText'");

    std::string other =
        datatest::MakeTable(dir, "other.db", {{"Line", TFieldType::ftString, 255, true}},
                            {{"", "Line", {TIndexOption::ixPrimary}}});
    EXPECT_EQ(ErrorText([&] { db->ValidateTable(other); }),
              "Sorry, This is not a Quiptide Database");

    EXPECT_THROW(db->ValidateTable(dir.File("nothing.db")), fw::EDBEngineError);
}

TEST_F(TaglineDatabaseTest, OpeningATableMakesItCurrentAndTellsTheHost) {
    db->OpenDatabase(db->Table1, first);
    ASSERT_TRUE(db->Table1->Active());
    EXPECT_TRUE(db->Table1->Exclusive());
    EXPECT_EQ(db->Table1->IndexFieldNames(), "TagText");
    EXPECT_EQ(CurrentTag(), "one");
    EXPECT_EQ(host.dbFile, first);
    EXPECT_EQ(host.panels, 1);
    EXPECT_EQ(host.stops, 0) << "an existing table opens without stopping the cycling";
    EXPECT_EQ(db->MRUDBList->Items(), std::vector<std::string>{first});
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(TaglineDatabaseTest, ATableThatFailsToOpenBringsThePreviousOneBack) {
    db->OpenDatabase(db->Table1, first);
    std::string narrow = datatest::MakeTable(
        dir, "narrow.db", {{"TagText", TFieldType::ftString, 100, true}, kRecord},
        {{"", "TagText", {TIndexOption::ixPrimary}}});
    EXPECT_TRUE(db->ValidateTable(narrow));
    EXPECT_EQ(ErrorText([&] { db->OpenDatabase(db->Table1, narrow); }),
              "Field 'TagText' is not of the expected type");
    ASSERT_TRUE(db->Table1->Active());
    EXPECT_EQ(db->Table1->TableName(), first);
    EXPECT_EQ(db->Table1->IndexFieldNames(), "TagText");
    EXPECT_EQ(host.dbFile, first);
    EXPECT_EQ(host.panels, 2) << "the status is shown again after the failure";
    EXPECT_EQ(db->MRUDBList->Items(), std::vector<std::string>{first});

    db->OpenDatabase(db->Table1, second);
    EXPECT_EQ(host.dbFile, second);
    EXPECT_EQ(CurrentTag(), "alpha");
    EXPECT_EQ(db->MRUDBList->Items(), (std::vector<std::string>{second, first}));
}

TEST_F(TaglineDatabaseTest, AMissingTableStopsTheCyclingAndAsksThroughTheSharedDialog) {
    host.dialog.FileName = "kept.db";
    host.dialog.DefaultExt = "db";
    dialogs.Answer(fw::mrOk);
    dialogs.Answer(fw::mrOk, second);
    db->OpenDatabase(db->Table1, dir.File("gone.db"));
    EXPECT_EQ(dialogs.Shown().front().Text, "Your database cannot be found.");
    EXPECT_EQ(host.stops, 1);
    EXPECT_EQ(host.dialog.Title, "Select the Database to use:");
    EXPECT_EQ(host.dialog.Filter, "Paradox Database (*.db)|*.db");
    EXPECT_EQ(host.dialog.InitialDir, dir.Path());
    EXPECT_EQ(host.dialog.DefaultExt, "db") << "what the command does not set carries over";
    EXPECT_EQ(host.dbFile, second);

    // Cancelled: the missing name is checked and fails, and no table is left open.
    EXPECT_THROW(db->OpenDatabase(db->Table1, dir.File("gone.db")), fw::EDBEngineError);
    EXPECT_FALSE(db->Table1->Active());
    EXPECT_EQ(host.dbFile, second);
}

TEST_F(TaglineDatabaseTest, ABlankTaglineIsRefusedEvenWhereTheFileDoesNotRequireIt) {
    std::string loose = datatest::MakeTable(
        dir, "loose.db", {{"TagText", TFieldType::ftString, 255, false}, kRecord},
        {{"", "TagText", {TIndexOption::ixPrimary}}});
    db->OpenDatabase(db->Table1, loose);
    db->Table1->Append();
    EXPECT_EQ(ErrorText([&] { db->Table1->Post(); }), "Field 'TagText' must have a value");
    db->Table1->Cancel();
    EXPECT_EQ(db->Table1->RecordCount(), 0);
}

TEST_F(TaglineDatabaseTest, TheWindowsTablesAreCreatedWithTheStandardIndexes) {
    std::string made = dir.File("made.db");
    db->CreateNewTable(db->Table2, made);
    EXPECT_FALSE(db->Table2->Active());
    ASSERT_EQ(db->Table2->IndexDefs().Count(), tagline::kIndexCount);
    db->OpenDatabase(db->Table1, made);
    db->Table1->Append();
    db->Table1->FieldByName("TagText").SetAsString("new");
    db->Table1->Post();
    // "Tag" ignores case: a twin differing only in case is a key violation.
    db->Table1->Append();
    db->Table1->FieldByName("TagText").SetAsString("NEW");
    EXPECT_THROW(db->Table1->Post(), fw::EDatabaseError);
    db->Table1->Cancel();
    db->Table1->SetIndexFieldNames("Record");
    EXPECT_EQ(db->Table1->RecordCount(), 1);
}

TEST_F(TaglineDatabaseTest, ATableObjectMadeForAPurposeGetsNoIndexAndTakesDuplicates) {
    std::string import = dir.File("import.db");
    fw::TTable temp(nullptr);
    db->CreateNewTable(&temp, import);
    EXPECT_FALSE(temp.Active());
    EXPECT_EQ(temp.IndexDefs().Count(), 0);
    temp.Open();
    for (int i = 0; i < 2; ++i) {
        temp.Append();
        temp.FieldByName("TagText").SetAsString("same");
        temp.Post();
    }
    EXPECT_EQ(temp.RecordCount(), 2);
}

} // namespace
