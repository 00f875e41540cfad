// TTable: a Paradox table reached through the engine. Names where the table is, opens it
// (shared or exclusively) with a cursor, orders it by an index, moves, edits, looks up by
// key, and creates and deletes the table's files. Its field and index definitions can be
// read while it is closed.
#pragma once

#include "framework/Component.h"
#include "framework/data/Field.h"
#include "framework/data/FieldDefs.h"
#include "framework/data/IndexDefs.h"
#include "framework/data/TableObserver.h"
#include "platform/idapi/idapi.h"

#include <memory>
#include <string>
#include <vector>

namespace fw {

enum class TTableType { ttDefault, ttParadox };
enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey };

class TTable : public TComponent {
  public:
    explicit TTable(TComponent* owner);
    ~TTable() override;

    // Where the table is; set only while closed.
    const std::string& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const std::string& value);
    const std::string& TableName() const { return tableName_; }
    void SetTableName(const std::string& value);
    TTableType TableType() const { return tableType_; }
    void SetTableType(TTableType value);
    bool Exclusive() const { return exclusive_; }
    void SetExclusive(bool value);
    // The table's file: TableName when it is a full path, else TableName in DatabaseName.
    std::string TablePath() const;

    bool Active() const { return cursor_ != nullptr; }
    void SetActive(bool value);
    void Open();
    // Closing discards a pending edit.
    void Close();
    TDataSetState State() const { return state_; }

    TFieldDefs& FieldDefs() { return fieldDefs_; }
    TIndexDefs& IndexDefs() { return indexDefs_; }

    // A field the program relies on: opening fails with "Field '%s' not found" when the
    // table lacks it, and with "Field '%s' is not of the expected type" when its type
    // differs (ftString: that size too, unless 0; ftInteger: any integer field,
    // auto-increment included). A required binding refuses a blank value on post even
    // when the table's file does not mark the field required.
    void BindField(const std::string& name, TFieldType type, int size = 0, bool required = false);

    // The order: by the index over these fields (';'-separated; "" the primary order),
    // or by the index of that name. Setting one clears the other.
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    void SetIndexFieldNames(const std::string& value);
    const std::string& IndexName() const { return indexName_; }
    void SetIndexName(const std::string& value);

    // Moves post a changed pending edit and drop an unchanged one first.
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const;
    bool Bof() const;
    int RecordCount() const;
    // Position of the current row in the current order, 1-based.
    int RecNo() const;
    void SetRecNo(int value);

    void Append();
    void Insert();
    // On an empty table, starts a new row instead.
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void Refresh();
    // Posts a changed pending edit, drops an unchanged one, leaves key mode.
    void CheckBrowseMode();
    bool Modified() const { return modified_; }

    // Moves to the next row after the current one, in the present order and wrapping past
    // the end, whose string field contains text, case ignored as a case-insensitive index
    // ignores it (the current row is tried last); false leaves the table where it was.
    bool SearchText(const std::string& fieldName, const std::string& text);

    // Key mode: set the key fields with FieldByName, then GotoKey looks the key up on
    // the current index; an exact match becomes the current row and gives true.
    void SetKey();
    bool GotoKey();

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField& Fields(int index) { return *fields_.at(index); }
    TField* FindField(const std::string& name);
    TField& FieldByName(const std::string& name);

    // Creates the table from FieldDefs and IndexDefs, replacing a table of that name.
    void CreateTable();
    // Deletes the table with all its files.
    void DeleteTable();

    // While disabled (calls nest), the data sources are not told of changes, so a walk
    // over the rows does not show in the controls; enabling tells them once.
    void DisableControls() { ++controlsDisabled_; }
    void EnableControls();
    bool ControlsDisabled() const { return controlsDisabled_ > 0; }

    void AddObserver(TTableObserver* observer);
    void RemoveObserver(TTableObserver* observer);

    // Raises "Cannot perform this operation on a closed dataset" unless the table is open.
    void CheckActive() const;

  private:
    friend class TField;
    friend class TBatchMove;

    struct CursorCloser {
        void operator()(IdpCursor cursor) const { idpCloseTable(cursor); }
    };
    struct Binding {
        std::string name;
        TFieldType type;
        int size;
        bool required;
    };

    IdpCursor Handle() const;
    void CheckInactive() const;
    void CheckBindings(const std::vector<std::unique_ptr<TField>>& fields) const;
    void ApplyOrder(IdpCursor cursor, const std::string& name, const std::string& fields) const;
    void SyncState();
    void Moved(IdpStatus status, IdpStatus edge);
    bool EdgeFlag(bool end) const;
    void StateStep(IdpStatus (*step)(IdpCursor));
    void FieldChanged();
    void NotifyState();
    void NotifyData();
    void Tell(void (TTableObserver::*handler)());

    std::string databaseName_;
    std::string tableName_;
    TTableType tableType_ = TTableType::ttDefault;
    bool exclusive_ = false;
    std::string indexFieldNames_;
    std::string indexName_;
    TFieldDefs fieldDefs_;
    TIndexDefs indexDefs_;
    std::vector<Binding> bindings_;

    std::unique_ptr<IdpCursorRec, CursorCloser> cursor_;
    std::vector<std::unique_ptr<TField>> fields_;
    TDataSetState state_ = TDataSetState::dsInactive;
    bool modified_ = false;
    int controlsDisabled_ = 0;
    std::vector<TTableObserver*> observers_;
};

// Keeps a table's controls from following it for a scope (a key lookup, whose key mode
// the controls would otherwise leave by rereading the rows); they are told once it ends.
class TControlsHeld {
  public:
    explicit TControlsHeld(TTable& table) : table_(table) { table_.DisableControls(); }
    ~TControlsHeld() { table_.EnableControls(); }
    TControlsHeld(const TControlsHeld&) = delete;
    TControlsHeld& operator=(const TControlsHeld&) = delete;

  private:
    TTable& table_;
};

} // namespace fw
