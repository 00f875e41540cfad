// The tagline layout as field and index definitions of the data-access classes.
#include "taglinedb/TaglineDefs.h"

#include "framework/data/DBErrors.h"
#include "taglinedb/TaglineSchema.h"

#include <algorithm>
#include <vector>

namespace tagline {

namespace {

bool OneOf(const std::string& fields, std::initializer_list<const char*> lists) {
    return std::any_of(lists.begin(), lists.end(),
                       [&](const char* list) { return fw::SameName(fields, list); });
}

bool Fits(const fw::TIndexDef& index) {
    if (index.Options.count(fw::TIndexOption::ixExpression))
        return false;
    if (index.Options.count(fw::TIndexOption::ixPrimary))
        return OneOf(index.Fields, {"TagText", "TagText;Record"});
    return OneOf(index.Fields, {"TagText", "TagText;Record", "Record", "Record;TagText"});
}

bool OrdersByTagText(const fw::TIndexDef& index) {
    return !index.Options.count(fw::TIndexOption::ixDescending) &&
           OneOf(index.Fields, {"TagText", "TagText;Record"});
}

} // namespace

void DefineTable(fw::TTable& table, bool standardIndexes) {
    table.FieldDefs().Clear();
    for (const IdpFieldDesc& field : kFields)
        table.FieldDefs().Add(field);
    table.IndexDefs().Clear();
    if (standardIndexes)
        for (const IdpIndexDesc& index : kIndexes)
            table.IndexDefs().Add(index);
}

void DefineTableLike(fw::TTable& table, const fw::TIndexDefs& like) {
    std::vector<fw::TIndexDef> kept;
    for (int i = 0; i < like.Count(); ++i)
        if (Fits(like[i]))
            kept.push_back(like[i]);
    const bool ordered = std::any_of(kept.begin(), kept.end(), OrdersByTagText);
    DefineTable(table, !ordered);
    if (ordered)
        for (const fw::TIndexDef& index : kept)
            table.IndexDefs().Add(index.Name, index.Fields, index.Options);
}

} // namespace tagline
