// The tagline table's layout given to a table object, so that CreateTable makes a
// tagline table: the fields always, the standard indexes when asked.
#pragma once

#include "framework/data/Table.h"

namespace tagline {

// Replaces the table object's field and index definitions. Without standardIndexes the
// table gets no index and so takes duplicate taglines (an import's scratch table).
void DefineTable(fw::TTable& table, bool standardIndexes);

} // namespace tagline
