#include "DataTestSupport.h"

#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using datatest::Keys;
using fw::TDataSetState;
using fw::TFieldType;
using fw::TIndexOption;

// Runs `action` and returns the database error's message ("" when none was raised).
template <typename F> std::string DatabaseError(F action) {
    try {
        action();
    } catch (const fw::EDatabaseError& e) {
        return e.Message();
    }
    return std::string();
}

class TableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = dir_.File("tags.db");
        datatest::MakeTaglineTable(path_, Keys::TagTextAndRecNo);
    }
    void Aim(fw::TTable& t) {
        t.SetDatabaseName(dir_.Path());
        t.SetTableName("tags.db");
    }
    datatest::TempDir dir_;
    std::string path_;
};

TEST_F(TableTest, DefinitionsAreReadFromTheFileWhileClosedAndCreateReplacesAndDeleteRemoves) {
    fw::TTable t(nullptr);
    Aim(t);
    t.FieldDefs().Update();
    ASSERT_EQ(t.FieldDefs().Count(), 2);
    EXPECT_EQ(t.FieldDefs()[0].Name, "TagText");
    EXPECT_EQ(t.FieldDefs()[0].DataType, TFieldType::ftString);
    EXPECT_EQ(t.FieldDefs()[0].Size, 255);
    EXPECT_TRUE(t.FieldDefs()[0].Required);
    EXPECT_EQ(t.FieldDefs()[1].DataType, TFieldType::ftAutoInc);
    EXPECT_EQ(t.FieldDefs().IndexOf("RECORD"), 1);
    EXPECT_EQ(DatabaseError([&] { t.FieldDefs().Find("Nope"); }), "Field 'Nope' not found");

    t.IndexDefs().Update();
    ASSERT_EQ(t.IndexDefs().Count(), 2);
    const fw::TIndexDef& primary = t.IndexDefs().FindIndexForFields("tagtext");
    EXPECT_TRUE(primary.Options.count(TIndexOption::ixPrimary));
    const fw::TIndexDef& recNo = t.IndexDefs().FindIndexForFields("Record");
    EXPECT_EQ(recNo.Name, "RecNo");
    EXPECT_EQ(recNo.Options, fw::TIndexOptions{TIndexOption::ixUnique});
    EXPECT_FALSE(t.Active());

    // Creating again from the definitions just read gives the same, empty table.
    datatest::AddTaglines(path_, {"one", "two"});
    t.CreateTable();
    t.Open();
    EXPECT_EQ(t.RecordCount(), 0);
    t.Close();
    t.IndexDefs().Update();
    EXPECT_EQ(t.IndexDefs().Count(), 2);

    t.DeleteTable();
    EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
    try {
        t.FieldDefs().Update();
        FAIL() << "a deleted table has no definitions";
    } catch (const fw::EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), IDP_ERR_NO_SUCH_TABLE);
    }
}

TEST_F(TableTest, FullPathInTableNameWinsAndNamesAreSetOnlyWhileClosed) {
    datatest::AddTaglines(path_, {"one"});
    fw::TTable t(nullptr);
    t.SetDatabaseName("C:\\no such folder");
    t.SetTableName(path_);
    t.Open();
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "one");
    EXPECT_EQ(DatabaseError([&] { t.SetTableName("other.db"); }),
              "Cannot perform this operation on an open dataset");
    EXPECT_EQ(DatabaseError([&] { t.SetExclusive(true); }),
              "Cannot perform this operation on an open dataset");
    t.SetTableName(path_); // the same value is no change
    EXPECT_EQ(DatabaseError([&] { t.CreateTable(); }),
              "Cannot perform this operation on an open dataset");
    t.Close();
    EXPECT_EQ(DatabaseError([&] { t.RecordCount(); }),
              "Cannot perform this operation on a closed dataset");

    // A bare name without extension lies in the database folder.
    t.SetDatabaseName(dir_.Path());
    t.SetTableName("tags");
    t.Open();
    EXPECT_EQ(t.RecordCount(), 1);
}

TEST_F(TableTest, EachIndexOrdersTheRows) {
    datatest::AddTaglines(path_, {"cherry", "apple", "banana"});
    EXPECT_EQ(datatest::ReadTaglines(path_, "TagText"),
              (std::vector<std::string>{"apple", "banana", "cherry"}));
    EXPECT_EQ(datatest::ReadTaglines(path_, "Record"),
              (std::vector<std::string>{"cherry", "apple", "banana"}));
    EXPECT_EQ(datatest::ReadTaglines(path_, ""),
              (std::vector<std::string>{"apple", "banana", "cherry"}));

    fw::TTable t(nullptr);
    Aim(t);
    t.SetIndexName("RecNo");
    t.Open();
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "cherry");
    EXPECT_EQ(t.FieldByName("Record").AsInteger(), 1);
    t.Last();
    EXPECT_EQ(t.FieldByName("Record").AsInteger(), 3);
    // Switching the order while open; the other order setting is cleared.
    t.SetIndexFieldNames("TagText");
    EXPECT_EQ(t.IndexName(), "");
    t.First();
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "apple");
    t.Next();
    t.Next();
    EXPECT_FALSE(t.Eof());
    t.Next();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "cherry"); // stays on the last row
    t.Prior();
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "banana");
    EXPECT_EQ(t.RecNo(), 2);
    t.SetRecNo(1);
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "apple");
    t.Prior();
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecordCount(), 3);
}

TEST_F(TableTest, NoIndexForTheFieldsIsADatabaseErrorNamingTableAndFields) {
    std::string other = dir_.File("plain.db");
    datatest::MakeTaglineTable(other, Keys::None);
    fw::TTable t(nullptr);
    t.SetTableName(other);
    t.SetIndexFieldNames("TagText");
    EXPECT_EQ(DatabaseError([&] { t.Open(); }),
              "Table '" + other + "' has no index for fields 'TagText'");
    EXPECT_FALSE(t.Active());
    t.SetIndexFieldNames("");
    t.Open();
    EXPECT_EQ(DatabaseError([&] { t.SetIndexFieldNames("Record"); }),
              "Table '" + other + "' has no index for fields 'Record'");
    EXPECT_EQ(t.IndexFieldNames(), ""); // the failed order is not kept
}

TEST_F(TableTest, KeyLookupOnTheCurrentIndex) {
    datatest::AddTaglines(path_, {"cherry", "apple", "banana"});
    fw::TTable t(nullptr);
    Aim(t);
    t.SetIndexFieldNames("TagText");
    t.Open();
    t.SetKey();
    EXPECT_EQ(t.State(), TDataSetState::dsSetKey);
    t.FieldByName("TagText").SetAsString("banana");
    EXPECT_TRUE(t.GotoKey());
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.FieldByName("Record").AsInteger(), 3);

    t.SetKey();
    t.FieldByName("TagText").SetAsString("Banana"); // the primary index minds case
    EXPECT_FALSE(t.GotoKey());
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "banana"); // did not move

    t.SetIndexFieldNames("Record");
    t.SetKey();
    t.FieldByName("Record").SetAsInteger(2);
    EXPECT_TRUE(t.GotoKey());
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "apple");

    // A key longer than the field is compared on the part that fits.
    std::string longText(300, 'q');
    t.Append();
    t.FieldByName("TagText").SetAsString(longText);
    t.Post();
    t.SetIndexFieldNames("TagText");
    t.First();
    t.SetKey();
    t.FieldByName("TagText").SetAsString(longText);
    EXPECT_TRUE(t.GotoKey());
    EXPECT_EQ(t.FieldByName("TagText").AsString(), longText.substr(0, 255));
}

TEST_F(TableTest, EnteringKeyModePostsAChangedEditAndDropsAnUnchangedOne) {
    datatest::AddTaglines(path_, {"apple"});
    fw::TTable t(nullptr);
    Aim(t);
    t.SetIndexFieldNames("TagText");
    t.Open();
    t.Edit();
    t.FieldByName("TagText").SetAsString("apricot");
    EXPECT_TRUE(t.Modified());
    t.SetKey();
    t.FieldByName("TagText").SetAsString("apricot");
    EXPECT_TRUE(t.GotoKey());

    t.Append(); // nothing set: dropped on the way into key mode
    t.SetKey();
    t.Cancel();
    EXPECT_EQ(t.RecordCount(), 1);
    t.Close();
    EXPECT_EQ(datatest::ReadTaglines(path_), std::vector<std::string>{"apricot"});
}

TEST_F(TableTest, StringsAreCutToTheFieldSizeAndNonAsciiTextKeepsItsBytes) {
    std::string longText(300, 'x');
    longText[254] = 'y';
    // e acute, u umlaut, pound, right single quote, and a line break.
    std::string ansi = "Caf\xE9 \xFC"
                       "ber \xA3"
                       "5 \x92quoted\x92\r\nsecond line";
    datatest::AddTaglines(path_, {longText, ansi});
    std::vector<std::string> back = datatest::ReadTaglines(path_, "Record");
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0], longText.substr(0, 255));
    EXPECT_EQ(back[1], ansi);

    std::string small = dir_.File("small.db");
    datatest::MakeTable(small, {{"Name", TFieldType::ftString, 10, false}}, {});
    datatest::AddTaglines(small, {}); // opens and closes an empty table
    fw::TTable t(nullptr);
    t.SetTableName(small);
    t.Open();
    t.Append();
    t.FieldByName("name").SetAsString("\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9");
    t.Post();
    EXPECT_EQ(t.FieldByName("Name").AsString(), std::string(10, '\xE9'));
}

TEST_F(TableTest, PostRefusesABlankRequiredFieldButNotAnAutoIncrement) {
    fw::TTable t(nullptr);
    Aim(t);
    t.Open();
    t.Append();
    EXPECT_EQ(DatabaseError([&] { t.Post(); }), "Field 'TagText' must have a value");
    EXPECT_EQ(t.State(), TDataSetState::dsInsert);
    t.FieldByName("TagText").SetAsString("");
    EXPECT_EQ(DatabaseError([&] { t.Post(); }), "Field 'TagText' must have a value");
    t.FieldByName("TagText").SetAsString("now");
    t.Post();
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.FieldByName("Record").AsInteger(), 1);

    // A refused row stays pending, to be corrected or cancelled.
    t.Append();
    t.FieldByName("TagText").SetAsString("now");
    try {
        t.Post();
        FAIL() << "the key is taken";
    } catch (const fw::EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), IDP_ERR_KEY_VIOLATION);
    }
    EXPECT_EQ(t.State(), TDataSetState::dsInsert);
    t.FieldByName("TagText").SetAsString("later");
    t.Post();
    EXPECT_EQ(t.RecordCount(), 2);
}

TEST_F(TableTest, EditInsertCancelDeleteAndTheStatesTheyLeave) {
    fw::TTable t(nullptr);
    Aim(t);
    t.SetIndexFieldNames("TagText");
    EXPECT_EQ(t.State(), TDataSetState::dsInactive);
    t.Open();
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    EXPECT_TRUE(t.Eof());
    t.Edit(); // an empty table inserts
    EXPECT_EQ(t.State(), TDataSetState::dsInsert);
    t.FieldByName("TagText").SetAsString("middle");
    t.Post();
    t.Insert();
    t.FieldByName("TagText").SetAsString("after");
    t.Post();
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "after"); // the posted row is current

    t.First();
    t.Edit();
    EXPECT_EQ(t.State(), TDataSetState::dsEdit);
    t.FieldByName("TagText").SetAsString("zzz");
    t.Cancel();
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "after");

    // A changed edit is posted by a move.
    t.Edit();
    t.FieldByName("TagText").SetAsString("before");
    t.Next();
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);

    t.Append();
    t.Delete(); // deleting a new row only drops it
    EXPECT_EQ(t.RecordCount(), 2);
    t.First();
    t.Delete();
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "middle");
    t.Refresh();
    EXPECT_EQ(t.FieldByName("TagText").AsString(), "middle");

    t.Edit();
    t.FieldByName("TagText").SetAsString("pending");
    t.Close(); // a pending edit is discarded
    EXPECT_EQ(datatest::ReadTaglines(path_), std::vector<std::string>{"middle"});
}

TEST_F(TableTest, FieldAccessOnUnknownNamesAndValuesAsText) {
    std::string typed = dir_.File("typed.db");
    datatest::MakeTable(
        typed,
        {{"Count", TFieldType::ftSmallint, 0, false}, {"Big", TFieldType::ftInteger, 0, false}},
        {});
    fw::TTable t(nullptr);
    t.SetTableName(typed);
    t.Open();
    EXPECT_EQ(DatabaseError([&] { t.FieldByName("Nope"); }), "Field 'Nope' not found");
    EXPECT_EQ(t.FindField("nope"), nullptr);
    t.Append();
    EXPECT_TRUE(t.FieldByName("Count").IsNull());
    EXPECT_EQ(t.FieldByName("Count").AsString(), "");
    t.FieldByName("Count").SetAsInteger(-7);
    t.FieldByName("Big").SetAsInteger(100000);
    t.Post();
    EXPECT_EQ(t.FieldByName("Count").AsString(), "-7");
    EXPECT_EQ(t.FieldByName("Big").AsInteger(), 100000);
    t.Edit();
    t.FieldByName("Count").Clear();
    t.Post();
    EXPECT_TRUE(t.FieldByName("Count").IsNull());
    EXPECT_EQ(t.FieldByName("Count").AsInteger(), 0);
    try {
        t.Edit();
        t.FieldByName("Count").SetAsInteger(100000);
        FAIL() << "a short field cannot hold 100000";
    } catch (const fw::EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), IDP_ERR_DOES_NOT_FIT);
    }
}

} // namespace
