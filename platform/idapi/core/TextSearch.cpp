// Finding text in an alpha field: the rows are tried in the cursor's order from the one
// after it, and the first that holds the text ends the search, so a pass that lists every
// match (qtdb find) reads each row once. A keyed table's file lies in the order of its
// primary key, so a search in that order also goes through memory as the file does.
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "CodePage.h"
#include "Cursor.h"
#include "Status.h"
#include "TextFold.h"

namespace idp {

namespace {

// FoldByte as a table, for the inner loop.
const std::array<uint8_t, 256> kFold = [] {
    std::array<uint8_t, 256> map{};
    for (int c = 0; c < 256; ++c)
        map[static_cast<size_t>(c)] = FoldByte(static_cast<unsigned char>(c));
    return map;
}();

// Whether the folded needle occurs in an alpha field's text (its bytes up to the first
// NUL, at most width).
bool Contains(const uint8_t* field, size_t width, const std::string& needle) {
    const size_t n = needle.size();
    if (n == 0)
        return true;
    const auto* end = static_cast<const uint8_t*>(std::memchr(field, 0, width));
    const size_t length = end ? static_cast<size_t>(end - field) : width;
    const auto* wanted = reinterpret_cast<const uint8_t*>(needle.data());
    for (size_t i = 0; i + n <= length; ++i) {
        if (kFold[field[i]] != wanted[0])
            continue;
        size_t j = 1;
        while (j < n && kFold[field[i + j]] == wanted[j])
            ++j;
        if (j == n)
            return true;
    }
    return false;
}

} // namespace

bool Cursor::SearchText(uint16_t fieldNo, const std::string& text) {
    RequireBrowse();
    Resolve();
    const Field& f = FieldAt(fieldNo);
    if (f.type != IDP_FLD_ALPHA)
        throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f.name);
    const uint32_t rows = table_->RowCount();
    if (rows == 0)
        return false;
    // The text in the table's own characters; one the table's set lacks is in no row.
    std::string needle = AnsiToTable(text, table_->GetSchema().codePage);
    if (std::count(needle.begin(), needle.end(), '?') != std::count(text.begin(), text.end(), '?'))
        return false;
    for (char& c : needle)
        c = static_cast<char>(kFold[static_cast<unsigned char>(c)]);

    const uint32_t from = onRow_ ? Rank() + 1 : 0;
    const bool ranked = InIndexOrder();
    std::optional<uint32_t> near;
    for (uint32_t step = 0; step < rows; ++step) {
        const uint32_t rank = (from + step) % rows;
        const uint32_t seq =
            ranked ? table_->SeqAtRank(static_cast<size_t>(index_), rank, near) : rank;
        near = seq + 1;
        if (!Contains(table_->RowAt(seq) + f.offset, f.width, needle))
            continue;
        seq_ = seq;
        rank_ = rank;
        onRow_ = true;
        atFirst_ = false;
        eof_ = bof_ = false;
        return true;
    }
    return false;
}

} // namespace idp
