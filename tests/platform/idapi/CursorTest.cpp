// Rows through a cursor: text byte for byte, cutting, required fields, numbering,
// editing and deleting, and what survives closing the table.
#include <algorithm>

#include "TestTables.h"

using namespace idptest;

namespace {

class CursorTest : public ::testing::Test {
  protected:
    void SetUp() override { CreateTagTable(path); }
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
};

TEST_F(CursorTest, AnsiTextComesBackByteForByte) {
    const std::vector<std::string> texts = {"caf\xE9",
                                            "\xFC"
                                            "ber alles",
                                            "\xA3"
                                            "5 a pint",
                                            "it\x92s"};
    {
        Table t(path, IDP_OPEN_EXCLUSIVE);
        for (const auto& s : texts)
            ASSERT_EQ(IDP_OK, t.Add(s)) << LastError();
    }
    Table t(path);
    std::vector<std::string> got = t.All();
    ASSERT_EQ(texts.size(), got.size());
    for (const auto& s : texts)
        EXPECT_NE(got.end(), std::find(got.begin(), got.end(), s)) << s;
}

TEST_F(CursorTest, LongTextIsCutToTheFieldSize) {
    Table t(path);
    std::string text(300, 'x');
    text[0] = 'A';
    ASSERT_EQ(IDP_OK, t.Add(text));
    ASSERT_EQ(IDP_OK, idpFirst(*t));
    EXPECT_EQ(text.substr(0, 255), t.Text());
}

TEST_F(CursorTest, BlankRequiredFieldIsRefusedAtPostAndTheRowStaysPending) {
    Table t(path);
    ASSERT_EQ(IDP_OK, idpAppend(*t));
    EXPECT_EQ(IDP_ERR_REQUIRED, idpPost(*t));
    EXPECT_NE(std::string::npos, LastError().find("TagText"));
    uint16_t state = 0;
    idpGetState(*t, &state);
    EXPECT_EQ(IDP_STATE_INSERT, state);
    idpCancel(*t);
    EXPECT_EQ(0u, t.Count());
}

TEST_F(CursorTest, RecordNumbersRiseAndContinueAfterReopening) {
    {
        Table t(path);
        ASSERT_EQ(IDP_OK, t.Add("one"));
        ASSERT_EQ(IDP_OK, t.Add("two"));
        EXPECT_EQ(2, t.Integer());
        EXPECT_EQ(IDP_ERR_UNSUPPORTED, (idpEdit(*t), idpSetInteger(*t, 2, 99)));
        idpCancel(*t);
    }
    Table t(path);
    ASSERT_EQ(IDP_OK, t.Add("three"));
    EXPECT_EQ(3, t.Integer());
}

TEST_F(CursorTest, EditOnAnEmptyTableStartsANewRow) {
    Table t(path);
    ASSERT_EQ(IDP_OK, idpEdit(*t));
    uint16_t state = 0;
    idpGetState(*t, &state);
    EXPECT_EQ(IDP_STATE_INSERT, state);
    ASSERT_EQ(IDP_OK, idpSetString(*t, 1, "first"));
    ASSERT_EQ(IDP_OK, idpPost(*t));
    EXPECT_EQ(1u, t.Count());
}

TEST_F(CursorTest, EditCancelDeleteAndTheEndFlag) {
    Table t(path);
    for (const char* s : {"a", "b", "c"})
        ASSERT_EQ(IDP_OK, t.Add(s));
    ASSERT_EQ(IDP_OK, idpFirst(*t));
    ASSERT_EQ(IDP_OK, idpEdit(*t));
    ASSERT_EQ(IDP_OK, idpSetString(*t, 1, "zz"));
    ASSERT_EQ(IDP_OK, idpCancel(*t));
    EXPECT_EQ("a", t.Text());
    ASSERT_EQ(IDP_OK, idpDelete(*t));
    EXPECT_EQ("b", t.Text());
    EXPECT_EQ(IDP_OK, idpNext(*t));
    EXPECT_EQ(IDP_ERR_EOF, idpNext(*t));
    uint16_t eof = 0, bof = 0;
    idpGetEof(*t, &eof, &bof);
    EXPECT_EQ(1, eof);
    EXPECT_EQ("c", t.Text());
    EXPECT_EQ(2u, t.Count());
}

TEST_F(CursorTest, ChangingTheKeyMovesTheRowIntoOrder) {
    Table t(path);
    for (const char* s : {"b", "c", "d"})
        ASSERT_EQ(IDP_OK, t.Add(s));
    ASSERT_EQ(IDP_OK, idpLast(*t));
    ASSERT_EQ(IDP_OK, idpEdit(*t));
    ASSERT_EQ(IDP_OK, idpSetString(*t, 1, "a"));
    ASSERT_EQ(IDP_OK, idpPost(*t));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), t.All());
}

TEST_F(CursorTest, ManyRowsSurviveReopeningInKeyOrder) {
    {
        Table t(path);
        for (int i = 999; i >= 0; --i)
            ASSERT_EQ(IDP_OK, t.Add("row " + std::to_string(10000 + i))) << i;
    }
    Table t(path);
    std::vector<std::string> rows = t.All();
    ASSERT_EQ(1000u, rows.size());
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
    EXPECT_EQ("row 10000", rows.front());
    ASSERT_EQ(IDP_OK, idpSetSeqNo(*t, 500));
    EXPECT_EQ("row 10499", t.Text());
}

// Deleting until blocks empty out frees them; the rows written after that must land in
// the table's own blocks, and what is left must read back the same after reopening.
TEST_F(CursorTest, DeletingRowsThatEmptyBlocksKeepsTheRestIntact) {
    std::vector<std::string> kept;
    {
        Table t(path, IDP_OPEN_EXCLUSIVE);
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(IDP_OK, t.Add("tagline " + std::to_string(i * 7919 % 100)));
        ASSERT_EQ(IDP_OK, idpSetIndexByFields(*t, "Record"));
        for (int i = 0; i < 60; ++i) {
            ASSERT_EQ(IDP_OK, idpLast(*t));
            ASSERT_EQ(IDP_OK, idpDelete(*t)) << i << ": " << LastError();
        }
        ASSERT_EQ(IDP_OK, idpSetIndexByName(*t, ""));
        for (uint32_t i = 0; i < 30; ++i) {
            ASSERT_EQ(IDP_OK, idpSetSeqNo(*t, 1 + (i * 13) % (40 - i)));
            ASSERT_EQ(IDP_OK, idpDelete(*t)) << i << ": " << LastError();
        }
        ASSERT_EQ(IDP_OK, t.Add("added after the deletes"));
        kept = t.All();
        ASSERT_EQ(11u, kept.size());
    }
    Table t(path);
    EXPECT_EQ(kept, t.All());
}

} // namespace

namespace {

bool FileHolds(const std::string& path, const std::string& text) {
    std::vector<uint8_t> bytes = ReadFile(path);
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

TEST(WritePolicy, KeyedPostsAreWrittenAtOnceUnkeyedAppendsABlockAtATime) {
    ScratchDir dir;
    std::string keyed = dir.Path("Tags.db"), scratch = dir.Path("_temp.db");
    CreateTagTable(keyed);
    CreateTagTable(scratch, false);
    Table k(keyed), u(scratch);
    ASSERT_EQ(IDP_OK, k.Add("stolen tagline"));
    EXPECT_TRUE(FileHolds(keyed, "stolen tagline"));
    ASSERT_EQ(IDP_OK, u.Add("first line")); // starts a block: written with it
    ASSERT_EQ(IDP_OK, u.Add("second line"));
    EXPECT_TRUE(FileHolds(scratch, "first line"));
    EXPECT_FALSE(FileHolds(scratch, "second line"));
    for (int i = 0; i < 14; ++i) // fills the first block and starts the second
        ASSERT_EQ(IDP_OK, u.Add("line " + std::to_string(i)));
    EXPECT_TRUE(FileHolds(scratch, "second line"));
    ASSERT_EQ(IDP_OK, u.Add("extra line"));
    EXPECT_FALSE(FileHolds(scratch, "extra line"));
    ASSERT_EQ(IDP_OK, idpFirst(*u));
    ASSERT_EQ(IDP_OK, idpEdit(*u)); // any other change writes the appended rows too
    ASSERT_EQ(IDP_OK, idpSetString(*u, 1, "changed"));
    ASSERT_EQ(IDP_OK, idpPost(*u));
    EXPECT_TRUE(FileHolds(scratch, "extra line"));
}

} // namespace
