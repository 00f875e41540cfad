// The tagline table's layout given to a table object, so that CreateTable makes a
// tagline table: the fields always, the standard indexes or those of another table.
#pragma once

#include "framework/data/Table.h"

namespace tagline {

// Replaces the table object's field and index definitions. Without standardIndexes the
// table gets no index and so takes duplicate taglines (an import's scratch table).
void DefineTable(fw::TTable& table, bool standardIndexes);
// The fields, with the indexes of `like` that a tagline table can have (a primary index
// over its leading fields, others over TagText and Record); the standard indexes when
// none of those orders by TagText, so the table always opens as a tagline table. `like`
// may be the table's own definitions.
void DefineTableLike(fw::TTable& table, const fw::TIndexDefs& like);

} // namespace tagline
