// Index definitions: the engine's index options in the framework's terms, the
// definitions read from a table's file, and the search for an index over given fields.
#include "framework/data/IndexDefs.h"

#include "framework/data/DBErrors.h"
#include "framework/data/Describe.h"
#include "framework/data/Table.h"

namespace fw {

namespace {

std::vector<std::string> SplitFields(const std::string& fields) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = fields.find(';', start);
        names.push_back(fields.substr(start, end - start));
        if (end == std::string::npos)
            return names;
        start = end + 1;
    }
}

// 2: the index's fields are exactly `wanted`; 1: they begin with them; 0: neither.
int FieldMatch(const std::string& indexFields, const std::vector<std::string>& wanted) {
    std::vector<std::string> have = SplitFields(indexFields);
    if (have.size() < wanted.size())
        return 0;
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (!SameName(have[i], wanted[i]))
            return 0;
    return have.size() == wanted.size() ? 2 : 1;
}

const struct {
    TIndexOption option;
    uint16_t bit;
} kOptionBits[] = {
    {TIndexOption::ixPrimary, IDP_IDX_PRIMARY},
    {TIndexOption::ixUnique, IDP_IDX_UNIQUE},
    {TIndexOption::ixDescending, IDP_IDX_DESCENDING},
    {TIndexOption::ixCaseInsensitive, IDP_IDX_CASE_INSENSITIVE},
    {TIndexOption::ixExpression, IDP_IDX_EXPRESSION},
};

} // namespace

TIndexOptions IndexOptionsFromEngine(std::uint16_t bits) {
    TIndexOptions options;
    for (const auto& o : kOptionBits)
        if (bits & o.bit)
            options.insert(o.option);
    return options;
}

std::uint16_t IndexOptionsToEngine(const TIndexOptions& options) {
    std::uint16_t bits = 0;
    for (const auto& o : kOptionBits)
        if (options.count(o.option))
            bits |= o.bit;
    return bits;
}

void TIndexDefs::Add(const std::string& name, const std::string& fields,
                     const TIndexOptions& options) {
    items_.push_back(TIndexDef{name, fields, options});
}

void TIndexDefs::Add(const IdpIndexDesc& index) {
    Add(EngineName(index.name), EngineName(index.fields), IndexOptionsFromEngine(index.options));
}

void TIndexDefs::Update() {
    std::vector<IdpIndexDesc> indexes;
    DescribeTable(table_.TablePath(), nullptr, &indexes);
    items_.clear();
    for (const IdpIndexDesc& x : indexes)
        Add(x);
}

const TIndexDef& TIndexDefs::FindIndexForFields(const std::string& fields) const {
    std::vector<std::string> wanted = SplitFields(fields);
    const TIndexDef* best = nullptr;
    int bestMatch = 0;
    for (const TIndexDef& x : items_) {
        if (x.Options.count(TIndexOption::ixDescending) ||
            x.Options.count(TIndexOption::ixExpression))
            continue;
        int match = FieldMatch(x.Fields, wanted);
        if (match > bestMatch) {
            best = &x;
            bestMatch = match;
        }
    }
    if (!best)
        DatabaseErrorFmt("Table '%s' has no index for fields '%s'", table_.TableName(), fields);
    return *best;
}

} // namespace fw
