// The engine's C API behind qtdb's cursor and errors.
#include "qtdb/Engine.h"

#include "framework/rules/RandomPick.h"
#include "taglinedb/TaglineSchema.h"

namespace qtdb {

namespace {

// The engine's text for its last failure, on one line.
std::string LastError(IdpStatus status) {
    char text[512] = {};
    IdpStatus last = IDP_OK;
    if (idpGetLastError(&last, text, sizeof text) != IDP_OK || last != status || !text[0])
        idpGetErrorText(status, text, sizeof text);
    std::string line = text;
    for (char& c : line)
        if (c == '\r' || c == '\n')
            c = ' ';
    std::string folded;
    for (char c : line)
        if (c != ' ' || folded.empty() || folded.back() != ' ')
            folded += c;
    return folded;
}

} // namespace

void Check(IdpStatus status, const std::string& file) {
    if (status != IDP_OK)
        throw Error(file + ": " + LastError(status));
}

Cursor::Cursor(const std::string& table, bool exclusive) : table_(table) {
    Check(idpOpenTable(table.c_str(), exclusive ? IDP_OPEN_EXCLUSIVE : IDP_OPEN_SHARED, &cursor_));
}

Cursor::~Cursor() {
    if (cursor_)
        idpCloseTable(cursor_);
}

void Cursor::Close() {
    IdpCursor cursor = cursor_;
    cursor_ = nullptr;
    Check(idpCloseTable(cursor));
}

uint32_t Cursor::RecordCount() const {
    uint32_t count = 0;
    Check(idpGetRecordCount(cursor_, &count));
    return count;
}

std::string Cursor::TagText() const {
    uint16_t field = 0;
    Check(idpFindField(cursor_, "TagText", &field));
    char text[1024] = {};
    uint32_t length = 0;
    uint16_t blank = 0;
    Check(idpGetString(cursor_, field, text, sizeof text, &length, &blank));
    return blank ? std::string() : std::string(text);
}

std::string RandomTagline(const std::string& table, uint32_t seed) {
    Cursor rows(table, false);
    rows.Check(idpSetFileOrder(rows.Handle()));
    const uint32_t count = rows.RecordCount();
    if (count == 0)
        throw Error(table + ": holds no taglines");
    rows.Check(idpSetSeqNo(rows.Handle(),
                           static_cast<uint32_t>(rules::RandomRow(seed, static_cast<int>(count)))));
    return rows.TagText();
}

void CreateTaglineTable(const std::string& table) {
    Check(idpCreateTable(table.c_str(), tagline::kFieldCount, tagline::kFields,
                         tagline::kIndexCount, tagline::kIndexes),
          table);
}

std::string ScratchFolder() {
    IdpSession session = nullptr;
    Check(idpGetDefaultSession(&session), "the engine's session");
    char dir[IDP_MAX_PATH] = {};
    Check(idpGetPrivateDir(session, dir, sizeof dir), "the engine's private folder");
    return dir;
}

} // namespace qtdb
