// Finding text in a field: the next matching row in the cursor's order, case folded as
// the "Tag" index folds it (accented letters too), wrapping past the end, the cursor's own
// row last, and a cursor left in place when nothing matches.
#include "TestTables.h"

using namespace idptest;

namespace {

class TextSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateTagTable(path);
        Table t(path);
        // Records 1-5 in this order; in "Tag" order: apple, banana, cherry, plain, ete.
        for (const char* text :
             {"Cherry APPLE tart", "banana split", "Apple pie", "\xE9t\xE9 caf\xE9", "plain"})
            ASSERT_EQ(IDP_OK, t.Add(text)) << LastError();
    }
    // Finds text from the row at a 1-based position of the order; the row it stands on
    // afterwards, "-" after a failed search (which must keep the cursor in place).
    std::string Find(Table& t, uint32_t from, const std::string& text) {
        EXPECT_EQ(IDP_OK, idpSetSeqNo(*t, from));
        uint16_t found = 9;
        EXPECT_EQ(IDP_OK, idpFindText(*t, 1, text.c_str(), &found)) << LastError();
        uint32_t at = 0;
        idpGetSeqNo(*t, &at);
        if (found)
            return t.Text();
        EXPECT_EQ(at, from) << text;
        return "-";
    }
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
};

TEST_F(TextSearchTest, FindsTheNextMatchInTheCursorsOrderWrapping) {
    struct Case {
        const char* order; // fields of the index, "" for the primary "Tag" order
        uint32_t from;
        const char* text;
        const char* found;
    } cases[] = {
        {"", 1, "apple", "Cherry APPLE tart"},
        {"", 3, "APPLE", "Apple pie"}, // wraps past the end
        {"", 5, "apple", "Apple pie"},
        {"", 1, "PIE", "Apple pie"}, // the cursor's own row, tried last
        {"", 1, "CAF\xC9", "\xE9t\xE9 caf\xE9"},
        {"", 2, "", "Cherry APPLE tart"}, // an empty text is in the next row
        {"", 2, "kiwi", "-"},
        {"", 2, "apple tarts", "-"},
        {"Record", 1, "apple", "Apple pie"},
        {"Record", 3, "a", "\xE9t\xE9 caf\xE9"},
        {"Record", 5, "A", "Cherry APPLE tart"},
    };
    Table t(path);
    for (const Case& c : cases) {
        ASSERT_EQ(IDP_OK, *c.order ? idpSetIndexByFields(*t, c.order) : idpSetIndexByName(*t, ""));
        EXPECT_EQ(Find(t, c.from, c.text), c.found)
            << "from " << c.from << " of order '" << c.order << "' for " << c.text;
    }

    // After a change the order comes from the index kept in memory; the search follows.
    ASSERT_EQ(IDP_OK, idpSetIndexByName(*t, ""));
    ASSERT_EQ(IDP_OK, idpSetSeqNo(*t, 2));
    ASSERT_EQ(IDP_OK, t.Edit("Zucchini and apple"));
    EXPECT_EQ(Find(t, 1, "APPLE"), "Cherry APPLE tart");
    EXPECT_EQ(Find(t, 2, "apple"), "Zucchini and apple");
    EXPECT_EQ(Find(t, 5, "apple"), "Apple pie");
}

TEST_F(TextSearchTest, RefusesWhatItCannotSearch) {
    Table t(path);
    uint16_t found = 0;
    EXPECT_EQ(IDP_ERR_FIELD_TYPE, idpFindText(*t, 2, "1", &found));
    EXPECT_EQ(IDP_ERR_BAD_PARAM, idpFindText(*t, 1, nullptr, &found));
    EXPECT_EQ(IDP_ERR_BAD_HANDLE, idpFindText(nullptr, 1, "a", &found));
    ASSERT_EQ(IDP_OK, idpEdit(*t));
    EXPECT_EQ(IDP_ERR_IN_USE, idpFindText(*t, 1, "a", &found));
    ASSERT_EQ(IDP_OK, idpCancel(*t));

    CreateTagTable(dir.Path("Empty.db"));
    Table empty(dir.Path("Empty.db"));
    found = 1;
    EXPECT_EQ(IDP_OK, idpFindText(*empty, 1, "", &found));
    EXPECT_EQ(found, 0);
}

} // namespace
