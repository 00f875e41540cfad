// Field definitions of a table: read from the table's file without opening it, or set by
// code to describe a table that CreateTable makes.
#pragma once

#include "platform/idapi/idapi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fw {

class TTable;

enum class TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftAutoInc,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftMemo,
    ftFmtMemo,
    ftBlob,
    ftGraphic,
    ftParadoxOle
};

// The engine's field type codes for each kind, and back; ftUnknown for a code we do not
// know (0 the other way).
TFieldType FieldTypeFromEngine(std::uint16_t engineType);
std::uint16_t FieldTypeToEngine(TFieldType type);

struct TFieldDef {
    std::string Name;
    TFieldType DataType = TFieldType::ftUnknown;
    int Size = 0; // characters of a string field; 0 where the type fixes the width
    bool Required = false;
};

class TFieldDefs {
  public:
    explicit TFieldDefs(const TTable& table) : table_(table) {}

    void Clear() { items_.clear(); }
    void Add(const std::string& name, TFieldType type, int size = 0, bool required = false);
    // A field as the engine describes it.
    void Add(const IdpFieldDesc& field);
    // Replaces the definitions by those of the table's file (open or not).
    void Update();

    int Count() const { return static_cast<int>(items_.size()); }
    const TFieldDef& operator[](int index) const { return items_.at(index); }
    // Position of the field of that name, case ignored; -1 when there is none.
    int IndexOf(const std::string& name) const;
    // The field of that name, case ignored; raises "Field '%s' not found" otherwise.
    const TFieldDef& Find(const std::string& name) const;

  private:
    const TTable& table_;
    std::vector<TFieldDef> items_;
};

} // namespace fw
