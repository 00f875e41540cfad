// Batch moves: the counts the program reports after Save DB As, Merge DBs and Import, the
// side tables, and values that do not fit.
#include "TestTables.h"
#include "taglinedb/TaglineSchema.h"

using namespace idptest;

namespace {

IdpStatus Move(Table& from, Table& to, uint16_t mode, IdpMoveCounts& counts) {
    IdpStatus s = idpBatchMove(*from, *to, mode, "DuplicateTags", "ProblemTags", "ChangedTags", 0,
                               0, &counts);
    to.ExpectIntact();
    return s;
}

TEST(BatchMove, SaveAsCopiesEveryRowIntoAnEmptyTable) {
    ScratchDir dir;
    CreateTagTable(dir.Path("Old.db"));
    CreateTagTable(dir.Path("New.db"));
    Table from(dir.Path("Old.db"), IDP_OPEN_EXCLUSIVE);
    for (int i = 0; i < 120; ++i)
        ASSERT_EQ(IDP_OK, from.Add("tagline " + std::to_string(i)));
    Table to(dir.Path("New.db"));
    IdpMoveCounts c{};
    ASSERT_EQ(IDP_OK, Move(from, to, IDP_MOVE_APPEND, c)) << LastError();
    EXPECT_EQ(120u, c.read);
    EXPECT_EQ(0u, c.keyViolations);
    EXPECT_EQ(0u, c.problems);
    EXPECT_EQ(120u, to.Count());
    EXPECT_EQ(from.All(), to.All());
    EXPECT_EQ("tagline 0", (idpFirst(*to), to.Text())); // the destination ends on its first row
}

// Into an empty table of its own layout a move copies the rows in one pass, numbering them
// in the order the source is read, as a move row by row numbers them; rows that would not
// go in as they are make it move row by row, which sends them where they belong.
TEST(BatchMove, IntoAnEmptyTableRowsAreNumberedInTheSourcesOrder) {
    const uint16_t folding = IDP_IDX_PRIMARY | IDP_IDX_UNIQUE | IDP_IDX_CASE_INSENSITIVE;
    struct Case {
        const char* name;
        uint16_t keyOptions; // of the source's primary index
        uint16_t required;   // whether the source requires TagText
        bool fileOrder;      // the source read in its file's order, not its index's
        bool byFolded;       // read by a second index, on TagText, case ignored, not unique
        std::vector<std::string> rows;
        std::vector<std::string> numbered; // the destination's rows by Record
        uint32_t keyViolations, problems;
    };
    const std::vector<std::string> mixed = {"b", "A", "a2", "B1", "c"};
    const uint16_t exact = IDP_IDX_PRIMARY | IDP_IDX_UNIQUE;
    const std::vector<Case> cases = {
        {"by a folding index", folding, 1, false, false, mixed, {"A", "a2", "b", "B1", "c"}, 0, 0},
        {"in file order", folding, 1, true, false, mixed, {"A", "B1", "a2", "b", "c"}, 0, 0},
        {"a key twice once folded",
         exact,
         1,
         false,
         false,
         {"apple", "Apple", "b"},
         {"Apple", "b"},
         1,
         0},
        // Three keys alike in their first sixteen bytes, the first and last one once folded.
        {"a key twice among keys alike at the start",
         exact,
         1,
         false,
         false,
         {"A LONG COMMON PREFIX one", "A long common prefix two", "a long common prefix ONE"},
         {"A LONG COMMON PREFIX one", "A long common prefix two"},
         1,
         0},
        // The source's own folded order, worked out to read it, finds the key twice.
        {"by a folded order that holds a key twice",
         exact,
         1,
         false,
         true,
         {"apple", "Apple", "b"},
         {"Apple", "b"},
         1,
         0},
        {"a blank where the copy requires text",
         folding,
         0,
         false,
         false,
         {"x", "", "y"},
         {"x", "y"},
         0,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        IdpFieldDesc fields[2] = {tagline::kFields[0], tagline::kFields[1]};
        fields[0].required = c.required;
        IdpIndexDesc keys[2] = {tagline::kTagIndex,
                                {"Folded", "TagText", IDP_IDX_CASE_INSENSITIVE}};
        keys[0].options = c.keyOptions;
        ASSERT_EQ(IDP_OK, idpCreateTable(dir.Path("Src.db").c_str(), 2, fields, 2, keys));
        CreateTagTable(dir.Path("Dst.db"));
        Table from(dir.Path("Src.db"));
        for (const std::string& row : c.rows)
            ASSERT_EQ(IDP_OK, from.Add(row)) << LastError();
        if (c.fileOrder) {
            ASSERT_EQ(IDP_OK, idpSetFileOrder(*from));
        }
        if (c.byFolded) {
            ASSERT_EQ(IDP_OK, idpSetIndexByName(*from, "Folded"));
        }
        Table to(dir.Path("Dst.db"));
        IdpMoveCounts counts{};
        ASSERT_EQ(IDP_OK, Move(from, to, IDP_MOVE_APPEND, counts)) << LastError();
        EXPECT_EQ(c.rows.size(), counts.read);
        EXPECT_EQ(c.numbered.size(), counts.moved);
        EXPECT_EQ(c.keyViolations, counts.keyViolations);
        EXPECT_EQ(c.problems, counts.problems);
        ASSERT_EQ(IDP_OK, idpSetIndexByFields(*to, "Record"));
        EXPECT_EQ(c.numbered, to.All());
        int32_t number = 0;
        for (IdpStatus s = idpFirst(*to); s == IDP_OK; s = idpNext(*to))
            EXPECT_EQ(++number, to.Integer());
    }
}

class MergeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateTagTable(dir.Path("Main.db"));
        CreateTagTable(dir.Path("Other.db"), false);
        Table main(dir.Path("Main.db"));
        for (const char* s : {"old one", "old two", "kept"})
            ASSERT_EQ(IDP_OK, main.Add(s));
        Table other(dir.Path("Other.db"));
        for (const char* s : {"old one", "new a", "old two", "new b", "new c"})
            ASSERT_EQ(IDP_OK, other.Add(s));
    }
    ScratchDir dir;
};

TEST_F(MergeTest, AppendUpdateReplacesTwinsAndAddsTheRest) {
    Table main(dir.Path("Main.db"), IDP_OPEN_EXCLUSIVE);
    Table other(dir.Path("Other.db"));
    IdpMoveCounts c{};
    ASSERT_EQ(IDP_OK, Move(other, main, IDP_MOVE_APPEND_UPDATE, c)) << LastError();
    EXPECT_EQ(5u, c.read);
    EXPECT_EQ(0u, c.problems);
    EXPECT_EQ(0u, c.keyViolations);
    EXPECT_EQ(5u, c.read - c.problems - c.keyViolations);
    EXPECT_EQ(2u, c.changed);
    EXPECT_EQ(6u, main.Count());
    // A replaced row keeps its number; the old values went to ChangedTags.
    uint16_t found = 0;
    idpSetKey(*main);
    idpSetString(*main, 1, "old two");
    ASSERT_EQ(IDP_OK, idpGotoKey(*main, &found));
    EXPECT_EQ(1, found);
    EXPECT_EQ(2, main.Integer());
    Table changed(dir.Path("ChangedTags.db"));
    EXPECT_EQ(2u, changed.Count());
}

TEST_F(MergeTest, AppendSendsTwinsToTheKeyViolationTable) {
    Table main(dir.Path("Main.db"));
    Table other(dir.Path("Other.db"));
    IdpMoveCounts c{};
    ASSERT_EQ(IDP_OK, Move(other, main, IDP_MOVE_APPEND, c));
    EXPECT_EQ(5u, c.read);
    EXPECT_EQ(2u, c.keyViolations);
    EXPECT_EQ(6u, main.Count());
    Table dups(dir.Path("DuplicateTags.db"));
    EXPECT_EQ((std::vector<std::string>{"old one", "old two"}), dups.All());
}

TEST(BatchMove, ImportOfRepeatedLinesKeepsEachTaglineOnce) {
    ScratchDir dir;
    CreateTagTable(dir.Path("_temp.db"), false);
    CreateTagTable(dir.Path("Tags.db"));
    Table temp(dir.Path("_temp.db"));
    for (const char* s : {"x", "y", "x", "Y", "z", "x"})
        ASSERT_EQ(IDP_OK, temp.Add(s));
    Table tags(dir.Path("Tags.db"));
    ASSERT_EQ(IDP_OK, tags.Add("z"));
    IdpMoveCounts c{};
    ASSERT_EQ(IDP_OK, Move(temp, tags, IDP_MOVE_APPEND_UPDATE, c)) << LastError();
    EXPECT_EQ(6u, c.read);
    EXPECT_EQ(0u, c.keyViolations);
    EXPECT_EQ(3u, tags.Count());
}

TEST(BatchMove, ValuesThatDoNotFitAreProblemsKeptInTheSourceShape) {
    ScratchDir dir;
    IdpFieldDesc wide[1] = {{"Text", IDP_FLD_ALPHA, 255, 0}};
    IdpFieldDesc narrow[2] = {{"TagText", IDP_FLD_ALPHA, 10, 1}, {"Record", IDP_FLD_AUTOINC, 0, 0}};
    ASSERT_EQ(IDP_OK, idpCreateTable(dir.Path("Wide.db").c_str(), 1, wide, 0, nullptr));
    ASSERT_EQ(IDP_OK, idpCreateTable(dir.Path("Narrow.db").c_str(), 2, narrow, 0, nullptr));
    Table from(dir.Path("Wide.db"));
    for (const char* s : {"short", "much too long for ten", ""})
        ASSERT_EQ(IDP_OK, from.Add(s));
    Table to(dir.Path("Narrow.db"));
    IdpMoveCounts c{};
    ASSERT_EQ(IDP_OK, Move(from, to, IDP_MOVE_APPEND, c));
    EXPECT_EQ(3u, c.read);
    EXPECT_EQ(2u, c.problems); // too long, and blank in a required field
    EXPECT_EQ(1u, to.Count());
    Table problems(dir.Path("ProblemTags.db"));
    EXPECT_EQ(2u, problems.Count());
    EXPECT_EQ(IDP_OK, idpFirst(*problems));
    EXPECT_EQ("much too long for ten", problems.Text());
}

TEST(BatchMove, AbortStopsAtTheFirstRejectedRow) {
    ScratchDir dir;
    CreateTagTable(dir.Path("A.db"));
    CreateTagTable(dir.Path("B.db"));
    Table a(dir.Path("A.db"));
    Table b(dir.Path("B.db"));
    for (const char* s : {"1", "2", "3"}) {
        ASSERT_EQ(IDP_OK, a.Add(s));
        ASSERT_EQ(IDP_OK, b.Add(s));
    }
    IdpMoveCounts c{};
    EXPECT_EQ(IDP_ERR_ABORTED,
              idpBatchMove(*a, *b, IDP_MOVE_APPEND, nullptr, nullptr, nullptr, 1, 0, &c));
    b.ExpectIntact();
    EXPECT_EQ(1u, c.read);
    EXPECT_EQ(1u, c.keyViolations);
}

} // namespace
