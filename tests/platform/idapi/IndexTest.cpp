// Index definitions and their use: definitions readable without opening, orders by
// each index, exact key lookups, and uniqueness (case ignored where the index says so).
#include <algorithm>
#include <random>

#include "TestTables.h"
#include "core/Bytes.h"
#include "core/IndexDefs.h"

using namespace idptest;

namespace {

class IndexTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateTagTable(path);
        Table t(path);
        for (const char* s : {"banana", "Apple", "cherry"})
            ASSERT_EQ(IDP_OK, t.Add(s));
    }
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
};

TEST_F(IndexTest, DefinitionsSurviveAndReadWithoutOpening) {
    IdpFieldDesc fields[4];
    IdpIndexDesc indexes[4];
    uint16_t nf = 0, ni = 0;
    ASSERT_EQ(IDP_OK, idpDescribeTable(path.c_str(), fields, 4, &nf, indexes, 4, &ni));
    ASSERT_EQ(2, nf);
    EXPECT_STREQ("TagText", fields[0].name);
    EXPECT_EQ(IDP_FLD_ALPHA, fields[0].type);
    EXPECT_EQ(255, fields[0].size);
    EXPECT_EQ(1, fields[0].required);
    EXPECT_EQ(IDP_FLD_AUTOINC, fields[1].type);
    ASSERT_EQ(2, ni);
    EXPECT_STREQ("Tag", indexes[0].name);
    EXPECT_STREQ("TagText", indexes[0].fields);
    EXPECT_EQ(IDP_IDX_PRIMARY | IDP_IDX_UNIQUE | IDP_IDX_CASE_INSENSITIVE, indexes[0].options);
    EXPECT_STREQ("RecNo", indexes[1].name);
    EXPECT_STREQ("Record", indexes[1].fields);
    EXPECT_EQ(IDP_IDX_UNIQUE, indexes[1].options);
}

TEST_F(IndexTest, OrdersByEachIndex) {
    Table t(path);
    ASSERT_EQ(IDP_OK, idpSetIndexByFields(*t, "TagText"));
    EXPECT_EQ((std::vector<std::string>{"Apple", "banana", "cherry"}), t.All());
    ASSERT_EQ(IDP_OK, idpSetIndexByFields(*t, "record"));
    EXPECT_EQ((std::vector<std::string>{"banana", "Apple", "cherry"}), t.All());
    EXPECT_EQ(IDP_ERR_NO_SUCH_INDEX, idpSetIndexByFields(*t, "Nothing"));
}

TEST_F(IndexTest, ExactLookupOnTheCurrentIndex) {
    Table t(path);
    uint16_t found = 0;
    ASSERT_EQ(IDP_OK, idpSetIndexByName(*t, "RecNo"));
    ASSERT_EQ(IDP_OK, idpSetKey(*t));
    ASSERT_EQ(IDP_OK, idpSetInteger(*t, 2, 3));
    ASSERT_EQ(IDP_OK, idpGotoKey(*t, &found));
    EXPECT_EQ(1, found);
    EXPECT_EQ("cherry", t.Text());
    EXPECT_EQ(IDP_ERR_EOF, idpNext(*t)); // cherry is the last by Record

    ASSERT_EQ(IDP_OK, idpSetIndexByFields(*t, "TagText"));
    ASSERT_EQ(IDP_OK, idpSetKey(*t));
    ASSERT_EQ(IDP_OK, idpSetString(*t, 1, "banana"));
    ASSERT_EQ(IDP_OK, idpGotoKey(*t, &found));
    EXPECT_EQ(1, found);
    EXPECT_EQ(1, t.Integer());
    ASSERT_EQ(IDP_OK, idpSetKey(*t));
    ASSERT_EQ(IDP_OK, idpSetString(*t, 1, "bananas"));
    ASSERT_EQ(IDP_OK, idpGotoKey(*t, &found));
    EXPECT_EQ(0, found);
    EXPECT_EQ("banana", t.Text()); // a miss leaves the cursor where it was

    // Numbers given after the table was read are found too.
    ASSERT_EQ(IDP_OK, t.Add("date"));
    ASSERT_EQ(IDP_OK, idpSetIndexByName(*t, "RecNo"));
    ASSERT_EQ(IDP_OK, idpSetKey(*t));
    ASSERT_EQ(IDP_OK, idpSetInteger(*t, 2, 4));
    ASSERT_EQ(IDP_OK, idpGotoKey(*t, &found));
    EXPECT_EQ(1, found);
    EXPECT_EQ("date", t.Text());
}

TEST_F(IndexTest, UniquenessIgnoresCaseWhereTheIndexDoes) {
    Table t(path);
    EXPECT_EQ(IDP_ERR_KEY_VIOLATION, t.Add("APPLE"));
    EXPECT_EQ(IDP_ERR_KEY_VIOLATION, t.Add("banana"));
    EXPECT_EQ(3u, t.Count());
}

// Cursors on other indexes than the primary one, on a keyed table that changes under
// them: each order must follow every change, whichever way it was last worked out.
// Ordering many rows reads each key's first sixteen bytes straight from its record; they
// must be the whole key's, whatever the record holds: zeros inside text, letters to fold,
// keys shorter than sixteen bytes, fields after an alpha one.
TEST(IndexOrders, KeyHeadsReadFromRecordsAreTheWholeKeysHeads) {
    idp::Schema schema;
    uint16_t offset = 0;
    for (auto [type, width] :
         {std::pair{IDP_FLD_ALPHA, 20}, {IDP_FLD_SHORT, 2}, {IDP_FLD_ALPHA, 9}}) {
        schema.fields.push_back({"F", static_cast<uint8_t>(type), static_cast<uint16_t>(width),
                                 static_cast<uint16_t>(width), offset, false});
        offset = static_cast<uint16_t>(offset + width);
    }
    schema.recordSize = offset;
    const std::vector<std::vector<int>> fieldSets = {{0}, {2}, {0, 1}, {1, 2}, {0, 2}, {2, 0}};
    std::mt19937 random(7);
    std::vector<uint8_t> record(schema.recordSize);
    for (const auto& fields : fieldSets)
        for (int options : {0, int{IDP_IDX_CASE_INSENSITIVE}}) {
            idp::IndexDef index;
            index.fields = fields;
            index.options = static_cast<uint16_t>(options);
            for (int n = 0; n < 500; ++n) {
                // Mostly letters, with zeros and high bytes, and text of every length.
                for (uint8_t& b : record) {
                    const unsigned r = random() % 10;
                    b = static_cast<uint8_t>(r == 0   ? 0
                                             : r == 1 ? 0x80 + random() % 128
                                                      : 'A' + random() % 58);
                }
                std::fill(record.begin() + static_cast<long>(random() % 21), record.begin() + 20,
                          0);
                std::string key;
                idp::FieldsKeyInto(schema, record.data(), index, key);
                ASSERT_EQ(
                    idp::KeyHead::Of(reinterpret_cast<const uint8_t*>(key.data()), key.size()),
                    idp::FieldsKeyHead(schema, record.data(), index))
                    << "fields " << fields[0] << (fields.size() > 1 ? "+" : "") << " options "
                    << options << " key " << key;
                const auto* text = record.data();
                ASSERT_EQ(static_cast<size_t>(std::find(text, text + 20, 0) - text),
                          idp::TextLength(text, 20));
            }
        }
}

TEST(IndexOrders, OrdersOfOtherIndexesFollowEveryChange) {
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
    IdpFieldDesc fields[2] = {{"TagText", IDP_FLD_ALPHA, 255, 1},
                              {"Record", IDP_FLD_AUTOINC, 0, 1}};
    IdpIndexDesc indexes[3] = {
        {"Tag", "TagText", IDP_IDX_PRIMARY | IDP_IDX_UNIQUE | IDP_IDX_CASE_INSENSITIVE},
        {"RecNo", "Record", IDP_IDX_UNIQUE},
        {"Down", "TagText", IDP_IDX_DESCENDING}};
    ASSERT_EQ(IDP_OK, idpCreateTable(path.c_str(), 2, fields, 3, indexes));
    Table t(path, IDP_OPEN_EXCLUSIVE);
    std::vector<std::pair<int32_t, std::string>> byRecord; // the model, in Record order
    std::mt19937 rng(7);
    auto texts = [&](bool descending) {
        std::vector<std::string> v;
        for (const auto& row : byRecord)
            v.push_back(row.second);
        if (descending)
            std::sort(v.rbegin(), v.rend());
        return v;
    };
    for (int step = 0; step < 300; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        ASSERT_EQ(IDP_OK, idpSetIndexByName(*t, step % 3 == 2 ? "Down" : "RecNo"));
        unsigned what = step < 60 || byRecord.empty() ? 0 : rng() % 3;
        std::string text = "row " + std::to_string(rng() % 1000) + " of " + std::to_string(step);
        if (what == 0) {
            ASSERT_EQ(IDP_OK, t.Add(text));
            byRecord.emplace_back(t.Integer(), text);
        } else {
            ASSERT_EQ(IDP_OK, idpSetIndexByName(*t, "RecNo"));
            size_t rank = rng() % byRecord.size();
            ASSERT_EQ(IDP_OK, idpSetSeqNo(*t, static_cast<uint32_t>(rank + 1)));
            ASSERT_EQ(byRecord[rank].second, t.Text());
            if (what == 1) {
                ASSERT_EQ(IDP_OK, t.Edit(text));
                byRecord[rank].second = text;
                EXPECT_EQ(byRecord[rank].first, t.Integer()); // the row stays in its place
            } else {
                ASSERT_EQ(IDP_OK, t.Delete());
                byRecord.erase(byRecord.begin() + static_cast<long>(rank));
            }
        }
        ASSERT_EQ(IDP_OK, idpSetIndexByName(*t, "RecNo"));
        ASSERT_EQ(texts(false), t.All());
        if (step % 10 == 0) {
            ASSERT_EQ(IDP_OK, idpSetIndexByName(*t, "Down"));
            ASSERT_EQ(texts(true), t.All());
        }
    }
}

TEST(IndexRules, UnkeyedTableAcceptsDuplicatesAndHasNoIndexToSearch) {
    ScratchDir dir;
    std::string path = dir.Path("_temp.db");
    CreateTagTable(path, false);
    Table t(path);
    ASSERT_EQ(IDP_OK, t.Add("same"));
    ASSERT_EQ(IDP_OK, t.Add("same"));
    EXPECT_EQ(2u, t.Count());
    EXPECT_EQ(IDP_ERR_NO_SUCH_INDEX, idpSetKey(*t));
    EXPECT_EQ(IDP_ERR_NO_SUCH_INDEX, idpSetIndexByFields(*t, "TagText"));
}

TEST(IndexRules, DescendingIndexDoesNotServeAFieldOrderButACompositeDoes) {
    ScratchDir dir;
    std::string path = dir.Path("T.db");
    IdpFieldDesc fields[2] = {{"TagText", IDP_FLD_ALPHA, 255, 1},
                              {"Record", IDP_FLD_AUTOINC, 0, 0}};
    IdpIndexDesc desc[1] = {{"Down", "TagText", IDP_IDX_DESCENDING}};
    ASSERT_EQ(IDP_OK, idpCreateTable(path.c_str(), 2, fields, 1, desc));
    {
        Table t(path);
        EXPECT_EQ(IDP_ERR_NO_SUCH_INDEX, idpSetIndexByFields(*t, "TagText"));
        ASSERT_EQ(IDP_OK, t.Add("a"));
        ASSERT_EQ(IDP_OK, t.Add("b"));
        ASSERT_EQ(IDP_OK, idpSetIndexByName(*t, "Down"));
        EXPECT_EQ((std::vector<std::string>{"b", "a"}), t.All());
    }
    IdpIndexDesc both[1] = {{"Both", "TagText;Record", IDP_IDX_PRIMARY}};
    ASSERT_EQ(IDP_OK, idpCreateTable(path.c_str(), 2, fields, 1, both));
    Table t(path);
    for (const char* s : {"b", "a", "c"})
        ASSERT_EQ(IDP_OK, t.Add(s));
    ASSERT_EQ(IDP_OK, idpSetIndexByFields(*t, "TAGTEXT"));
    // The key names TagText only, so the lookup matches on it alone.
    uint16_t found = 0;
    ASSERT_EQ(IDP_OK, idpSetKey(*t));
    ASSERT_EQ(IDP_OK, idpSetString(*t, 1, "b"));
    ASSERT_EQ(IDP_OK, idpGotoKey(*t, &found));
    EXPECT_EQ(1, found);
    EXPECT_EQ(1, t.Integer());
}

TEST(IndexRules, PasswordProtectedTablesAreReportedAndRefused) {
    ScratchDir dir;
    std::string path = dir.Path("Secret.db");
    CreateTagTable(path);
    std::vector<uint8_t> b = ReadFile(path);
    b[0x5C] = 0x4D; // the version 4+ encryption code
    b[0x3D] = 2;    // two auxiliary passwords
    WriteFile(path, b);
    IdpTableProps props;
    ASSERT_EQ(IDP_OK, idpGetTableProps(path.c_str(), &props));
    EXPECT_EQ(1, props.passwordProtected);
    EXPECT_EQ(2, props.auxPasswords);
    EXPECT_EQ(IDP_ERR_PASSWORD, Table(path).Status());
    EXPECT_NE(std::string::npos, LastError().find("password"));
}

TEST(IndexRules, BadDescriptionsAreRefused) {
    ScratchDir dir;
    std::string path = dir.Path("T.db");
    IdpFieldDesc fields[2] = {{"A", IDP_FLD_SHORT, 0, 0}, {"B", IDP_FLD_ALPHA, 10, 0}};
    IdpIndexDesc notFirst[1] = {{"P", "B", IDP_IDX_PRIMARY}};
    EXPECT_EQ(IDP_ERR_BAD_DESCRIPTION, idpCreateTable(path.c_str(), 2, fields, 1, notFirst));
    IdpIndexDesc missing[1] = {{"X", "C", 0}};
    EXPECT_EQ(IDP_ERR_BAD_DESCRIPTION, idpCreateTable(path.c_str(), 2, fields, 1, missing));
    IdpFieldDesc badSize[1] = {{"A", IDP_FLD_ALPHA, 300, 0}};
    EXPECT_EQ(IDP_ERR_BAD_DESCRIPTION, idpCreateTable(path.c_str(), 1, badSize, 0, nullptr));
}

} // namespace
