// Finding text in an alpha field: the first row in the cursor's order from the one after
// it that holds the text, coming round to the first. In an index's order one pass finds
// every match and keeps their ranks, so a search made again for the next match (qtdb find)
// reads no row again. In file order (and a keyed table's file lies in
// the order of its primary key) the blocks are read a run at a time and none is kept, so a
// search through a large table holds little of it.
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "Bytes.h"
#include "CodePage.h"
#include "Cursor.h"
#include "Status.h"
#include "TextFold.h"

namespace idp {

namespace {

// Whether the folded needle occurs in an alpha field's text (its bytes up to the first
// NUL, at most width).
bool Contains(const uint8_t* field, size_t width, const std::string& needle) {
    const size_t n = needle.size();
    if (n == 0)
        return true;
    const size_t length = TextLength(field, width);
    const auto* wanted = reinterpret_cast<const uint8_t*>(needle.data());
    for (size_t i = 0; i + n <= length; ++i) {
        if (kFoldTable[field[i]] != wanted[0])
            continue;
        size_t j = 1;
        while (j < n && kFoldTable[field[i + j]] == wanted[j])
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
        c = static_cast<char>(kFoldTable[static_cast<unsigned char>(c)]);

    const uint32_t from = onRow_ ? Rank() + 1 : 0;
    const auto holds = [&](const uint8_t* row) {
        return Contains(row + f.offset, f.width, needle);
    };
    std::optional<uint32_t> seq, rank;
    if (!InIndexOrder()) {
        seq = table_->FindRow(from % rows, holds);
        rank = seq;
    } else {
        // The matches' ranks, from one pass in file order, serve every search for the same
        // text until the rows change, so listing every match reads the table once.
        const auto index = static_cast<size_t>(index_);
        if (hits_.generation != table_->Generation() || hits_.index != index ||
            hits_.field != fieldNo || hits_.needle != needle) {
            const std::vector<uint32_t>& ranks = table_->Ranks(index);
            const size_t rs = table_->GetSchema().recordSize;
            std::vector<uint32_t> found;
            uint32_t at = 0;
            table_->ForEachBlock([&](size_t, const uint8_t* block, uint16_t count) {
                for (uint16_t r = 0; r < count; ++r, ++at)
                    if (holds(block + r * rs))
                        found.push_back(ranks[at]);
                return true;
            });
            std::sort(found.begin(), found.end());
            hits_ = {table_->Generation(), index, fieldNo, needle, std::move(found)};
        }
        if (!hits_.ranks.empty()) {
            auto next = std::lower_bound(hits_.ranks.begin(), hits_.ranks.end(), from % rows);
            rank = next != hits_.ranks.end() ? *next : hits_.ranks.front();
            seq = table_->SeqAtRank(index, *rank);
        }
    }
    if (!seq)
        return false;
    seq_ = *seq;
    rank_ = *rank;
    onRow_ = true;
    atFirst_ = false;
    eof_ = bof_ = false;
    return true;
}

} // namespace idp
