#include "DataTestSupport.h"

#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"

#include <gtest/gtest.h>

namespace {

using datatest::Keys;
using fw::TFieldType;
using fw::TIndexOption;

std::string OpenError(fw::TTable& t) {
    try {
        t.Open();
    } catch (const fw::EDatabaseError& e) {
        EXPECT_FALSE(t.Active());
        return e.Message();
    }
    return std::string();
}

// The tagline table object as the program sets it up.
void BindLikeTable1(fw::TTable& t, const std::string& path) {
    t.SetTableName(path);
    t.SetExclusive(true);
    t.SetIndexFieldNames("TagText");
    t.BindField("TagText", TFieldType::ftString, 255);
    t.BindField("Record", TFieldType::ftInteger);
}

TEST(TableBindings, FieldsTheProgramReliesOnAreCheckedAtOpen) {
    datatest::TempDir dir;
    const fw::TIndexDef byText{"", "TagText", {TIndexOption::ixPrimary}};
    struct Case {
        const char* file;
        std::vector<fw::TFieldDef> fields;
        std::string error;
    } cases[] = {
        {"good.db",
         {{"TagText", TFieldType::ftString, 255, true}, {"Record", TFieldType::ftAutoInc, 0, true}},
         ""},
        {"lower.db",
         {{"tagtext", TFieldType::ftString, 255, true}, {"record", TFieldType::ftAutoInc, 0, true}},
         ""},
        {"long.db",
         {{"TagText", TFieldType::ftString, 255, true}, {"Record", TFieldType::ftInteger, 0, true}},
         ""},
        {"short.db",
         {{"TagText", TFieldType::ftString, 100, true}, {"Record", TFieldType::ftAutoInc, 0, true}},
         "Field 'TagText' is not of the expected type"},
        {"norec.db", {{"TagText", TFieldType::ftString, 255, true}}, "Field 'Record' not found"},
        {"textrec.db",
         {{"TagText", TFieldType::ftString, 255, true}, {"Record", TFieldType::ftString, 10, true}},
         "Field 'Record' is not of the expected type"},
        {"numtext.db",
         {{"TagText", TFieldType::ftInteger, 0, true}, {"Record", TFieldType::ftAutoInc, 0, true}},
         "Field 'TagText' is not of the expected type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        datatest::MakeTable(dir.File(c.file), c.fields, {byText});
        fw::TTable t(nullptr);
        BindLikeTable1(t, dir.File(c.file));
        EXPECT_EQ(OpenError(t), c.error);
    }
}

TEST(TableBindings, FindIndexForFieldsWantsAscendingPlainIndexesAndPrefersExactOnes) {
    fw::TTable t(nullptr);
    t.SetTableName("C:\\x\\tags.db");
    fw::TIndexDefs& defs = t.IndexDefs();
    auto error = [&](const std::string& fields) {
        try {
            defs.FindIndexForFields(fields);
        } catch (const fw::EDatabaseError& e) {
            return e.Message();
        }
        return std::string();
    };
    defs.Add("Down", "TagText", {TIndexOption::ixDescending});
    defs.Add("Expr", "TagText", {TIndexOption::ixExpression});
    defs.Add("TagTextX", "TagTextX", {});
    EXPECT_EQ(error("TagText"), "Table 'C:\\x\\tags.db' has no index for fields 'TagText'");
    defs.Add("Both", "TAGTEXT;Record", {TIndexOption::ixUnique});
    EXPECT_EQ(defs.FindIndexForFields("TagText").Name, "Both");
    defs.Add("Text", "tagtext", {TIndexOption::ixCaseInsensitive});
    EXPECT_EQ(defs.FindIndexForFields("TagText").Name, "Text");
    EXPECT_EQ(defs.FindIndexForFields("tagtext;record").Name, "Both");
    EXPECT_EQ(error("Record"), "Table 'C:\\x\\tags.db' has no index for fields 'Record'");
}

TEST(TableBindings, IndexDefinitionsSurviveTheFile) {
    datatest::TempDir dir;
    std::string path = dir.File("idx.db");
    datatest::MakeTable(
        path,
        {{"TagText", TFieldType::ftString, 255, true}, {"Record", TFieldType::ftAutoInc, 0, true}},
        {{"Down", "TagText", {TIndexOption::ixDescending}},
         {"Pair", "TagText;Record", {TIndexOption::ixCaseInsensitive}}});
    fw::TTable t(nullptr);
    t.SetTableName(path);
    t.IndexDefs().Update();
    ASSERT_EQ(t.IndexDefs().Count(), 2);
    EXPECT_EQ(t.IndexDefs()[0].Name, "Down");
    EXPECT_EQ(t.IndexDefs()[0].Options, fw::TIndexOptions{TIndexOption::ixDescending});
    EXPECT_EQ(t.IndexDefs().FindIndexForFields("TagText").Name, "Pair");
    EXPECT_EQ(t.IndexDefs().FindIndexForFields("TagText").Fields, "TagText;Record");

    // The composite index orders an opened table by TagText.
    datatest::AddTaglines(path, {"b", "c", "a"});
    EXPECT_EQ(datatest::ReadTaglines(path, "TagText"), (std::vector<std::string>{"a", "b", "c"}));
}

} // namespace
