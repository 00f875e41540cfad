// Damaged and hostile files: each gives a clear engine error or the rows that can still
// be read, never a crash or a hang; and a failing write is reported while the rows
// written before it stay readable.
#include <cstring>

#include "TestTables.h"
#include "core/Os.h"
#include "core/Table.h"
#include "taglinedb/TaglineSchema.h"

using namespace idptest;

namespace {

constexpr size_t kHeader = 0x800, kBlock = 4096, kRecord = 259;

class DamageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateTagTable(path, false);
        {
            Table t(path);
            for (int i = 0; i < 40; ++i) // three blocks of 15, 15 and 10 rows
                ASSERT_EQ(IDP_OK, t.Add("row " + std::to_string(i)));
        }
        good = ReadFile(path);
        ASSERT_EQ(kHeader + 3 * kBlock, good.size());
    }
    // Opens the damaged copy and reads every row; returns the open status.
    IdpStatus OpenAndCount(const std::vector<uint8_t>& bytes, uint32_t& rows) {
        WriteFile(path, bytes);
        Table t(path);
        rows = 0;
        if (t.Status() == IDP_OK)
            rows = static_cast<uint32_t>(t.All().size());
        return t.Status();
    }
    void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
        b[at] = static_cast<uint8_t>(v);
        b[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
    std::vector<uint8_t> good;
};

TEST_F(DamageTest, TruncatedHeaderIsNotATable) {
    uint32_t rows = 0;
    for (size_t size : {0, 10, 0x30, 0x77, 0x100, 0x7FF}) {
        std::vector<uint8_t> b(good.begin(), good.begin() + static_cast<long>(size));
        IdpStatus s = OpenAndCount(b, rows);
        EXPECT_TRUE(s == IDP_ERR_NOT_A_TABLE || s == IDP_ERR_DAMAGED) << size << ": " << s;
    }
}

TEST(Damage, AHeaderLargerThanTheFirstReadIsReadWholeOrFoundShort) {
    ScratchDir dir; // 150 fields with long names make a header of more than 4 KB
    const std::string path = dir.Path("Wide.db");
    std::vector<IdpFieldDesc> fields(150, IdpFieldDesc{"", IDP_FLD_SHORT, 0, 0});
    for (size_t i = 0; i < fields.size(); ++i)
        std::memcpy(fields[i].name, ("Field with long name " + std::to_string(100 + i)).c_str(),
                    25);
    ASSERT_EQ(IDP_OK, idpCreateTable(path.c_str(), 150, fields.data(), 0, nullptr)) << LastError();
    const std::vector<uint8_t> whole = ReadFile(path);
    const size_t headerSize = whole[2] | whole[3] << 8;
    ASSERT_GT(headerSize, 0x1000u) << "the header must not fit the first read";
    for (size_t size : {whole.size(), headerSize - 1, size_t{0x1000}}) {
        WriteFile(path, std::vector<uint8_t>(whole.begin(), whole.begin() + long(size)));
        IdpFieldDesc read[150];
        uint16_t count = 0, indexes = 0;
        const IdpStatus s = idpDescribeTable(path.c_str(), read, 150, &count, nullptr, 0, &indexes);
        EXPECT_EQ(size == whole.size() ? IDP_OK : IDP_ERR_DAMAGED, s) << size << LastError();
        if (s == IDP_OK) {
            EXPECT_STREQ(fields[149].name, read[149].name);
        }
    }
}

TEST_F(DamageTest, TruncatedDataKeepsTheWholeBlocks) {
    std::vector<uint8_t> b(good.begin(), good.begin() + static_cast<long>(kHeader + kBlock + 100));
    uint32_t rows = 0;
    ASSERT_EQ(IDP_OK, OpenAndCount(b, rows)) << LastError();
    EXPECT_EQ(15u, rows);
    Table t(path);
    EXPECT_EQ(IDP_ERR_DAMAGED, t.Add("more")); // no change on top of a damaged chain
    EXPECT_NE(std::string::npos, LastError().find("Rebuild"));
}

TEST_F(DamageTest, RecordSizeThatDoesNotMatchTheFields) {
    std::vector<uint8_t> b = good;
    Put16(b, 0, 100);
    uint32_t rows = 0;
    EXPECT_EQ(IDP_ERR_DAMAGED, OpenAndCount(b, rows));
    EXPECT_NE(std::string::npos, LastError().find("record size"));
}

TEST_F(DamageTest, LyingCountsAndLinks) {
    uint32_t rows = 0;
    std::vector<uint8_t> b = good;
    b[6] = b[7] = b[8] = 0xFF; // numRecords
    ASSERT_EQ(IDP_OK, OpenAndCount(b, rows));
    EXPECT_EQ(40u, rows);

    b = good;
    Put16(b, kHeader + kBlock, 1); // block 2 links back to block 1
    ASSERT_EQ(IDP_OK, OpenAndCount(b, rows));
    EXPECT_EQ(30u, rows);

    b = good;
    Put16(b, kHeader, 900); // block 1 links far past the end
    ASSERT_EQ(IDP_OK, OpenAndCount(b, rows));
    EXPECT_EQ(15u, rows);

    b = good;
    Put16(b, kHeader + 2 * kBlock + 4, 0x7FFF); // more rows than a block holds
    ASSERT_EQ(IDP_OK, OpenAndCount(b, rows));
    EXPECT_EQ(45u, rows);

    b = good;
    Put16(b, 0x0E, 0xFFFF); // first block outside the file
    ASSERT_EQ(IDP_OK, OpenAndCount(b, rows));
    EXPECT_EQ(0u, rows);

    b = good;
    b[0x21] = 200; // more fields than the header describes
    EXPECT_EQ(IDP_ERR_DAMAGED, OpenAndCount(b, rows));
}

// A keyed table whose rows are not in rising key order, or that holds a unique key twice,
// can only have come from a damaged file: its rows read, a new row is refused, and the
// integrity check names what is wrong.
void ExpectReadableButNotChangeable(const std::string& path, size_t rows,
                                    const std::string& named) {
    Table t(path);
    ASSERT_EQ(IDP_OK, t.Status());
    EXPECT_EQ(rows, t.All().size());
    ASSERT_EQ(IDP_OK, idpAppend(*t));
    ASSERT_EQ(IDP_OK, idpSetString(*t, 1, "new row"));
    EXPECT_EQ(IDP_ERR_DAMAGED, idpPost(*t));
    idpCancel(*t);
    EXPECT_NE(std::string::npos, idp::Table::Find(path)->CheckInvariants().find(named));
}

TEST(Damage, KeysOutOfOrderOrTwiceAreReadButNotChanged) {
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
    CreateTagTable(path);
    {
        Table t(path);
        for (const char* s : {"apple", "banana", "cherry"})
            ASSERT_EQ(IDP_OK, t.Add(s));
    }
    std::vector<uint8_t> b = ReadFile(path);
    std::swap_ranges(b.begin() + kHeader + 6, b.begin() + kHeader + 6 + kRecord,
                     b.begin() + kHeader + 6 + kRecord); // banana before apple
    WriteFile(path, b);
    ExpectReadableButNotChangeable(path, 3, "key");

    // "APPLE" and "apple" under an index that ignores case: the primary index of the
    // table they were written to did not.
    std::string twins = dir.Path("Twins.db");
    IdpIndexDesc byBytes[1] = {{"Tag", "TagText", IDP_IDX_PRIMARY | IDP_IDX_UNIQUE}};
    ASSERT_EQ(IDP_OK,
              idpCreateTable(twins.c_str(), tagline::kFieldCount, tagline::kFields, 1, byBytes));
    {
        Table t(twins);
        for (const char* s : {"APPLE", "apple"})
            ASSERT_EQ(IDP_OK, t.Add(s));
    }
    WriteFile(dir.Path("Twins.qix"), ReadFile(dir.Path("Tags.qix")));
    ExpectReadableButNotChangeable(twins, 2, "twice");
}

TEST(Damage, MemoPointingOutsideTheMbFile) {
    ScratchDir dir;
    std::string path = dir.Path("Memo.db");
    IdpFieldDesc fields[2] = {{"Name", IDP_FLD_ALPHA, 10, 0}, {"Note", IDP_FLD_MEMO, 20, 0}};
    ASSERT_EQ(IDP_OK, idpCreateTable(path.c_str(), 2, fields, 0, nullptr));
    {
        Table t(path);
        ASSERT_EQ(IDP_OK, idpAppend(*t));
        ASSERT_EQ(IDP_OK, idpSetString(*t, 1, "n"));
        ASSERT_EQ(IDP_OK, idpSetString(*t, 2, "short memo"));
        ASSERT_EQ(IDP_OK, idpPost(*t));
        ASSERT_EQ(IDP_OK, idpAppend(*t));
        EXPECT_EQ(IDP_ERR_UNSUPPORTED, idpSetString(*t, 2, std::string(40, 'm').c_str()));
        idpCancel(*t);
    }
    std::vector<uint8_t> b = ReadFile(path);
    size_t record = kHeader + 6;
    b[record + 10 + 20] = 0x00; // offset: an MB block far away
    b[record + 10 + 21] = 0x10;
    b[record + 10 + 22] = 0x00;
    b[record + 10 + 23] = 0x01;
    b[record + 10 + 24] = 0xE8; // length 1000: past the leader, so it must come from .MB
    b[record + 10 + 25] = 0x03;
    WriteFile(path, b);
    WriteFile(dir.Path("Memo.mb"), std::vector<uint8_t>(4096, 0));
    Table t(path);
    ASSERT_EQ(IDP_OK, t.Status());
    EXPECT_EQ("n", t.Text(1));
    char text[64];
    EXPECT_EQ(IDP_ERR_DAMAGED, idpGetString(*t, 2, text, sizeof text, nullptr, nullptr));
}

TEST(Damage, FailedWriteIsReportedAndEarlierRowsStay) {
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
    CreateTagTable(path);
    {
        Table t(path, IDP_OPEN_EXCLUSIVE);
        for (int i = 0; i < 10; ++i)
            ASSERT_EQ(IDP_OK, t.Add("kept " + std::to_string(i)));
        idp::os::fault::Arm(idp::os::fault::Mode::Fail, 0);
        EXPECT_EQ(IDP_ERR_IO, t.Add("lost"));
        EXPECT_NE(std::string::npos, LastError().find("Input/output error"));
        EXPECT_EQ(IDP_ERR_IO, t.Add("refused after a failure"));
        idp::os::fault::Disarm();
    }
    Table t(path);
    ASSERT_EQ(IDP_OK, t.Status());
    std::vector<std::string> rows = t.All();
    EXPECT_EQ(10u, rows.size());
}

TEST(Damage, FailedBatchMoveKeepsTheDestinationReadable) {
    ScratchDir dir;
    CreateTagTable(dir.Path("_temp.db"), false);
    CreateTagTable(dir.Path("Tags.db"));
    {
        Table temp(dir.Path("_temp.db"));
        for (int i = 0; i < 500; ++i)
            ASSERT_EQ(IDP_OK, temp.Add("new " + std::to_string(i)));
        Table tags(dir.Path("Tags.db"));
        for (int i = 0; i < 50; ++i)
            ASSERT_EQ(IDP_OK, tags.Add("old " + std::to_string(i)));
    }
    int failures = 0;
    for (long failAfter : {0L, 1L, 2L, 3L}) {
        uint32_t before = 0;
        IdpStatus s = IDP_OK;
        IdpMoveCounts c{};
        {
            Table temp(dir.Path("_temp.db"));
            Table tags(dir.Path("Tags.db"), IDP_OPEN_EXCLUSIVE);
            before = tags.Count();
            idp::os::fault::Arm(idp::os::fault::Mode::Fail, failAfter);
            s = idpBatchMove(*temp, *tags, IDP_MOVE_APPEND_UPDATE, nullptr, nullptr, nullptr, 0, 0,
                             &c);
            idp::os::fault::Disarm();
            tags.ExpectIntact();
        }
        EXPECT_EQ(500u, c.read);
        if (s == IDP_OK)
            continue;
        EXPECT_EQ(IDP_ERR_IO, s);
        ++failures;
        Table tags(dir.Path("Tags.db"));
        ASSERT_EQ(IDP_OK, tags.Status()) << LastError();
        EXPECT_GE(static_cast<uint32_t>(tags.All().size()), before) << failAfter;
    }
    EXPECT_GT(failures, 0);
}

} // namespace
