// Cursor movement, editing and field access. A cursor remembers its row by position in
// the file's order; when another cursor of this process changes the table, the position
// is kept as far as the table still reaches.
#include "Cursor.h"

#include <cmath>
#include <cstring>

#include "CodePage.h"
#include "FieldCodec.h"
#include "Status.h"
#include "TextFold.h"

namespace idp {

Cursor::Cursor(std::shared_ptr<Table> table) : table_(std::move(table)) {
    if (table_->GetSchema().Keyed())
        index_ = 0;
    Rewind();
}

void Cursor::Rewind() {
    generation_ = table_->Generation();
    onRow_ = false;
    atFirst_ = table_->RowCount() > 0;
    bof_ = true;
    eof_ = !atFirst_;
}

void Cursor::Resolve() {
    Revalidate();
    if (!atFirst_)
        return;
    atFirst_ = false;
    if (table_->RowCount() > 0)
        MoveToRank(0);
}

Cursor::~Cursor() = default;

void Cursor::Close() {
    if (table_.use_count() == 1)
        table_->Flush(true);
}

bool Cursor::InIndexOrder() const {
    return index_ >= 0 && !table_->IsFileOrder(index_);
}

const IndexDef* Cursor::CurrentIndex() const {
    return index_ >= 0 ? &table_->Indexes()[static_cast<size_t>(index_)] : nullptr;
}

void Cursor::SetIndexByName(const std::string& name) {
    RequireBrowse();
    const auto& indexes = table_->Indexes();
    int found = -1;
    if (name.empty()) {
        found = table_->GetSchema().Keyed() ? 0 : -1;
    } else {
        for (size_t i = 0; i < indexes.size() && found < 0; ++i)
            if (SameName(indexes[i].name, name))
                found = static_cast<int>(i);
        if (found < 0)
            throw EngineError(IDP_ERR_NO_SUCH_INDEX, "Index: " + name);
    }
    if (found >= 0 && indexes[static_cast<size_t>(found)].Expression())
        throw EngineError(IDP_ERR_UNSUPPORTED, "Index: " + name);
    index_ = found;
    keyFields_ = 0;
    rank_.reset();
}

void Cursor::SetFileOrder() {
    RequireBrowse();
    index_ = -1;
    keyFields_ = 0;
    rank_.reset();
}

void Cursor::SetIndexByFields(const std::string& fieldNames) {
    RequireBrowse();
    if (fieldNames.empty()) {
        SetIndexByName("");
        return;
    }
    std::vector<int> wanted;
    if (!ResolveFields(table_->GetSchema(), fieldNames, wanted))
        throw EngineError(IDP_ERR_NO_SUCH_INDEX, "Fields: " + fieldNames);
    const auto& indexes = table_->Indexes();
    int prefix = -1;
    for (size_t i = 0; i < indexes.size(); ++i) {
        const IndexDef& d = indexes[i];
        if (d.Expression() || d.Descending() || d.fields.size() < wanted.size())
            continue;
        if (!std::equal(wanted.begin(), wanted.end(), d.fields.begin()))
            continue;
        if (d.fields.size() == wanted.size()) {
            index_ = static_cast<int>(i);
            keyFields_ = 0;
            rank_.reset();
            return;
        }
        if (prefix < 0)
            prefix = static_cast<int>(i);
    }
    if (prefix < 0)
        throw EngineError(IDP_ERR_NO_SUCH_INDEX, "Fields: " + fieldNames);
    index_ = prefix;
    keyFields_ = wanted.size(); // keys name only the fields asked for
    rank_.reset();
}

void Cursor::Revalidate() {
    if (generation_ == table_->Generation())
        return;
    generation_ = table_->Generation();
    rank_.reset();
    uint32_t rows = table_->RowCount();
    if (rows == 0)
        onRow_ = atFirst_ = false;
    else if (onRow_ && seq_ >= rows)
        seq_ = rows - 1;
}

uint32_t Cursor::Rank() {
    if (!InIndexOrder())
        return seq_;
    if (!rank_)
        rank_ = table_->RankOf(static_cast<size_t>(index_), seq_);
    return *rank_;
}

void Cursor::MoveToRank(uint32_t rank, std::optional<uint32_t> near) {
    seq_ = InIndexOrder() ? table_->SeqAtRank(static_cast<size_t>(index_), rank, near) : rank;
    rank_ = rank;
    onRow_ = true;
}

bool Cursor::First() {
    Revalidate();
    atFirst_ = false;
    eof_ = false;
    bof_ = true;
    if (table_->RowCount() == 0) {
        onRow_ = false;
        eof_ = true;
        return false;
    }
    MoveToRank(0);
    return true;
}

bool Cursor::Last() {
    Revalidate();
    atFirst_ = false;
    eof_ = true;
    bof_ = false;
    if (table_->RowCount() == 0) {
        onRow_ = false;
        bof_ = true;
        return false;
    }
    MoveToRank(table_->RowCount() - 1);
    return true;
}

bool Cursor::Next() {
    RequireBrowse();
    Resolve();
    if (!onRow_) {
        eof_ = true;
        return false;
    }
    uint32_t rank = Rank();
    if (rank + 1 >= table_->RowCount()) {
        eof_ = true;
        return false;
    }
    MoveToRank(rank + 1, seq_ + 1);
    eof_ = bof_ = false;
    return true;
}

bool Cursor::Prior() {
    RequireBrowse();
    Resolve();
    if (!onRow_) {
        bof_ = true;
        return false;
    }
    uint32_t rank = Rank();
    if (rank == 0) {
        bof_ = true;
        return false;
    }
    MoveToRank(rank - 1, seq_ > 0 ? std::optional<uint32_t>(seq_ - 1) : std::nullopt);
    eof_ = bof_ = false;
    return true;
}

uint32_t Cursor::SeqNo() {
    Resolve();
    return onRow_ ? Rank() + 1 : 0;
}

void Cursor::SetSeqNo(uint32_t seqNo) {
    RequireBrowse();
    Revalidate();
    atFirst_ = false;
    if (seqNo == 0 || seqNo > table_->RowCount())
        throw EngineError(IDP_ERR_BAD_PARAM, "Position: " + std::to_string(seqNo));
    MoveToRank(seqNo - 1);
    eof_ = bof_ = false;
}

void Cursor::Refresh() {
    RequireBrowse();
    if (table_.use_count() == 1)
        table_->Reload();
    generation_ = ~uint64_t{0};
    Resolve();
    if (!onRow_)
        First();
}

void Cursor::RequireBrowse() const {
    if (state_ != IDP_STATE_BROWSE)
        throw EngineError(IDP_ERR_IN_USE, "The cursor has a pending edit or key.");
}

void Cursor::Append() {
    RequireBrowse();
    buffer_.assign(table_->GetSchema().recordSize, 0);
    insertBefore_.reset();
    state_ = IDP_STATE_INSERT;
}

void Cursor::Insert() {
    RequireBrowse();
    Resolve();
    buffer_.assign(table_->GetSchema().recordSize, 0);
    insertBefore_.reset();
    if (onRow_)
        insertBefore_ = seq_;
    state_ = IDP_STATE_INSERT;
}

void Cursor::Edit() {
    RequireBrowse();
    Resolve();
    if (table_->RowCount() == 0) {
        Append();
        return;
    }
    if (!onRow_)
        throw EngineError(IDP_ERR_NO_RECORD);
    const uint8_t* row = table_->RowAt(seq_);
    buffer_.assign(row, row + table_->GetSchema().recordSize);
    original_ = buffer_;
    state_ = IDP_STATE_EDIT;
}

void Cursor::Post() {
    if (state_ != IDP_STATE_EDIT && state_ != IDP_STATE_INSERT)
        throw EngineError(IDP_ERR_NOT_EDITING);
    const Schema& s = table_->GetSchema();
    for (const Field& f : s.fields)
        if (f.required && f.type != IDP_FLD_AUTOINC && IsBlankField(&buffer_[f.offset], f))
            throw EngineError(IDP_ERR_REQUIRED, "Field: " + f.name);
    if (state_ == IDP_STATE_INSERT) {
        for (const Field& f : s.fields)
            if (f.type == IDP_FLD_AUTOINC)
                EncodeInteger(&buffer_[f.offset], 4, table_->NextAutoInc());
        seq_ = table_->Insert(buffer_.data(), insertBefore_);
        rank_.reset();
    } else {
        Revalidate();
        if (!onRow_ || std::memcmp(table_->RowAt(seq_), original_.data(), s.recordSize) != 0) {
            // Another cursor moved rows: find the edited row again by its contents.
            bool found = false;
            for (uint32_t i = 0; i < table_->RowCount() && !found; ++i)
                if (std::memcmp(table_->RowAt(i), original_.data(), s.recordSize) == 0) {
                    seq_ = i;
                    rank_.reset();
                    found = true;
                }
            if (!found)
                throw EngineError(IDP_ERR_NO_RECORD, "The row being edited was deleted.");
        }
        // A row posted as it was keeps the cursor's place, which matters when every row of
        // a table is posted in turn.
        const bool same = std::memcmp(table_->RowAt(seq_), buffer_.data(), s.recordSize) == 0;
        seq_ = table_->Update(seq_, buffer_.data());
        if (!same)
            rank_.reset();
    }
    state_ = IDP_STATE_BROWSE;
    onRow_ = true;
    atFirst_ = false;
    eof_ = bof_ = false;
    generation_ = table_->Generation();
    table_->Flush(false);
}

void Cursor::Cancel() {
    if (state_ == IDP_STATE_SETKEY)
        state_ = stateBeforeKey_;
    else
        state_ = IDP_STATE_BROWSE;
}

void Cursor::Delete() {
    RequireBrowse();
    Resolve();
    if (!onRow_)
        throw EngineError(IDP_ERR_NO_RECORD);
    uint32_t rank = Rank();
    table_->Erase(seq_, InIndexOrder()
                            ? std::optional<Table::Ranked>({static_cast<size_t>(index_), rank})
                            : std::nullopt);
    generation_ = table_->Generation();
    rank_.reset();
    uint32_t rows = table_->RowCount();
    if (rows == 0) {
        onRow_ = false;
        eof_ = bof_ = true;
    } else {
        MoveToRank(rank < rows ? rank : rows - 1, seq_); // most often the row that moved up
    }
    table_->Flush(false);
}

void Cursor::SetKey() {
    RequireBrowse();
    if (index_ < 0)
        throw EngineError(IDP_ERR_NO_SUCH_INDEX, "The table has no index to search.");
    key_.assign(table_->GetSchema().recordSize, 0);
    stateBeforeKey_ = state_;
    state_ = IDP_STATE_SETKEY;
}

bool Cursor::GotoKey() {
    if (state_ != IDP_STATE_SETKEY)
        throw EngineError(IDP_ERR_NOT_EDITING, "The cursor is not in key mode.");
    state_ = stateBeforeKey_;
    try {
        return LookUpKey();
    } catch (const StructureChanged&) {
        state_ = IDP_STATE_SETKEY; // the lookup is made again with the key as it was
        throw;
    }
}

bool Cursor::LookUpKey() {
    Revalidate();
    const IndexDef& full = table_->Indexes()[static_cast<size_t>(index_)];
    std::optional<uint32_t> hit;
    if (full.Primary() && keyFields_ == 0) {
        hit = table_->FindByPrimary(key_.data());
    } else {
        // A key over the first fields only: any row whose first fields match, the first
        // of them in index order.
        IndexDef d = full;
        if (keyFields_ > 0)
            d.fields.resize(keyFields_);
        std::string target = table_->IndexKey(key_.data(), d);
        hit = table_->FindKey(d, target);
        if (hit && (keyFields_ > 0 || !d.Unique()) && !table_->IsFileOrder(index_)) {
            uint32_t best = table_->RankOf(static_cast<size_t>(index_), *hit);
            for (uint32_t seq = *hit + 1; seq < table_->RowCount(); ++seq)
                if (table_->IndexKey(table_->RowAt(seq), d) == target) {
                    uint32_t rank = table_->RankOf(static_cast<size_t>(index_), seq);
                    if (rank < best) {
                        best = rank;
                        hit = seq;
                    }
                }
        }
    }
    if (!hit)
        return false;
    seq_ = *hit;
    rank_.reset();
    onRow_ = true;
    atFirst_ = false;
    eof_ = bof_ = false;
    return true;
}

const Field& Cursor::FieldAt(uint16_t fieldNo) const {
    const auto& fields = table_->GetSchema().fields;
    if (fieldNo == 0 || fieldNo > fields.size())
        throw EngineError(IDP_ERR_NO_SUCH_FIELD, "Field number: " + std::to_string(fieldNo));
    return fields[fieldNo - 1u];
}

const uint8_t* Cursor::ReadRecord() {
    if (state_ == IDP_STATE_EDIT || state_ == IDP_STATE_INSERT)
        return buffer_.data();
    if (state_ == IDP_STATE_SETKEY)
        return key_.data();
    Resolve();
    if (!onRow_)
        throw EngineError(IDP_ERR_NO_RECORD);
    return table_->RowAt(seq_);
}

uint8_t* Cursor::WriteField(uint16_t fieldNo, const Field*& field) {
    field = &FieldAt(fieldNo);
    uint8_t* record = nullptr;
    if (state_ == IDP_STATE_EDIT || state_ == IDP_STATE_INSERT)
        record = buffer_.data();
    else if (state_ == IDP_STATE_SETKEY)
        record = key_.data();
    else
        throw EngineError(IDP_ERR_NOT_EDITING);
    if (field->type == IDP_FLD_AUTOINC && state_ != IDP_STATE_SETKEY)
        throw EngineError(IDP_ERR_UNSUPPORTED,
                          "Field: " + field->name + "\r\nThe engine numbers autoincrement fields.");
    return record + field->offset;
}

bool Cursor::IsBlank(uint16_t fieldNo) {
    const Field& f = FieldAt(fieldNo);
    return IsBlankField(ReadRecord() + f.offset, f);
}

std::string Cursor::GetText(uint16_t fieldNo) {
    const Field& f = FieldAt(fieldNo);
    const uint8_t* p = ReadRecord() + f.offset;
    uint16_t cp = table_->GetSchema().codePage;
    if (f.type == IDP_FLD_ALPHA)
        return TableToAnsi(DecodeAlpha(p, f.width), cp);
    if (f.type == IDP_FLD_MEMO || f.type == IDP_FLD_FMTMEMO)
        return TableToAnsi(table_->ReadBlob(p, f), cp);
    throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f.name);
}

int32_t Cursor::GetInteger(uint16_t fieldNo) {
    const Field& f = FieldAt(fieldNo);
    const uint8_t* p = ReadRecord() + f.offset;
    if (IsBlankField(p, f))
        return 0;
    if (IsIntegerType(f.type))
        return static_cast<int32_t>(DecodeInteger(p, f.width));
    if (f.type == IDP_FLD_LOGICAL)
        return p[0] == 0x81 ? 1 : 0;
    throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f.name);
}

double Cursor::GetDouble(uint16_t fieldNo) {
    const Field& f = FieldAt(fieldNo);
    const uint8_t* p = ReadRecord() + f.offset;
    if (IsBlankField(p, f))
        return 0;
    if (f.type == IDP_FLD_NUMBER || f.type == IDP_FLD_CURRENCY)
        return DecodeDouble(p);
    if (f.type == IDP_FLD_BCD)
        return DecodeBcd(p);
    if (IsIntegerType(f.type))
        return static_cast<double>(DecodeInteger(p, f.width));
    throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f.name);
}

double Cursor::GetDateTime(uint16_t fieldNo) {
    const Field& f = FieldAt(fieldNo);
    const uint8_t* p = ReadRecord() + f.offset;
    if (!IsDateTimeType(f.type))
        throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f.name);
    return IsBlankField(p, f) ? 0 : DecodeDateTime(p, f.type);
}

bool Cursor::GetBoolean(uint16_t fieldNo) {
    const Field& f = FieldAt(fieldNo);
    if (f.type != IDP_FLD_LOGICAL)
        throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f.name);
    return ReadRecord()[f.offset] == 0x81;
}

std::string Cursor::GetBytes(uint16_t fieldNo) {
    const Field& f = FieldAt(fieldNo);
    const uint8_t* p = ReadRecord() + f.offset;
    if (f.type == IDP_FLD_BYTES)
        return std::string(reinterpret_cast<const char*>(p), f.width);
    if (IsBlobType(f.type))
        return table_->ReadBlob(p, f);
    throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f.name);
}

void Cursor::SetText(uint16_t fieldNo, const std::string& value) {
    const Field* f = nullptr;
    uint8_t* p = WriteField(fieldNo, f);
    std::string stored = AnsiToTable(value, table_->GetSchema().codePage);
    if (f->type == IDP_FLD_ALPHA) {
        EncodeAlpha(p, f->width, stored);
    } else if (f->type == IDP_FLD_MEMO || f->type == IDP_FLD_FMTMEMO) {
        if (!EncodeLeaderBlob(p, *f, stored))
            throw EngineError(IDP_ERR_UNSUPPORTED,
                              "Field: " + f->name +
                                  "\r\nThis engine writes memos only as long as the field's size.");
    } else {
        throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f->name);
    }
}

void Cursor::SetInteger(uint16_t fieldNo, int32_t value) {
    SetDouble(fieldNo, value);
}

void Cursor::SetDouble(uint16_t fieldNo, double value) {
    const Field* f = nullptr;
    uint8_t* p = WriteField(fieldNo, f);
    bool ok = std::isfinite(value);
    if (f->type == IDP_FLD_NUMBER || f->type == IDP_FLD_CURRENCY) {
        if (ok)
            EncodeDouble(p, value);
    } else if (f->type == IDP_FLD_BCD) {
        ok = ok && EncodeBcd(p, value, f->size);
    } else if (IsIntegerType(f->type)) {
        ok = ok && value == std::floor(value) && std::fabs(value) < 4e9 &&
             EncodeInteger(p, f->width, static_cast<int64_t>(value));
    } else {
        throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f->name);
    }
    if (!ok)
        throw EngineError(IDP_ERR_DOES_NOT_FIT, "Field: " + f->name);
}

void Cursor::SetDateTime(uint16_t fieldNo, double value) {
    const Field* f = nullptr;
    uint8_t* p = WriteField(fieldNo, f);
    if (!IsDateTimeType(f->type))
        throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f->name);
    if (!EncodeDateTime(p, f->type, value))
        throw EngineError(IDP_ERR_DOES_NOT_FIT, "Field: " + f->name);
}

void Cursor::SetBoolean(uint16_t fieldNo, bool value) {
    const Field* f = nullptr;
    uint8_t* p = WriteField(fieldNo, f);
    if (f->type != IDP_FLD_LOGICAL)
        throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f->name);
    p[0] = value ? 0x81 : 0x80;
}

void Cursor::SetBytes(uint16_t fieldNo, const std::string& value) {
    const Field* f = nullptr;
    uint8_t* p = WriteField(fieldNo, f);
    if (f->type == IDP_FLD_BYTES) {
        std::memset(p, 0, f->width);
        std::memcpy(p, value.data(), value.size() < f->width ? value.size() : f->width);
    } else if (IsBlobType(f->type)) {
        if (!EncodeLeaderBlob(p, *f, value))
            throw EngineError(IDP_ERR_UNSUPPORTED, "Field: " + f->name);
    } else {
        throw EngineError(IDP_ERR_FIELD_TYPE, "Field: " + f->name);
    }
}

void Cursor::SetBlank(uint16_t fieldNo) {
    const Field* f = nullptr;
    uint8_t* p = WriteField(fieldNo, f);
    std::memset(p, 0, f->width);
}

} // namespace idp
