// Every damage of the corpus verifies to its documented level without crashing, and where
// a rebuild is possible it gives a table that verifies clean, that pxlib reads, and that
// holds every row of the undamaged blocks.
extern "C" { // pxlib's header declares C functions without saying so
#include <paradox.h>
}

#include <algorithm>
#include <set>

#include "DamagedTables.h"
#include "TestTables.h"
#include "core/Status.h"
#include "core/TableImage.h"
#include "core/Tutil.h"

using namespace tutiltest;

namespace {

constexpr int kRows = 600;

// TagText of every row as pxlib reads the table; fails the test when pxlib cannot.
std::multiset<std::string> PxlibTexts(const std::string& db) {
    std::multiset<std::string> texts;
    pxdoc_t* doc = PX_new();
    EXPECT_EQ(0, PX_open_file(doc, db.c_str())) << db;
    int n = PX_get_num_records(doc);
    std::vector<char> data(static_cast<size_t>(std::max(1, PX_get_recordsize(doc))));
    for (int i = 0; i < n; ++i) {
        EXPECT_NE(nullptr, PX_get_record(doc, i, data.data())) << i;
        char* value = nullptr;
        if (PX_get_data_alpha(doc, data.data(), 255, &value) > 0) {
            texts.insert(value);
            doc->free(doc, value);
        }
    }
    PX_close(doc);
    PX_delete(doc);
    return texts;
}

// The texts of the rows in the healthy table's blocks that a damage leaves alone.
std::set<std::string> UndamagedTexts(const std::string& healthy, const std::string& damaged,
                                     const Damage& d) {
    tutil::TableImage h = tutil::TableImage::Read(healthy, false);
    tutil::TableImage now = tutil::TableImage::Read(damaged, false);
    std::set<std::string> texts;
    for (uint16_t n = 1; n <= h.Blocks(); ++n) {
        bool exact = true;
        if (std::count(d.blocks.begin(), d.blocks.end(), n) || now.BlockBytes(n) != h.BlockBytes(n))
            continue;
        for (uint16_t r = 0, count = h.Rows(n, exact); r < count; ++r)
            texts.insert(reinterpret_cast<const char*>(h.Row(n, r)));
    }
    return texts;
}

bool HasCode(const tutil::VerifyReport& r, int code) {
    return std::any_of(r.findings.begin(), r.findings.end(),
                       [&](const tutil::Finding& f) { return f.code == code; });
}

class CorpusTest : public ::testing::Test {
  protected:
    void SetUp() override { MakeTagTable(healthy_, kRows); }
    idptest::ScratchDir dir_;
    std::string healthy_ = dir_.Path("Healthy.db");
};

TEST_F(CorpusTest, HealthyTablesVerifyCleanAndRebuildToThemselves) {
    tutil::VerifyReport r = tutil::VerifyTable(dir_.Path("Healthy"), 0, nullptr);
    EXPECT_EQ(0, r.level);
    EXPECT_TRUE(r.findings.empty()) << r.findings[0].message;
    MakeTagTable(dir_.Path("Plain.db"), kRows, false);
    {
        idptest::Table t(dir_.Path("Plain.db"));
        ASSERT_EQ(IDP_OK, idpSetSeqNo(*t, 100));
        for (int i = 0; i < 40; ++i) // a freed block and partly filled ones
            ASSERT_EQ(IDP_OK, t.Delete());
    }
    EXPECT_EQ(0, tutil::VerifyTable(dir_.Path("Plain"), 0, nullptr).level);
    std::multiset<std::string> before = PxlibTexts(dir_.Path("Plain.db"));
    tutil::RebuildReport rb =
        tutil::RebuildTable(dir_.Path("Plain"), {dir_.Path("Plain_"), "", ""}, true, nullptr);
    EXPECT_EQ(kRows - 40u, rb.kept);
    EXPECT_EQ(0, tutil::VerifyTable(dir_.Path("Plain"), 0, nullptr).level);
    EXPECT_EQ(before, PxlibTexts(dir_.Path("Plain.db")));
    EXPECT_EQ(before, PxlibTexts(dir_.Path("Plain_.db"))); // the backup is the original
}

TEST_F(CorpusTest, EachDamageVerifiesToItsLevelAndRebuildsWhereItCan) {
    for (const Damage& d : Corpus()) {
        SCOPED_TRACE(d.name);
        const std::string base = dir_.Path(d.name), db = base + ".db";
        CopyTable(healthy_, db);
        d.apply(db);
        const std::vector<uint8_t> damaged = idptest::ReadFile(db);
        tutil::VerifyReport r = tutil::VerifyTable(base, 0, nullptr);
        EXPECT_EQ(d.level, r.level);
        EXPECT_TRUE(HasCode(r, d.code));
        tutil::RebuildNames names{base + "_bak", dir_.Path(d.name + "_kv"),
                                  dir_.Path(d.name + "_pr")};
        if (d.level >= 3) {
            EXPECT_THROW(tutil::RebuildTable(base, names, true, nullptr), idp::EngineError);
            EXPECT_EQ(damaged, idptest::ReadFile(db)); // refused, and nothing touched
            continue;
        }
        std::set<std::string> expected = UndamagedTexts(healthy_, db, d);
        tutil::RebuildReport rb = tutil::RebuildTable(base, names, true, nullptr);
        tutil::VerifyReport after = tutil::VerifyTable(base, 0, nullptr);
        EXPECT_EQ(0, after.level) << (after.findings.empty() ? "" : after.findings[0].message);
        std::multiset<std::string> texts = PxlibTexts(db);
        EXPECT_EQ(rb.kept, texts.size());
        for (const std::string& t : expected)
            EXPECT_EQ(1u, texts.count(t)) << t;
        EXPECT_EQ(damaged, idptest::ReadFile(base + "_bak.db")); // the backup is the original
    }
}

} // namespace
