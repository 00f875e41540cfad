// Index definitions of a table: read from the table's file without opening it, or set by
// code for CreateTable; and the search for an index that can order the table by given
// fields.
#pragma once

#include "platform/idapi/idapi.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace fw {

class TTable;

enum class TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression };
using TIndexOptions = std::set<TIndexOption>;

// The engine's index option bits for a set of options, and back.
TIndexOptions IndexOptionsFromEngine(std::uint16_t bits);
std::uint16_t IndexOptionsToEngine(const TIndexOptions& options);

struct TIndexDef {
    std::string Name;
    std::string Fields; // field names separated by ';', or the expression
    TIndexOptions Options;
};

class TIndexDefs {
  public:
    explicit TIndexDefs(const TTable& table) : table_(table) {}

    void Clear() { items_.clear(); }
    void Add(const std::string& name, const std::string& fields, const TIndexOptions& options);
    // An index as the engine describes it.
    void Add(const IdpIndexDesc& index);
    // Replaces the definitions by those of the table's file (open or not).
    void Update();

    int Count() const { return static_cast<int>(items_.size()); }
    const TIndexDef& operator[](int index) const { return items_.at(index); }
    // An ascending, non-expression index whose fields are `fields` or begin with them
    // (names compared with the case ignored), an exact match first; raises "Table '%s'
    // has no index for fields '%s'" with the table's name when there is none.
    const TIndexDef& FindIndexForFields(const std::string& fields) const;

  private:
    const TTable& table_;
    std::vector<TIndexDef> items_;
};

} // namespace fw
