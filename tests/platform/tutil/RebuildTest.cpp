// The rebuild's promises beyond the corpus: a write failing at any point leaves the
// original or its backup whole; key violations and problem rows land in their tables; the
// error table is a table pxlib reads.
extern "C" { // pxlib's header declares C functions without saying so
#include <paradox.h>
}

#include <algorithm>

#include "DamagedTables.h"
#include "TestTables.h"
#include "core/Os.h"
#include "core/Status.h"
#include "core/Tutil.h"
#include "core/UniqueValues.h"
#include "idapi.h"

using namespace tutiltest;

namespace {

int PxlibCount(const std::string& db) {
    pxdoc_t* doc = PX_new();
    int n = PX_open_file(doc, db.c_str()) == 0 ? PX_get_num_records(doc) : -1;
    PX_close(doc);
    PX_delete(doc);
    return n;
}

Damage Named(const std::string& name) {
    for (const Damage& d : Corpus())
        if (d.name == name)
            return d;
    ADD_FAILURE() << name;
    return {};
}

TEST(TutilRebuild, AWriteFailingAnywhereLeavesTheOriginalOrItsBackupWhole) {
    idptest::ScratchDir dir;
    MakeTagTable(dir.Path("Good.db"), 300);
    bool done = false;
    for (long k = 0; !done && k < 200; ++k) {
        SCOPED_TRACE(k);
        const std::string db = dir.Path("T.db");
        CopyTable(dir.Path("Good.db"), db);
        Named("link_cycle").apply(db);
        const std::vector<uint8_t> original = idptest::ReadFile(db);
        idp::os::fault::Arm(idp::os::fault::Mode::Fail, k);
        try {
            tutil::RebuildTable(dir.Path("T"), {dir.Path("T_"), dir.Path("KV"), dir.Path("PR")},
                                true, nullptr);
            done = true;
        } catch (const idp::EngineError& e) {
            EXPECT_EQ(IDP_ERR_IO, e.Status());
        }
        idp::os::fault::Disarm();
        if (done)
            EXPECT_EQ(0, tutil::VerifyTable(dir.Path("T"), 0, nullptr).level);
        else
            EXPECT_TRUE(idptest::ReadFile(db) == original ||
                        idptest::ReadFile(dir.Path("T_.db")) == original);
    }
    EXPECT_TRUE(done);
}

TEST(TutilRebuild, SetsAsideTheSecondOfAKeyPairOrUniqueValueAndUnreadableRows) {
    idptest::ScratchDir dir;
    MakeTagTable(dir.Path("T.db"), 300);
    Named("equal_keys").apply(dir.Path("T.db"));
    Named("repeated_unique_value").apply(dir.Path("T.db"));
    Named("impossible_value").apply(dir.Path("T.db"));
    // Verify counts the rows the rebuild sets aside: one finding for each.
    tutil::VerifyReport v = tutil::VerifyTable(dir.Path("T"), 0, nullptr);
    EXPECT_EQ(1, std::count_if(v.findings.begin(), v.findings.end(),
                               [](const tutil::Finding& f) { return f.code == 211; }));
    tutil::RebuildReport r = tutil::RebuildTable(
        dir.Path("T"), {dir.Path("T_"), dir.Path("KV"), dir.Path("PR")}, false, nullptr);
    EXPECT_EQ(2u, r.keyViolations);
    EXPECT_EQ(1u, r.problems);
    EXPECT_EQ(297u, r.kept);
    EXPECT_EQ(2, PxlibCount(dir.Path("KV.db")));
    EXPECT_EQ(1, PxlibCount(dir.Path("PR.db")));
    EXPECT_EQ(297, PxlibCount(dir.Path("T.db")));
}

// Keys are hashed eight bytes at a time, folded at once when they are ASCII: rows of one
// key must meet whatever their length, accents and what lies past the text's end.
TEST(TutilUniqueValues, KeysDifferingInCaseOnlyAreRepeats) {
    idp::Schema schema;
    schema.fields.push_back({"Text", IDP_FLD_ALPHA, 20, 20, 0, true});
    schema.recordSize = 20;
    idp::IndexDef index{"Tag", "Text", {0}, IDP_IDX_UNIQUE | IDP_IDX_CASE_INSENSITIVE};
    const std::vector<std::string> texts = {"Seven c",
                                            "SEVEN C",
                                            "eight ch",
                                            "EIGHT CH",
                                            "nine char",
                                            "Nine Chaz",
                                            "caf\xE9 au lait",
                                            "CAF\xC9 AU LAIT",
                                            "[at]",
                                            "{at}",
                                            "a",
                                            "A",
                                            "twenty characters!!"};
    std::vector<std::vector<uint8_t>> rows;
    for (const std::string& t : texts) {
        // Each row's own garbage past the text's end, which is not part of its key.
        rows.emplace_back(20, static_cast<uint8_t>(0x41 + rows.size()));
        std::copy(t.begin(), t.end(), rows.back().begin());
        rows.back()[t.size() < 20 ? t.size() : 19] = 0;
    }
    tutil::RepeatedValues values(schema, index);
    for (const auto& row : rows)
        values.See(row.data());
    EXPECT_EQ((std::vector<size_t>{1, 3, 7, 11}), values.Repeated());
}

TEST(TutilErrorTable, HoldsOneRowPerFindingAndAppendsOnRequest) {
    idptest::ScratchDir dir;
    tutil::VerifyReport report{2, {{101, 1, "first"}, {207, 2, "second"}}};
    tutil::WriteErrorTable(dir.Path("__TUERR.DB"), report);
    EXPECT_EQ(2, PxlibCount(dir.Path("__TUERR.DB")));
    tutil::WriteErrorTable(dir.Path("__TUERR.DB"), report, true);
    EXPECT_EQ(4, PxlibCount(dir.Path("__TUERR.DB")));
    tutil::WriteErrorTable(dir.Path("__TUERR.DB"), {}, false);
    EXPECT_EQ(0, PxlibCount(dir.Path("__TUERR.DB")));
}

} // namespace
