// The damages of the corpus, each applied to the bytes of a healthy table's files.
#include "DamagedTables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "TestTables.h"
#include "core/Bytes.h"
#include "core/FileLayout.h"
#include "core/TablePath.h"
#include "idapi.h"

namespace tutiltest {

namespace {

using Bytes = std::vector<uint8_t>;
namespace L = idp::layout;

uint16_t U16(const Bytes& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

size_t BlockAt(const Bytes& db, uint16_t n) {
    const size_t bs = db[L::kBlockCode] * 1024u;
    return U16(db, L::kHeaderSize) + (n - 1u) * bs;
}

// Changes the .db's bytes in place.
std::function<void(const std::string&)> Edit(std::function<void(Bytes&)> change) {
    return [change](const std::string& db) {
        Bytes bytes = idptest::ReadFile(db);
        change(bytes);
        idptest::WriteFile(db, bytes);
    };
}

std::string Px(const std::string& db) {
    return idp::CompanionPath(db, "PX");
}

} // namespace

void MakeTagTable(const std::string& path, int rows, bool keyed) {
    idptest::CreateTagTable(path, keyed);
    idptest::Table t(path, IDP_OPEN_EXCLUSIVE);
    ASSERT_EQ(IDP_OK, t.Status());
    char text[32];
    for (int i = 0; i < rows; ++i) {
        std::snprintf(text, sizeof text, "Tagline %05d", i);
        ASSERT_EQ(IDP_OK, t.Add(text));
    }
}

void CopyTable(const std::string& fromDb, const std::string& toDb) {
    namespace fs = std::filesystem;
    fs::copy_file(fromDb, toDb, fs::copy_options::overwrite_existing);
    for (const std::string& c : idp::ExistingCompanions(fromDb)) {
        std::string ext = fs::path(c).extension().string().substr(1);
        fs::copy_file(c, idp::CompanionPath(toDb, ext), fs::copy_options::overwrite_existing);
    }
}

std::vector<Damage> Corpus() {
    std::vector<Damage> d;
    d.push_back(
        {"truncated", 2, 206, {11}, Edit([](Bytes& b) { b.resize(BlockAt(b, 11) + 1000); })});
    d.push_back({"link_outside", 2, 201, {}, Edit([](Bytes& b) {
                     idp::PutU16(&b[BlockAt(b, 5) + L::kBlockNext], 9999);
                 })});
    d.push_back({"link_cycle", 2, 202, {}, Edit([](Bytes& b) {
                     idp::PutU16(&b[BlockAt(b, 7) + L::kBlockNext], 3);
                 })});
    d.push_back(
        {"record_count", 1, 101, {}, Edit([](Bytes& b) { idp::PutU32(&b[L::kNumRecords], 5); })});
    d.push_back({"fill_past_block", 2, 204, {4}, Edit([](Bytes& b) {
                     idp::PutU16(&b[BlockAt(b, 4) + L::kBlockLastOffset], 0x7000);
                 })});
    d.push_back({"equal_keys", 2, 208, {3}, Edit([](Bytes& b) {
                     const size_t rs = U16(b, L::kRecordSize),
                                  row = BlockAt(b, 3) + L::kBlockHeader;
                     std::memcpy(&b[row + rs], &b[row], rs);
                 })});
    d.push_back({"keys_out_of_order", 2, 207, {}, Edit([](Bytes& b) {
                     const size_t rs = U16(b, L::kRecordSize),
                                  row = BlockAt(b, 6) + L::kBlockHeader;
                     std::vector<uint8_t> first(b.begin() + row, b.begin() + row + rs);
                     std::memcpy(&b[row], &b[row + rs], rs);
                     std::memcpy(&b[row + rs], first.data(), rs);
                 })});
    d.push_back({"unknown_code_page", 1, 107, {}, Edit([](Bytes& b) {
                     idp::PutU16(&b[L::kCodePage], 4321);
                 })});
    d.push_back({"repeated_unique_value", 2, 211, {5}, Edit([](Bytes& b) {
                     // The second row takes the first's Record, which RecNo holds uniquely.
                     const size_t rs = U16(b, L::kRecordSize),
                                  row = BlockAt(b, 5) + L::kBlockHeader;
                     std::memcpy(&b[row + 2 * rs - 4], &b[row + rs - 4], 4);
                 })});
    d.push_back({"keys_differing_in_case", 2, 211, {1}, Edit([](Bytes& b) {
                     // The key ignores case: "TAGLINE 00001" before "Tagline 00001" keeps
                     // the byte order but holds that key twice.
                     std::memcpy(&b[BlockAt(b, 1) + L::kBlockHeader], "TAGLINE 00001", 13);
                 })});
    d.push_back({"stale_px", 1, 103, {}, [](const std::string& db) {
                     // The first block's row count from before its last row came: the low
                     // byte of the count after the first entry's key.
                     Bytes px = idptest::ReadFile(Px(db));
                     const size_t key = U16(px, L::kRecordSize) - L::kIndexTrailer;
                     --px[U16(px, L::kHeaderSize) + L::kBlockHeader + key + L::kIndexCount + 1];
                     idptest::WriteFile(Px(db), px);
                 }});
    d.push_back(
        {"missing_px", 1, 103, {}, [](const std::string& db) { std::filesystem::remove(Px(db)); }});
    d.push_back(
        {"autoinc_below", 1, 105, {}, Edit([](Bytes& b) { idp::PutU32(&b[L::kAutoInc], 3); })});
    d.push_back({"impossible_value", 2, 209, {2}, Edit([](Bytes& b) {
                     b[BlockAt(b, 2) + L::kBlockHeader + 200] = 'X'; // after the text's NUL
                 })});
    d.push_back(
        {"damaged_field_table", 3, 302, {}, Edit([](Bytes& b) { b[L::kExtensionEnd] = 0x7F; })});
    d.push_back({"control_in_field_name", 3, 302, {}, Edit([](Bytes& b) {
                     // "Tag\next": the names follow the field types, the name pointers and
                     // the table name.
                     const size_t fields = U16(b, L::kNumFields);
                     b[L::kExtensionEnd + 6 * fields + 4 + 261 + 3] = '\n';
                 })});
    d.push_back({"password", 3, 301, {}, Edit([](Bytes& b) {
                     idp::PutU32(&b[L::kEncryption4], 0x12345678);
                 })});
    d.push_back({"destroyed_header", 4, 401, {}, Edit([](Bytes& b) {
                     std::memset(b.data(), 0xAA, 0x80);
                 })});
    d.push_back({"zero_length", 4, 401, {}, Edit([](Bytes& b) { b.clear(); })});
    d.push_back({"not_a_table", 4, 401, {}, Edit([](Bytes& b) {
                     std::string text;
                     for (int i = 0; i < 100; ++i)
                         text += "This is a text file, not a table.\n";
                     b.assign(text.begin(), text.end());
                 })});
    return d;
}

} // namespace tutiltest
