// The table over an engine cursor: naming, opening and closing, ordering, moving,
// editing and posting, key lookups, and creating and deleting the table's files.
#include "framework/data/Table.h"

#include "framework/data/DBErrors.h"
#include "framework/data/Describe.h"

#include <algorithm>

namespace fw {

namespace {

bool IsFullPath(const std::string& name) {
    return (name.size() >= 2 && name[1] == ':') ||
           (!name.empty() && (name[0] == '\\' || name[0] == '/'));
}

bool IsIntegerType(TFieldType type) {
    return type == TFieldType::ftSmallint || type == TFieldType::ftInteger ||
           type == TFieldType::ftAutoInc;
}

} // namespace

TTable::TTable(TComponent* owner) : TComponent(owner), fieldDefs_(*this), indexDefs_(*this) {}

TTable::~TTable() {
    std::vector<TTableObserver*> observers = observers_;
    for (TTableObserver* o : observers)
        o->TableDestroyed(*this);
}

void TTable::SetDatabaseName(const std::string& value) {
    if (value == databaseName_)
        return;
    CheckInactive();
    databaseName_ = value;
}

void TTable::SetTableName(const std::string& value) {
    if (value == tableName_)
        return;
    CheckInactive();
    tableName_ = value;
}

void TTable::SetTableType(TTableType value) {
    if (value == tableType_)
        return;
    CheckInactive();
    tableType_ = value;
}

void TTable::SetExclusive(bool value) {
    if (value == exclusive_)
        return;
    CheckInactive();
    exclusive_ = value;
}

std::string TTable::TablePath() const {
    if (IsFullPath(tableName_) || databaseName_.empty())
        return tableName_;
    char last = databaseName_.back();
    bool separated = last == '\\' || last == '/' || last == ':';
    return databaseName_ + (separated ? "" : "\\") + tableName_;
}

void TTable::SetActive(bool value) {
    if (value)
        Open();
    else
        Close();
}

void TTable::Open() {
    if (cursor_)
        return;
    IdpCursor raw = nullptr;
    CheckCall(
        idpOpenTable(TablePath().c_str(), exclusive_ ? IDP_OPEN_EXCLUSIVE : IDP_OPEN_SHARED, &raw));
    std::unique_ptr<IdpCursorRec, CursorCloser> cursor(raw);

    uint16_t count = 0;
    CheckCall(idpGetFieldCount(raw, &count));
    std::vector<std::unique_ptr<TField>> fields;
    for (uint16_t no = 1; no <= count; ++no) {
        IdpFieldDesc d{};
        CheckCall(idpGetFieldDesc(raw, no, &d));
        TFieldDef def{EngineName(d.name), FieldTypeFromEngine(d.type), d.size, d.required != 0};
        for (const Binding& b : bindings_)
            if (b.required && SameName(b.name, def.Name))
                def.Required = true;
        fields.push_back(std::make_unique<TField>(*this, no, def));
    }
    CheckBindings(fields);
    ApplyOrder(raw, indexName_, indexFieldNames_);
    IdpStatus first = idpFirst(raw);
    if (first != IDP_ERR_EOF)
        CheckCall(first);

    cursor_ = std::move(cursor);
    fields_ = std::move(fields);
    modified_ = false;
    SyncState();
    NotifyState();
}

void TTable::Close() {
    if (!cursor_)
        return;
    IdpCursor cursor = cursor_.release();
    fields_.clear();
    state_ = TDataSetState::dsInactive;
    modified_ = false;
    IdpStatus status = idpCloseTable(cursor);
    NotifyState();
    CheckCall(status);
}

void TTable::BindField(const std::string& name, TFieldType type, int size, bool required) {
    bindings_.erase(std::remove_if(bindings_.begin(), bindings_.end(),
                                   [&](const Binding& b) { return SameName(b.name, name); }),
                    bindings_.end());
    bindings_.push_back(Binding{name, type, size, required});
}

void TTable::CheckBindings(const std::vector<std::unique_ptr<TField>>& fields) const {
    for (const Binding& b : bindings_) {
        auto it = std::find_if(fields.begin(), fields.end(),
                               [&](const auto& f) { return SameName(f->FieldName(), b.name); });
        if (it == fields.end())
            DatabaseErrorFmt("Field '%s' not found", b.name);
        const TField& f = **it;
        bool fits = b.type == TFieldType::ftInteger ? IsIntegerType(f.DataType())
                    : b.type == TFieldType::ftString
                        ? f.DataType() == b.type && (b.size == 0 || f.Size() == b.size)
                        : f.DataType() == b.type;
        if (!fits)
            DatabaseErrorFmt("Field '%s' is not of the expected type", b.name);
    }
}

void TTable::SetIndexFieldNames(const std::string& value) {
    if (value == indexFieldNames_ && indexName_.empty())
        return;
    if (cursor_) {
        CheckBrowseMode();
        ApplyOrder(Handle(), std::string(), value);
    }
    indexFieldNames_ = value;
    indexName_.clear();
    if (cursor_)
        NotifyData();
}

void TTable::SetIndexName(const std::string& value) {
    if (value == indexName_ && indexFieldNames_.empty())
        return;
    if (cursor_) {
        CheckBrowseMode();
        ApplyOrder(Handle(), value, std::string());
    }
    indexName_ = value;
    indexFieldNames_.clear();
    if (cursor_)
        NotifyData();
}

void TTable::ApplyOrder(IdpCursor cursor, const std::string& name,
                        const std::string& fields) const {
    if (!name.empty() || fields.empty()) {
        CheckCall(idpSetIndexByName(cursor, name.c_str()));
        return;
    }
    IdpStatus status = idpSetIndexByFields(cursor, fields.c_str());
    if (status == IDP_ERR_NO_SUCH_INDEX)
        DatabaseErrorFmt("Table '%s' has no index for fields '%s'", tableName_, fields);
    CheckCall(status);
}

void TTable::First() {
    CheckBrowseMode();
    Moved(idpFirst(Handle()), IDP_ERR_EOF);
}

void TTable::Last() {
    CheckBrowseMode();
    Moved(idpLast(Handle()), IDP_ERR_EOF);
}

void TTable::Next() {
    CheckBrowseMode();
    Moved(idpNext(Handle()), IDP_ERR_EOF);
}

void TTable::Prior() {
    CheckBrowseMode();
    Moved(idpPrior(Handle()), IDP_ERR_BOF);
}

// A move to an edge of the table is not a failure: it sets the end or beginning flag.
void TTable::Moved(IdpStatus status, IdpStatus edge) {
    if (status != edge)
        CheckCall(status);
    if (status == IDP_OK)
        NotifyData();
}

bool TTable::Eof() const {
    return EdgeFlag(true);
}

bool TTable::Bof() const {
    return EdgeFlag(false);
}

// A closed table is at both ends.
bool TTable::EdgeFlag(bool end) const {
    if (!cursor_)
        return true;
    uint16_t eof = 0, bof = 0;
    CheckCall(idpGetEof(Handle(), &eof, &bof));
    return (end ? eof : bof) != 0;
}

int TTable::RecordCount() const {
    uint32_t count = 0;
    CheckCall(idpGetRecordCount(Handle(), &count));
    return static_cast<int>(count);
}

int TTable::RecNo() const {
    uint32_t seqNo = 0;
    CheckCall(idpGetSeqNo(Handle(), &seqNo));
    return static_cast<int>(seqNo);
}

void TTable::SetRecNo(int value) {
    CheckBrowseMode();
    CheckCall(idpSetSeqNo(Handle(), static_cast<uint32_t>(value)));
    NotifyData();
}

void TTable::Append() {
    CheckBrowseMode();
    StateStep(idpAppend);
}

void TTable::Insert() {
    CheckBrowseMode();
    StateStep(idpInsert);
}

// An engine call that changes the cursor's state; the pending row starts unchanged.
void TTable::StateStep(IdpStatus (*step)(IdpCursor)) {
    CheckCall(step(Handle()));
    modified_ = false;
    SyncState();
    NotifyState();
}

void TTable::Edit() {
    CheckActive();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert)
        return;
    CheckBrowseMode();
    StateStep(idpEdit);
}

void TTable::Post() {
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        return;
    for (const auto& f : fields_)
        if (f->Required() && f->DataType() != TFieldType::ftAutoInc && f->IsNull())
            DatabaseErrorFmt("Field '%s' must have a value", f->FieldName());
    StateStep(idpPost);
}

void TTable::Cancel() {
    CheckActive();
    if (state_ == TDataSetState::dsBrowse)
        return;
    StateStep(idpCancel);
}

void TTable::Delete() {
    CheckActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    Cancel();
    CheckCall(idpDelete(Handle()));
    NotifyData();
}

void TTable::Refresh() {
    CheckBrowseMode();
    CheckCall(idpRefresh(Handle()));
    NotifyData();
}

void TTable::CheckBrowseMode() {
    CheckActive();
    if ((state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) && modified_)
        Post();
    else
        Cancel();
}

void TTable::SetKey() {
    CheckBrowseMode();
    StateStep(idpSetKey);
}

bool TTable::GotoKey() {
    CheckActive();
    uint16_t found = 0;
    IdpStatus status = idpGotoKey(Handle(), &found);
    SyncState();
    NotifyState();
    CheckCall(status);
    return found != 0;
}

bool TTable::SearchText(const std::string& fieldName, const std::string& text) {
    CheckBrowseMode();
    const int fieldNo = FieldByName(fieldName).FieldNo();
    uint16_t found = 0;
    CheckCall(idpFindText(Handle(), static_cast<uint16_t>(fieldNo), text.c_str(), &found));
    if (found)
        NotifyData();
    return found != 0;
}

TField* TTable::FindField(const std::string& name) {
    for (const auto& f : fields_)
        if (SameName(f->FieldName(), name))
            return f.get();
    return nullptr;
}

TField& TTable::FieldByName(const std::string& name) {
    TField* f = FindField(name);
    if (!f)
        DatabaseErrorFmt("Field '%s' not found", name);
    return *f;
}

void TTable::CreateTable() {
    CheckInactive();
    std::vector<IdpFieldDesc> fields(fieldDefs_.Count());
    for (int i = 0; i < fieldDefs_.Count(); ++i) {
        const TFieldDef& def = fieldDefs_[i];
        CopyEngineName(fields[i].name, sizeof fields[i].name, def.Name);
        fields[i].type = FieldTypeToEngine(def.DataType);
        fields[i].size = static_cast<uint16_t>(def.Size);
        fields[i].required = def.Required ? 1 : 0;
    }
    std::vector<IdpIndexDesc> indexes(indexDefs_.Count());
    for (int i = 0; i < indexDefs_.Count(); ++i) {
        const TIndexDef& def = indexDefs_[i];
        CopyEngineName(indexes[i].name, sizeof indexes[i].name, def.Name);
        CopyEngineName(indexes[i].fields, sizeof indexes[i].fields, def.Fields);
        indexes[i].options = IndexOptionsToEngine(def.Options);
    }
    CheckCall(idpCreateTable(TablePath().c_str(), static_cast<uint16_t>(fields.size()),
                             fields.data(), static_cast<uint16_t>(indexes.size()), indexes.data()));
}

void TTable::DeleteTable() {
    CheckInactive();
    CheckCall(idpDeleteTable(TablePath().c_str()));
}

void TTable::AddObserver(TTableObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void TTable::RemoveObserver(TTableObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

IdpCursor TTable::Handle() const {
    CheckActive();
    return cursor_.get();
}

void TTable::CheckActive() const {
    if (!cursor_)
        throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

void TTable::CheckInactive() const {
    if (cursor_)
        throw EDatabaseError("Cannot perform this operation on an open dataset");
}

void TTable::SyncState() {
    uint16_t state = IDP_STATE_BROWSE;
    CheckCall(idpGetState(Handle(), &state));
    switch (state) {
    case IDP_STATE_EDIT:
        state_ = TDataSetState::dsEdit;
        break;
    case IDP_STATE_INSERT:
        state_ = TDataSetState::dsInsert;
        break;
    case IDP_STATE_SETKEY:
        state_ = TDataSetState::dsSetKey;
        break;
    default:
        state_ = TDataSetState::dsBrowse;
        break;
    }
}

void TTable::FieldChanged() {
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert)
        modified_ = true;
    NotifyData();
}

void TTable::EnableControls() {
    if (controlsDisabled_ > 0 && --controlsDisabled_ == 0)
        NotifyState();
}

void TTable::NotifyState() {
    Tell(&TTableObserver::TableStateChanged);
    NotifyData();
}

void TTable::NotifyData() {
    Tell(&TTableObserver::TableDataChanged);
}

// Observers are called from a copy of the list, and only while still attached, so one
// may detach itself or another from its handler.
void TTable::Tell(void (TTableObserver::*handler)()) {
    if (controlsDisabled_ > 0)
        return;
    std::vector<TTableObserver*> observers = observers_;
    for (TTableObserver* o : observers)
        if (std::find(observers_.begin(), observers_.end(), o) != observers_.end())
            (o->*handler)();
}

} // namespace fw
