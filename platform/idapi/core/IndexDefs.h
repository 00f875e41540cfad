// Index definitions of a table and the sidecar file that keeps what the .db header cannot
// say: the primary index's name and options, the secondary indexes, and which fields are
// required.
//
// The sidecar is the table's file name with the extension ".QIX", a text file:
//   QIX1
//   required<TAB><field number, 1-based>
//   index<TAB><options, decimal IDP_IDX_ bits><TAB><name><TAB><fields or expression>
// The primary index is the one whose options include IDP_IDX_PRIMARY; its fields are
// always the header's key fields. Lines the engine does not understand are ignored, and
// an index naming a field the table lacks is dropped, so a stale or damaged sidecar never
// stops a table from opening. Secondary indexes are kept as definitions only: the engine
// orders by them in memory, so other Paradox programs see a table with its primary index.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KeyHead.h"
#include "Schema.h"

namespace idp {

struct IndexDef {
    std::string name;
    std::string fieldText;   // field names separated by ';' (or the expression)
    std::vector<int> fields; // field numbers, 0-based (empty for expressions)
    uint16_t options = 0;

    bool Primary() const;
    bool Unique() const;
    bool Descending() const;
    bool CaseInsensitive() const;
    bool Expression() const;
};

// Splits "A;B" into field numbers of schema; false when a name is not a field.
bool ResolveFields(const Schema& schema, const std::string& fieldText, std::vector<int>& fields);
// The lines of a sidecar's text after its "QIX1" first line, without their CRs; false
// when the text has a first line and it is not "QIX1".
bool SidecarLines(const std::string& text, std::vector<std::string>& lines);
// The indexes of a table: the primary index first (when keyed), then the sidecar's
// secondaries. Also sets the schema's required flags from the sidecar.
std::vector<IndexDef> LoadIndexes(const std::string& sidecarPath, Schema& schema);
// The comparable key of a record for an index of fields (not an expression): the fields'
// bytes, alpha text folded for a case-insensitive index, the zero padding at the end
// dropped. Two records have one key when the index holds them as one value.
void FieldsKeyInto(const Schema& schema, const uint8_t* record, const IndexDef& index,
                   std::string& key);
// The first sixteen bytes of that key, read straight from the record: what ordering many
// rows needs first, without building their keys.
KeyHead FieldsKeyHead(const Schema& schema, const uint8_t* record, const IndexDef& index);
// Writes the sidecar for these indexes and required flags (nothing to say: no file).
void SaveIndexes(const std::string& sidecarPath, const Schema& schema,
                 const std::vector<IndexDef>& indexes);

} // namespace idp
