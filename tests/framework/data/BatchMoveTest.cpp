#include "DataTestSupport.h"

#include "framework/data/BatchMove.h"
#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using datatest::Keys;
using fw::TBatchMode;
using fw::TFieldType;

std::vector<std::string> Taglines(int count, const std::string& prefix) {
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(prefix + std::to_string(1000 + i));
    return texts;
}

// The shared batch move as the program configures it.
void ConfigureLikeTheProgram(fw::TBatchMove& move) {
    move.SetMode(TBatchMode::batAppendUpdate);
    move.SetAbortOnKeyViol(false);
    move.SetAbortOnProblem(false);
    move.SetKeyViolTableName("DuplicateTags");
    move.SetProblemTableName("ProblemTags");
    move.SetChangedTableName("ChangedTags");
}

int Rows(const std::string& path) {
    fw::TTable t(nullptr);
    t.SetTableName(path);
    t.Open();
    return t.RecordCount();
}

class BatchMoveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        current_ = dir_.File("current.db");
        datatest::MakeTaglineTable(current_, Keys::TagTextAndRecNo);
        table1_.SetTableName(current_);
        table1_.SetExclusive(true);
        table1_.SetIndexFieldNames("TagText");
        ConfigureLikeTheProgram(move_);
    }
    datatest::TempDir dir_;
    std::string current_;
    fw::TTable table1_{nullptr};
    fw::TTable table2_{nullptr};
    fw::TBatchMove move_{nullptr};
};

TEST_F(BatchMoveTest, SaveAsCopiesEveryRowIntoANewTableWithTheSameIndexes) {
    std::vector<std::string> texts = Taglines(120, "saying ");
    datatest::AddTaglines(current_, texts);
    table1_.IndexDefs().Update();
    // The new table takes the current table's indexes.
    std::string copy = dir_.File("copy.db");
    table1_.SetTableName(copy);
    table1_.FieldDefs().Clear();
    table1_.FieldDefs().Add("TagText", TFieldType::ftString, 255, true);
    table1_.FieldDefs().Add("Record", TFieldType::ftAutoInc, 0, true);
    table1_.CreateTable();
    table1_.SetTableName(current_);
    table1_.Open();

    table2_.SetDatabaseName(dir_.Path());
    table2_.SetTableName(copy);
    move_.SetSource(&table1_);
    move_.SetDestination(&table2_);
    move_.SetMode(TBatchMode::batAppend);
    move_.Execute();
    EXPECT_EQ(move_.MovedCount(), 120);
    EXPECT_EQ(move_.KeyViolCount(), 0);
    EXPECT_EQ(move_.ProblemCount(), 0);
    EXPECT_FALSE(table2_.Active()); // opened for the move only
    EXPECT_TRUE(table1_.Active());
    table1_.Close();
    EXPECT_EQ(datatest::ReadTaglines(copy, "TagText"), texts);
    table2_.IndexDefs().Update();
    EXPECT_EQ(table2_.IndexDefs().Count(), 2);
}

TEST_F(BatchMoveTest, MergeWithAppendUpdateReplacesTwinsAndAddsTheRest) {
    datatest::AddTaglines(current_, {"alpha", "beta", "gamma", "delta"});
    std::string second = dir_.File("second.db");
    datatest::MakeTaglineTable(second, Keys::None);
    datatest::AddTaglines(second, {"beta", "one", "gamma", "two", "three"});

    table1_.Open();
    table1_.Last();
    table2_.SetDatabaseName(dir_.Path());
    table2_.SetTableName(second);
    move_.SetSource(&table2_);
    move_.SetDestination(&table1_);
    move_.Execute();
    // The report: read minus problems minus key violations were copied.
    EXPECT_EQ(move_.MovedCount() - move_.ProblemCount() - move_.KeyViolCount(), 5);
    EXPECT_EQ(move_.ProblemCount(), 0);
    EXPECT_EQ(move_.KeyViolCount(), 0);
    EXPECT_EQ(move_.ChangedCount(), 2);
    EXPECT_EQ(table1_.RecNo(), 1); // the open destination ends on its first row
    EXPECT_EQ(table1_.FieldByName("TagText").AsString(), "alpha");
    EXPECT_EQ(table1_.RecordCount(), 7);
    table1_.Close();
    EXPECT_EQ(datatest::ReadTaglines(current_, "TagText"),
              (std::vector<std::string>{"alpha", "beta", "delta", "gamma", "one", "three", "two"}));
    EXPECT_EQ(Rows(dir_.File("ChangedTags.db")), 2);
}

TEST_F(BatchMoveTest, AppendSendsTwinsToTheKeyViolationTable) {
    datatest::AddTaglines(current_, {"alpha", "beta"});
    std::string second = dir_.File("second.db");
    datatest::MakeTaglineTable(second, Keys::None);
    datatest::AddTaglines(second, {"beta", "new", "alpha", "new"});
    table1_.Open();
    table2_.SetTableName(second);
    move_.SetSource(&table2_);
    move_.SetDestination(&table1_);
    move_.SetMode(TBatchMode::batAppend);
    move_.Execute();
    EXPECT_EQ(move_.MovedCount(), 4);
    EXPECT_EQ(move_.KeyViolCount(), 3);
    EXPECT_EQ(move_.ProblemCount(), 0);
    EXPECT_EQ(table1_.RecordCount(), 3);
    table1_.Close();
    // In the destination's folder.
    EXPECT_EQ(Rows(dir_.File("DuplicateTags.db")), 3);
}

TEST_F(BatchMoveTest, ImportThroughAnUnkeyedTableKeepsEachDistinctLineOnce) {
    datatest::AddTaglines(current_, {"kept", "again"});
    std::string temp = dir_.File("_temp.db");
    datatest::MakeTaglineTable(temp, Keys::None);
    datatest::AddTaglines(temp, {"new", "again", "new", "other", "again"});
    EXPECT_EQ(Rows(temp), 5); // no key: duplicates are accepted

    auto importTable = std::make_unique<fw::TTable>(nullptr);
    importTable->SetTableName(temp);
    table1_.Open();
    move_.SetSource(importTable.get());
    move_.SetDestination(&table1_);
    move_.Execute();
    EXPECT_EQ(move_.MovedCount(), 5);
    EXPECT_EQ(move_.KeyViolCount(), 0);
    importTable.reset(); // released after the import: the move forgets it
    EXPECT_EQ(move_.Source(), nullptr);
    table1_.Close();
    EXPECT_EQ(datatest::ReadTaglines(current_, "TagText"),
              (std::vector<std::string>{"again", "kept", "new", "other"}));
}

TEST_F(BatchMoveTest, ValuesThatDoNotFitAreProblemsAndAbortFlagsStopTheMove) {
    std::string wide = dir_.File("wide.db");
    datatest::MakeTable(
        wide,
        {{"Name", TFieldType::ftString, 20, true}, {"Value", TFieldType::ftInteger, 0, false}}, {});
    datatest::MakeTable(
        dir_.File("narrow.db"),
        {{"Name", TFieldType::ftString, 20, true}, {"Value", TFieldType::ftSmallint, 0, false}},
        {{"", "Name", {fw::TIndexOption::ixPrimary}}});
    {
        fw::TTable t(nullptr);
        t.SetTableName(wide);
        t.Open();
        const std::vector<std::pair<const char*, int>> rows = {
            {"fits", 5}, {"huge", 100000}, {"fits", 6}};
        for (auto [name, value] : rows) {
            t.Append();
            t.FieldByName("Name").SetAsString(name);
            t.FieldByName("Value").SetAsInteger(value);
            t.Post();
        }
    }
    table2_.SetTableName(wide);
    fw::TTable narrow(nullptr);
    narrow.SetTableName(dir_.File("narrow.db"));
    move_.SetSource(&table2_);
    move_.SetDestination(&narrow);
    move_.SetMode(TBatchMode::batAppend);
    move_.Execute();
    EXPECT_EQ(move_.MovedCount(), 3);
    EXPECT_EQ(move_.ProblemCount(), 1);
    EXPECT_EQ(move_.KeyViolCount(), 1);
    EXPECT_EQ(Rows(dir_.File("ProblemTags.db")), 1);
    EXPECT_EQ(Rows(dir_.File("narrow.db")), 1);

    move_.SetAbortOnKeyViol(true);
    try {
        move_.Execute();
        FAIL() << "the first row is a key violation now";
    } catch (const fw::EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), IDP_ERR_ABORTED);
    }
    EXPECT_EQ(move_.KeyViolCount(), 1);
    EXPECT_FALSE(table2_.Active()); // closed again after the failure too
    EXPECT_FALSE(narrow.Active());

    move_.SetSource(nullptr);
    EXPECT_THROW(move_.Execute(), fw::EDatabaseError);
}

TEST_F(BatchMoveTest, MergingTheTableHeldExclusivelyFailsWithTheEngineMessage) {
    datatest::AddTaglines(current_, {"alpha"});
    table1_.Open();
    table2_.SetTableName(current_);
    move_.SetSource(&table2_);
    move_.SetDestination(&table1_);
    try {
        move_.Execute();
        FAIL() << "the source is held exclusively";
    } catch (const fw::EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), IDP_ERR_LOCKED);
        char text[256] = {};
        idpGetErrorText(IDP_ERR_LOCKED, text, sizeof text);
        EXPECT_NE(e.Message().find(text), std::string::npos) << e.Message();
    }
    EXPECT_EQ(table1_.RecordCount(), 1);
}

} // namespace
