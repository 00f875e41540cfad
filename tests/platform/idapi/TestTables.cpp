// Test helpers (see TestTables.h).
#include "TestTables.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/Table.h"
#include "taglinedb/TaglineSchema.h"

namespace idptest {

ScratchDir::ScratchDir() {
    char pattern[] = "/tmp/idapi-test-XXXXXX";
    dir_ = ::mkdtemp(pattern);
}

ScratchDir::~ScratchDir() {
    std::filesystem::remove_all(dir_);
}

std::string LastError() {
    char text[512];
    IdpStatus status;
    idpGetLastError(&status, text, sizeof text);
    return text;
}

void CreateTagTable(const std::string& path, bool withIndexes) {
    ASSERT_EQ(IDP_OK, idpCreateTable(path.c_str(), tagline::kFieldCount, tagline::kFields,
                                     withIndexes ? tagline::kIndexCount : 0, tagline::kIndexes))
        << LastError();
}

Table::Table(const std::string& path, uint16_t mode) : path_(path) {
    status_ = idpOpenTable(path.c_str(), mode, &cursor_);
}

Table::~Table() {
    if (cursor_)
        idpCloseTable(cursor_);
}

IdpStatus Table::Add(const std::string& text) {
    if (IdpStatus s = idpAppend(cursor_))
        return s;
    if (IdpStatus s = idpSetString(cursor_, 1, text.c_str())) {
        idpCancel(cursor_);
        return s;
    }
    IdpStatus s = idpPost(cursor_);
    if (s)
        idpCancel(cursor_);
    ExpectIntact();
    return s;
}

IdpStatus Table::Edit(const std::string& text) {
    if (IdpStatus s = idpEdit(cursor_))
        return s;
    IdpStatus s = idpSetString(cursor_, 1, text.c_str());
    if (s == IDP_OK)
        s = idpPost(cursor_);
    if (s)
        idpCancel(cursor_);
    ExpectIntact();
    return s;
}

IdpStatus Table::Delete() {
    IdpStatus s = idpDelete(cursor_);
    ExpectIntact();
    return s;
}

void Table::ExpectIntact() const {
    std::shared_ptr<idp::Table> open = idp::Table::Find(path_);
    ASSERT_NE(nullptr, open) << path_;
    EXPECT_EQ("", open->CheckInvariants()) << path_;
}

std::string Table::Text(uint16_t field) {
    // Ask for the length first, as a caller with a small buffer would.
    char probe[1];
    uint32_t length = 0;
    IdpStatus s = idpGetString(cursor_, field, probe, sizeof probe, &length, nullptr);
    EXPECT_TRUE(s == IDP_OK || s == IDP_ERR_BUFFER_SMALL) << LastError();
    std::string text(length + 1, '\0');
    EXPECT_EQ(IDP_OK, idpGetString(cursor_, field, text.data(), length + 1, nullptr, nullptr));
    text.resize(length);
    return text;
}

int32_t Table::Integer(uint16_t field) {
    int32_t v = 0;
    EXPECT_EQ(IDP_OK, idpGetInteger(cursor_, field, &v, nullptr)) << LastError();
    return v;
}

uint32_t Table::Count() {
    uint32_t n = 0;
    idpGetRecordCount(cursor_, &n);
    return n;
}

std::vector<std::string> Table::All() {
    std::vector<std::string> rows;
    for (IdpStatus s = idpFirst(cursor_); s == IDP_OK; s = idpNext(cursor_))
        rows.push_back(Text());
    return rows;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace idptest
