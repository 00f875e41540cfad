// One field of an open table: its description and the value it has in the current row
// (or in the pending edit, or in the search key while the table is in key mode).
#pragma once

#include "framework/data/FieldDefs.h"

#include <string>

namespace fw {

class TTable;

class TField {
  public:
    TField(TTable& table, int fieldNo, const TFieldDef& def)
        : table_(table), fieldNo_(fieldNo), def_(def) {}
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    const std::string& FieldName() const { return def_.Name; }
    TFieldType DataType() const { return def_.DataType; }
    int Size() const { return def_.Size; }
    bool Required() const { return def_.Required; }
    int FieldNo() const { return fieldNo_; } // 1-based

    // Text of a string or memo field, an integer field's digits; empty when blank.
    std::string AsString() const;
    // Longer text is cut to the field's size; an empty text makes the field blank.
    void SetAsString(const std::string& value);
    // An integer field's value; 0 when blank.
    int AsInteger() const;
    void SetAsInteger(int value);
    bool IsNull() const;
    void Clear();

  private:
    TTable& table_;
    int fieldNo_;
    TFieldDef def_;
};

} // namespace fw
