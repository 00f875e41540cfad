// Opening from the .PX or from the blocks' own headers, and blocks read when needed: a
// .PX that is missing, left behind by later changes, lying about one block or damaged
// still gives every row, the right count, key lookups and changes; reading a row keeps
// one block in memory; a block that changes under an open table is a clear error.
#include <algorithm>
#include <filesystem>
#include <functional>

#include "TestTables.h"
#include "core/Table.h"
#include "taglinedb/TaglineSchema.h"

using namespace idptest;
namespace fs = std::filesystem;

namespace {

constexpr size_t kPxHeader = 0x800, kPxEntry = 255 + 6;

class PagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Keyed by the exact text, so that a key lookup goes through the blocks' first keys
        // alone; and an index on Record, whose order a pass works out.
        IdpIndexDesc indexes[2] = {tagline::kTagIndex, tagline::kRecNoIndex};
        indexes[0].options = IDP_IDX_PRIMARY | IDP_IDX_UNIQUE;
        ASSERT_EQ(IDP_OK,
                  idpCreateTable(path.c_str(), tagline::kFieldCount, tagline::kFields, 2, indexes));
        {
            Table t(path, IDP_OPEN_EXCLUSIVE);
            for (int i = 0; i < 150; ++i) // ten full blocks
                ASSERT_EQ(IDP_OK, t.Add(Name(i)));
            // Rows in the middle split blocks, so that blocks are filled unevenly and the
            // chain leaves the file's order.
            for (int i : {7, 52, 97, 141})
                ASSERT_EQ(IDP_OK, t.Add(Name(i) + "a"));
        }
        stalePx = ReadFile(px);
        {
            Table t(path, IDP_OPEN_EXCLUSIVE);
            for (int i = 150; i < 160; ++i)
                ASSERT_EQ(IDP_OK, t.Add(Name(i)));
            uint16_t found = 0;
            idpSetKey(*t);
            idpSetString(*t, 1, Name(30).c_str());
            ASSERT_EQ(IDP_OK, idpGotoKey(*t, &found));
            ASSERT_EQ(IDP_OK, t.Delete());
            expected = t.All();
        }
        ASSERT_EQ(163u, expected.size());
    }
    static std::string Name(int i) {
        std::string n = std::to_string(i);
        return "row " + std::string(3 - n.size(), '0') + n;
    }
    // Writes a .PX after the data, or dated before it.
    void PutPx(const std::vector<uint8_t>& bytes, bool older = false) {
        WriteFile(px, bytes);
        if (older)
            fs::last_write_time(px, fs::last_write_time(path) - std::chrono::seconds(10));
    }
    idp::Table& Open() { return *idp::Table::Find(path); }

    ScratchDir dir;
    std::string path = dir.Path("Tags.db"), px = dir.Path("Tags.px");
    std::vector<uint8_t> stalePx;
    std::vector<std::string> expected;
};

TEST_F(PagesTest, EveryKindOfPrimaryIndexGivesTheRows) {
    const std::vector<uint8_t> good = ReadFile(px);
    const std::vector<uint8_t> db = ReadFile(path), qix = ReadFile(dir.Path("Tags.qix"));
    struct Case {
        const char* name;
        std::function<void()> spoil;
        std::string added = {}; // a row the .PX does not know of
    };
    const std::vector<Case> cases = {
        {"as written", [] {}},
        {"written before a post that the header and .PX never heard of",
         [&] {
             // As a crash leaves it: the first block took a row, nothing else was written.
             std::vector<uint8_t> b = db;
             const size_t block = 0x800 + (b[0x0E] + b[0x0F] * 256u - 1) * 4096;
             const size_t rows = (b[block + 4] + b[block + 5] * 256u) / 259 + 1;
             ASSERT_LT(rows, 15u);
             const uint8_t row[] = "row 006z";
             std::copy(row, row + 8, b.begin() + static_cast<long>(block + 6 + rows * 259));
             const uint8_t number[] = {0x80, 0x00, 0x03, 0xE7};
             std::copy(number, number + 4,
                       b.begin() + static_cast<long>(block + 6 + rows * 259 + 255));
             b[block + 4] = static_cast<uint8_t>(rows * 259);
             b[block + 5] = static_cast<uint8_t>(rows * 259 >> 8);
             WriteFile(path, b);
             fs::last_write_time(path, fs::last_write_time(px) + std::chrono::seconds(10));
         },
         "row 006z"},
        {"missing", [&] { fs::remove(px); }},
        {"left behind, dated so", [&] { PutPx(stalePx, true); }},
        {"left behind, newer", [&] { PutPx(stalePx); }},
        {"one first key other than its block's", // the header's counts agree with it
         [&] {
             std::vector<uint8_t> b = good;
             b[kPxHeader + 6 + 3 * kPxEntry + 7] = 'b'; // still between its neighbours
             PutPx(b);
         }},
        {"a row counted in the wrong block", // the total still agrees with the header
         [&] {
             std::vector<uint8_t> b = good;
             ++b[kPxHeader + 6 + 0 * kPxEntry + 255 + 3];
             --b[kPxHeader + 6 + 3 * kPxEntry + 255 + 3];
             PutPx(b);
         }},
        {"a count the header does not have",
         [&] {
             std::vector<uint8_t> b = good;
             --b[kPxHeader + 6 + 2 * kPxEntry + 255 + 3];
             PutPx(b);
         }},
        {"scribbled over",
         [&] {
             std::vector<uint8_t> b = good;
             std::fill(b.begin() + kPxHeader, b.begin() + kPxHeader + 600, 0xFF);
             PutPx(b);
         }},
        {"cut short", [&] { PutPx(std::vector<uint8_t>(good.begin(), good.begin() + 3000)); }},
        {"for another block size",
         [&] {
             std::vector<uint8_t> b = good;
             b[5] = 2;
             PutPx(b);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(path, db);
        WriteFile(dir.Path("Tags.qix"), qix);
        PutPx(good);
        c.spoil();
        std::vector<std::string> all = expected;
        if (!c.added.empty())
            all.insert(std::lower_bound(all.begin(), all.end(), c.added), c.added);
        uint32_t rows = 0;
        ASSERT_EQ(IDP_OK, idpGetRowCount(path.c_str(), &rows)) << LastError();
        EXPECT_EQ(all.size(), rows);
        Table t(path, IDP_OPEN_EXCLUSIVE);
        ASSERT_EQ(IDP_OK, t.Status()) << LastError();
        EXPECT_EQ(all.size(), t.Count());
        for (int key : {31, 99}) { // the first row of a block, and one in the middle
            uint16_t found = 0;
            idpSetKey(*t);
            idpSetString(*t, 1, Name(key).c_str());
            ASSERT_EQ(IDP_OK, idpGotoKey(*t, &found)) << LastError();
            EXPECT_EQ(1, found);
            EXPECT_EQ(Name(key), t.Text());
        }
        EXPECT_EQ(all, t.All());
        EXPECT_EQ(IDP_OK, t.Add("row 500")) << LastError();
    }
}

TEST_F(PagesTest, BlocksAreReadWhenNeededAndCheckedAsTheyAre) {
    Table t(path, IDP_OPEN_SHARED);
    ASSERT_EQ(IDP_OK, idpSetFileOrder(*t));
    ASSERT_EQ(IDP_OK, idpSetSeqNo(*t, 100)) << LastError();
    EXPECT_EQ(expected[99], t.Text());
    EXPECT_EQ(1u, Open().ResidentBlocks());
    // A pass through an index order keeps no block: the last Record is the last row added.
    ASSERT_EQ(IDP_OK, idpSetIndexByFields(*t, "Record"));
    ASSERT_EQ(IDP_OK, idpLast(*t));
    EXPECT_EQ(Name(159), t.Text());
    EXPECT_EQ(2u, Open().ResidentBlocks());
    // Someone cuts the file behind the table's back: the blocks gone are a clear error.
    fs::resize_file(path, 0x800 + 4096 * 3);
    ASSERT_EQ(IDP_OK, idpSetFileOrder(*t));
    ASSERT_EQ(IDP_OK, idpSetSeqNo(*t, 120));
    char text[300];
    EXPECT_EQ(IDP_ERR_DAMAGED, idpGetString(*t, 1, text, sizeof text, nullptr, nullptr));
    EXPECT_NE(std::string::npos, LastError().find("changed by another program")) << LastError();
}

TEST_F(PagesTest, TheFirstChangeReadsTheWholeTable) {
    Table t(path, IDP_OPEN_EXCLUSIVE);
    ASSERT_EQ(IDP_OK, t.Add("row 999"));
    const size_t blocks = Open().ResidentBlocks();
    EXPECT_GE(blocks, 12u);
    t.ExpectIntact();
    // Every block is in memory: reading the rows back reads nothing.
    std::vector<std::string> all = t.All();
    EXPECT_EQ(expected.size() + 1, all.size());
    EXPECT_EQ(blocks, Open().ResidentBlocks());
}

TEST_F(PagesTest, ASearchKeepsNoBlockAndFindsEveryMatchInItsOrder) {
    // The rows holding "row 1", in the primary order and in the order they were added.
    std::vector<std::string> byKey, byRecord;
    for (const std::string& text : expected)
        if (text.rfind("row 1", 0) == 0)
            byKey.push_back(text);
    for (int i = 100; i < 150; ++i)
        byRecord.push_back(Name(i));
    byRecord.push_back("row 141a");
    for (int i = 150; i < 160; ++i)
        byRecord.push_back(Name(i));
    const struct {
        const char* order; // "": the primary order, which is the file's
        const std::vector<std::string>& found;
    } cases[] = {{"", byKey}, {"Record", byRecord}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.order);
        Table t(path, IDP_OPEN_SHARED);
        ASSERT_EQ(IDP_OK, *c.order ? idpSetIndexByFields(*t, c.order) : idpSetIndexByName(*t, ""));
        ASSERT_EQ(IDP_OK, idpFirst(*t));
        uint16_t found = 0;
        ASSERT_EQ(IDP_OK, idpFindText(*t, 1, "ROW 159", &found)) << LastError();
        EXPECT_EQ(0u, Open().ResidentBlocks());
        EXPECT_EQ(1, found);
        EXPECT_EQ("row 159", t.Text());
        // Listed as qtdb find lists them: from the last row until the search comes round.
        ASSERT_EQ(IDP_OK, idpLast(*t));
        std::vector<std::string> listed;
        for (uint32_t previous = 0;;) {
            uint32_t at = 0;
            ASSERT_EQ(IDP_OK, idpFindText(*t, 1, "row 1", &found));
            ASSERT_EQ(IDP_OK, idpGetSeqNo(*t, &at));
            if (!found || at <= previous)
                break;
            previous = at;
            listed.push_back(t.Text());
        }
        EXPECT_EQ(c.found, listed);
    }
}

} // namespace
