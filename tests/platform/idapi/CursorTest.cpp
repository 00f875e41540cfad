// Rows through a cursor: text byte for byte, cutting, required fields, numbering,
// editing and deleting, what survives closing the table, and long runs of changes
// against a model of the table.
#include <algorithm>
#include <cctype>
#include <map>
#include <random>

#include "TestTables.h"
#include "core/Os.h"

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
    t.ExpectIntact();
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
    ASSERT_EQ(IDP_OK, t.Delete());
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
    ASSERT_EQ(IDP_OK, t.Edit("a"));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), t.All());
}

// Posting every row as it was, as a whole-table spell check does, writes nothing and
// visits every row once, in order.
TEST_F(CursorTest, RowsPostedUnchangedWriteNothingAndTheWalkGoesOn) {
    Table t(path, IDP_OPEN_EXCLUSIVE);
    for (const char* s : {"a", "b", "c", "d"})
        ASSERT_EQ(IDP_OK, t.Add(s));
    idp::os::fault::Arm(idp::os::fault::Mode::Fail, 0);
    std::vector<std::string> walked;
    for (IdpStatus s = idpFirst(*t); s == IDP_OK; s = idpNext(*t)) {
        const std::string text = t.Text();
        walked.push_back(text);
        ASSERT_EQ(IDP_OK, t.Edit(text)) << text;
    }
    const bool struck = idp::os::fault::Struck();
    idp::os::fault::Disarm();
    EXPECT_FALSE(struck);
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d"}), walked);
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
            ASSERT_EQ(IDP_OK, t.Delete()) << i << ": " << LastError();
        }
        ASSERT_EQ(IDP_OK, idpSetIndexByName(*t, ""));
        for (uint32_t i = 0; i < 30; ++i) {
            ASSERT_EQ(IDP_OK, idpSetSeqNo(*t, 1 + (i * 13) % (40 - i)));
            ASSERT_EQ(IDP_OK, t.Delete()) << i << ": " << LastError();
        }
        ASSERT_EQ(IDP_OK, t.Add("added after the deletes"));
        kept = t.All();
        ASSERT_EQ(11u, kept.size());
    }
    Table t(path);
    EXPECT_EQ(kept, t.All());
}

// Posts, edits that move rows and deletes at random places, against a map from the folded
// key to the text: each change must keep the engine's own structures whole, refuse what
// the case-ignoring unique key forbids, leave the cursor where it should be, and keep
// the rows in the order of the index.
TEST_F(CursorTest, RandomChangesKeepTheTableWholeAndInKeyOrder) {
    std::mt19937 rng(2024);
    static const char* words[] = {"alpha", "Beta", "gamma", "DELTA", "eps", "Zeta", "eta", "Theta"};
    auto someText = [&] {
        std::string s;
        for (int w = 0, n = 1 + static_cast<int>(rng() % 3); w < n; ++w)
            s += std::string(words[rng() % 8]) + " ";
        s += std::to_string(rng() % 200);
        if (rng() % 4 == 0) // a case twin of what may be there already
            for (char& ch : s)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return s;
    };
    auto fold = [](std::string s) {
        for (char& ch : s)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return s;
    };
    std::map<std::string, std::string> model;
    auto textAtRank = [&](size_t rank) { return std::next(model.begin(), long(rank))->second; };
    auto inOrder = [&] {
        std::vector<std::string> v;
        for (const auto& [key, text] : model)
            v.push_back(text);
        return v;
    };
    {
        Table t(path, IDP_OPEN_EXCLUSIVE);
        for (int step = 0; step < 1500; ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            unsigned what = step < 300 ? 0 : rng() % 3;
            if (what == 0 || model.empty()) {
                std::string text = someText();
                bool taken = model.count(fold(text)) > 0;
                ASSERT_EQ(taken ? IDP_ERR_KEY_VIOLATION : IDP_OK, t.Add(text));
                model.emplace(fold(text), text);
                continue;
            }
            size_t rank = rng() % model.size();
            ASSERT_EQ(IDP_OK, idpSetSeqNo(*t, static_cast<uint32_t>(rank + 1)));
            ASSERT_EQ(textAtRank(rank), t.Text());
            std::string old = textAtRank(rank);
            if (what == 1) {
                std::string text = someText();
                bool taken = fold(text) != fold(old) && model.count(fold(text)) > 0;
                ASSERT_EQ(taken ? IDP_ERR_KEY_VIOLATION : IDP_OK, t.Edit(text));
                if (!taken) {
                    model.erase(fold(old));
                    model.emplace(fold(text), text);
                    ASSERT_EQ(text, t.Text()); // the cursor follows the row it moved
                }
            } else {
                ASSERT_EQ(IDP_OK, t.Delete());
                model.erase(fold(old));
                if (!model.empty()) { // on the row that followed, or on the new last one
                    ASSERT_EQ(textAtRank(std::min(rank, model.size() - 1)), t.Text());
                }
            }
            if (step % 250 == 0) {
                ASSERT_EQ(inOrder(), t.All());
            }
        }
        ASSERT_EQ(inOrder(), t.All());
    }
    Table t(path);
    EXPECT_EQ(inOrder(), t.All());
}

} // namespace

namespace {

bool FileHolds(const std::string& path, const std::string& text) {
    std::vector<uint8_t> bytes = ReadFile(path);
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

TEST(WritePolicy, KeyedPostsAreWrittenAtOnceUnkeyedAppendsInBatchesOfBlocks) {
    ScratchDir dir;
    std::string keyed = dir.Path("Tags.db"), scratch = dir.Path("_temp.db");
    CreateTagTable(keyed);
    CreateTagTable(scratch, false);
    Table k(keyed), u(scratch);
    ASSERT_EQ(IDP_OK, k.Add("stolen tagline"));
    EXPECT_TRUE(FileHolds(keyed, "stolen tagline"));
    ASSERT_EQ(IDP_OK, u.Add("first line"));
    // The appends wait until 64 KB of blocks is pending: for rows of 259 bytes, about 250
    // rows, not the handful of one block.
    int added = 1;
    for (; !FileHolds(scratch, "first line") && added < 1000; ++added)
        ASSERT_EQ(IDP_OK, u.Add("line " + std::to_string(added)));
    EXPECT_GE(added * 259, 48 * 1024);
    EXPECT_LE(added * 259, 72 * 1024);
    ASSERT_EQ(IDP_OK, u.Add("extra line"));
    EXPECT_FALSE(FileHolds(scratch, "extra line"));
    ASSERT_EQ(IDP_OK, idpFirst(*u));
    ASSERT_EQ(IDP_OK, u.Edit("changed")); // any other change writes the appended rows too
    EXPECT_TRUE(FileHolds(scratch, "extra line"));
}

TEST(WritePolicy, AKeyedTableCopiedWithoutItsIndexFilesStaysWritable) {
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
    CreateTagTable(path);
    {
        Table t(path, IDP_OPEN_EXCLUSIVE);
        ASSERT_EQ(IDP_OK, t.Add("before"));
    }
    ASSERT_EQ(0, std::remove(dir.Path("Tags.px").c_str()));
    ASSERT_EQ(0, std::remove(dir.Path("Tags.qix").c_str()));
    IdpCursor c = nullptr;
    ASSERT_EQ(IDP_OK, idpOpenTable(path.c_str(), IDP_OPEN_EXCLUSIVE, &c)) << LastError();
    ASSERT_EQ(IDP_OK, idpAppend(c));
    ASSERT_EQ(IDP_OK, idpSetString(c, 1, "after"));
    ASSERT_EQ(IDP_OK, idpPost(c)) << LastError();
    EXPECT_EQ(IDP_OK, idpCloseTable(c)) << "the close writes the .PX: " << LastError();
    EXPECT_TRUE(FileHolds(dir.Path("Tags.px"), "after") || FileHolds(dir.Path("Tags.px"), "before"))
        << "the .PX is written again at the close";
    EXPECT_EQ(Table(path).All(), (std::vector<std::string>{"after", "before"}));
}

// The .PX is for other programs and is rewritten whole, so changes leave it to the close.
TEST(WritePolicy, ThePrimaryIndexFileIsBroughtUpToDateWhenTheTableCloses) {
    ScratchDir dir;
    std::string path = dir.Path("Tags.db"), px = dir.Path("Tags.px");
    CreateTagTable(path);
    {
        Table t(path, IDP_OPEN_EXCLUSIVE);
        for (int i = 0; i < 40; ++i)
            ASSERT_EQ(IDP_OK, t.Add("tagline " + std::to_string(i)));
    }
    std::vector<uint8_t> closed = ReadFile(px);
    {
        Table t(path, IDP_OPEN_EXCLUSIVE);
        for (int i = 0; i < 40; ++i)
            ASSERT_EQ(IDP_OK, t.Add("another " + std::to_string(i)));
        EXPECT_EQ(closed, ReadFile(px));
    }
    std::vector<uint8_t> after = ReadFile(px);
    EXPECT_NE(closed, after);
    ASSERT_GT(after.size(), 0x800u);
    EXPECT_EQ(1, after[4]); // a primary index file
}

} // namespace
