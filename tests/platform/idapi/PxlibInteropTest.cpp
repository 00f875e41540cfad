// Interoperability with pxlib, an independent Paradox reader and writer: it reads every
// row we write, and we read every field of the tables it writes.
extern "C" { // pxlib's header declares C functions without saying so
#include <paradox.h>
}

#include <cmath>
#include <cstring>
#include <set>

#include "TestTables.h"

using namespace idptest;

namespace {

// pxlib's document, deleted at the end of the scope.
struct PxDoc {
    pxdoc_t* doc = PX_new();
    ~PxDoc() {
        PX_close(doc);
        PX_delete(doc);
    }
    std::string Alpha(char* data, int len) {
        char* value = nullptr;
        if (PX_get_data_alpha(doc, data, len, &value) <= 0)
            return {};
        std::string s = value;
        doc->free(doc, value);
        return s;
    }
};

std::string Tagline(int i) {
    // Windows-1252 text: e acute, u diaeresis, pound sign, right single quote.
    static const char* words[] = {"caf\xE9",
                                  "\xFC"
                                  "ber",
                                  "\xA3"
                                  "10",
                                  "don\x92t", "plain"};
    return std::string(words[i % 5]) + " tagline number " + std::to_string(i);
}

TEST(PxlibInterop, PxlibReadsEveryRowWeWrite) {
    ScratchDir dir;
    std::string path = dir.Path("Tags.db");
    CreateTagTable(path);
    std::set<std::pair<std::string, long>> written;
    {
        Table t(path, IDP_OPEN_EXCLUSIVE);
        for (int i = 0; i < 1000; ++i) {
            ASSERT_EQ(IDP_OK, t.Add(Tagline((i * 7919) % 1000))) << LastError();
            written.insert({Tagline((i * 7919) % 1000), i + 1});
        }
    }
    PxDoc px;
    ASSERT_EQ(0, PX_open_file(px.doc, path.c_str()));
    ASSERT_EQ(1000, PX_get_num_records(px.doc));
    ASSERT_EQ(2, PX_get_num_fields(px.doc));
    pxfield_t* fields = PX_get_fields(px.doc);
    EXPECT_STREQ("TagText", fields[0].px_fname);
    EXPECT_EQ(pxfAlpha, fields[0].px_ftype);
    EXPECT_EQ(255, fields[0].px_flen);
    EXPECT_EQ(pxfAutoInc, fields[1].px_ftype);
    std::vector<char> data(static_cast<size_t>(PX_get_recordsize(px.doc)));
    std::set<std::pair<std::string, long>> read;
    std::string previous;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_NE(nullptr, PX_get_record(px.doc, i, data.data())) << i;
        long record = 0;
        ASSERT_EQ(1, PX_get_data_long(px.doc, data.data() + 255, 4, &record));
        std::string text = px.Alpha(data.data(), 255);
        EXPECT_LT(previous, text) << "rows are stored in key order";
        previous = text;
        read.insert({text, record});
    }
    EXPECT_EQ(written, read);
}

struct PxlibTable {
    ScratchDir dir;
    std::string path = dir.Path("Types.db");

    // Every field type pxlib writes, one full row and one blank row; memos of three sizes.
    void Write(const char* codePage = nullptr) {
        pxdoc_t* d = PX_new();
        struct Def {
            const char* name;
            char type;
            int len;
        } defs[] = {{"Alpha", pxfAlpha, 20},  {"Date", pxfDate, 4},      {"Short", pxfShort, 2},
                    {"Long", pxfLong, 4},     {"Money", pxfCurrency, 8}, {"Number", pxfNumber, 8},
                    {"Flag", pxfLogical, 1},  {"Time", pxfTime, 4},      {"Stamp", pxfTimestamp, 8},
                    {"Auto", pxfAutoInc, 4},  {"Bcd", pxfBCD, 17},       {"Bytes", pxfBytes, 6},
                    {"Memo", pxfMemoBLOb, 15}};
        const int n = sizeof defs / sizeof defs[0];
        auto* f = static_cast<pxfield_t*>(d->malloc(d, n * sizeof(pxfield_t), "test"));
        for (int i = 0; i < n; ++i)
            f[i] = {PX_strdup(d, defs[i].name), defs[i].type, defs[i].len,
                    defs[i].type == pxfBCD ? 2 : 0};
        ASSERT_EQ(0, PX_create_file(d, f, n, path.c_str(), pxfFileTypNonIndexDB));
        ASSERT_EQ(0, PX_set_blob_file(d, dir.Path("Types.mb").c_str()));
        std::string longMemo(3000, 'L');
        longMemo[0] = 'S';
        for (int row = 0; row < 4; ++row) {
            std::vector<char> rec(static_cast<size_t>(PX_get_recordsize(d)), 0);
            char* p = rec.data();
            if (row < 3) {
                PX_put_data_alpha(d, p, 20, const_cast<char*>("caf\xE9 \x80"));
                PX_put_data_long(d, p + 20, 4, PX_GregorianToSdn(1996, 5, 4) - 1721425);
                PX_put_data_short(d, p + 24, 2, -123);
                PX_put_data_long(d, p + 26, 4, -70000);
                PX_put_data_double(d, p + 30, 8, 12.5);
                PX_put_data_double(d, p + 38, 8, -3.25);
                PX_put_data_byte(d, p + 46, 1, 1);
                PX_put_data_long(d, p + 47, 4, 3600000 + 1500);
                PX_put_data_double(d, p + 51, 8, (693594.0 + 35189.5) * 86400000.0);
                PX_put_data_long(d, p + 59, 4, row + 1);
                PX_put_data_bcd(d, p + 63, 2, const_cast<char*>("-123.45"));
                PX_put_data_bytes(d, p + 80, 6, const_cast<char*>("\x01\x02\x03\x00\x05\x06"));
                std::string memo = row == 0 ? "tiny" : row == 1 ? std::string(40, 'm') : longMemo;
                ASSERT_EQ(
                    0, PX_put_data_blob(d, p + 86, 15, memo.data(), static_cast<int>(memo.size())));
            }
            ASSERT_GE(PX_put_record(d, rec.data()), 0);
        }
        PX_close(d);
        PX_delete(d);
        if (codePage) { // declare another code page in the header, as a DOS program would
            std::vector<uint8_t> b = ReadFile(path);
            uint16_t cp = static_cast<uint16_t>(std::stoi(codePage));
            b[0x6A] = static_cast<uint8_t>(cp);
            b[0x6B] = static_cast<uint8_t>(cp >> 8);
            WriteFile(path, b);
        }
    }
};

TEST(PxlibInterop, WeReadEveryFieldPxlibWrites) {
    PxlibTable px;
    ASSERT_NO_FATAL_FAILURE(px.Write());
    Table t(px.path);
    ASSERT_EQ(IDP_OK, t.Status()) << LastError();
    ASSERT_EQ(4u, t.Count());
    ASSERT_EQ(IDP_OK, idpFirst(*t));
    EXPECT_EQ("caf\xE9 \x80", t.Text(1));
    double v = 0;
    ASSERT_EQ(IDP_OK, idpGetDateTime(*t, 2, &v, nullptr));
    EXPECT_EQ(35189.0, v); // 4 May 1996
    EXPECT_EQ(-123, t.Integer(3));
    EXPECT_EQ(-70000, t.Integer(4));
    ASSERT_EQ(IDP_OK, idpGetDouble(*t, 5, &v, nullptr));
    EXPECT_EQ(12.5, v);
    ASSERT_EQ(IDP_OK, idpGetDouble(*t, 6, &v, nullptr));
    EXPECT_EQ(-3.25, v);
    uint16_t flag = 0;
    ASSERT_EQ(IDP_OK, idpGetBoolean(*t, 7, &flag, nullptr));
    EXPECT_EQ(1, flag);
    ASSERT_EQ(IDP_OK, idpGetDateTime(*t, 8, &v, nullptr));
    EXPECT_NEAR((3600000.0 + 1500) / 86400000.0, v, 1e-12);
    ASSERT_EQ(IDP_OK, idpGetDateTime(*t, 9, &v, nullptr));
    EXPECT_NEAR(35189.5, v, 1e-9);
    EXPECT_EQ(1, t.Integer(10));
    ASSERT_EQ(IDP_OK, idpGetDouble(*t, 11, &v, nullptr));
    EXPECT_NEAR(-123.45, v, 1e-9);
    char bytes[8];
    uint32_t length = 0;
    ASSERT_EQ(IDP_OK, idpGetBytes(*t, 12, bytes, sizeof bytes, &length, nullptr));
    ASSERT_EQ(6u, length);
    EXPECT_EQ(0, std::memcmp(bytes, "\x01\x02\x03\x00\x05\x06", 6));
    EXPECT_EQ("tiny", t.Text(13));
    ASSERT_EQ(IDP_OK, idpNext(*t));
    EXPECT_EQ(std::string(40, 'm'), t.Text(13));
    ASSERT_EQ(IDP_OK, idpNext(*t));
    std::string longMemo = t.Text(13);
    EXPECT_EQ(3000u, longMemo.size());
    EXPECT_EQ('S', longMemo[0]);
    EXPECT_EQ(3, t.Integer(10));
    ASSERT_EQ(IDP_OK, idpNext(*t)); // the blank row
    for (uint16_t f = 1; f <= 13; ++f) {
        uint16_t blank = 0;
        ASSERT_EQ(IDP_OK, idpIsBlank(*t, f, &blank));
        EXPECT_EQ(1, blank) << f;
    }
}

TEST(PxlibInterop, AnotherCodePageIsConvertedOnRead) {
    PxlibTable px;
    ASSERT_NO_FATAL_FAILURE(px.Write("850"));
    Table t(px.path);
    ASSERT_EQ(IDP_OK, idpFirst(*t));
    // In code page 850, 0xE9 is U with acute (U+00DA, 0xDA in 1252) and 0x80 is C cedilla.
    EXPECT_EQ("caf\xDA \xC7", t.Text(1));
}

TEST(PxlibInterop, WeAppendToAPxlibTableAndPxlibStillReadsIt) {
    PxlibTable px;
    ASSERT_NO_FATAL_FAILURE(px.Write());
    {
        Table t(px.path);
        ASSERT_EQ(IDP_OK, idpAppend(*t));
        ASSERT_EQ(IDP_OK, idpSetString(*t, 1, "added"));
        ASSERT_EQ(IDP_OK, idpSetInteger(*t, 3, 5));
        ASSERT_EQ(IDP_OK, idpPost(*t)) << LastError();
        EXPECT_EQ(4, t.Integer(10)); // numbered past pxlib's highest value
    }
    PxDoc doc;
    ASSERT_EQ(0, PX_open_file(doc.doc, px.path.c_str()));
    ASSERT_EQ(5, PX_get_num_records(doc.doc));
    std::vector<char> data(static_cast<size_t>(PX_get_recordsize(doc.doc)));
    ASSERT_NE(nullptr, PX_get_record(doc.doc, 4, data.data()));
    EXPECT_EQ("added", doc.Alpha(data.data(), 20));
    short s = 0;
    ASSERT_EQ(1, PX_get_data_short(doc.doc, data.data() + 24, 2, &s));
    EXPECT_EQ(5, s);
}

} // namespace
