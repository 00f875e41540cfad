// The tagline layout as field and index definitions of the data-access classes.
#include "taglinedb/TaglineDefs.h"

#include "taglinedb/TaglineSchema.h"

namespace tagline {

void DefineTable(fw::TTable& table, bool standardIndexes) {
    table.FieldDefs().Clear();
    for (const IdpFieldDesc& field : kFields)
        table.FieldDefs().Add(field);
    table.IndexDefs().Clear();
    if (standardIndexes)
        for (const IdpIndexDesc& index : kIndexes)
            table.IndexDefs().Add(index);
}

} // namespace tagline
