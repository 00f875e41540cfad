// Field definitions: the engine's field types in the framework's terms, and the
// definitions read from a table's file.
#include "framework/data/FieldDefs.h"

#include "framework/data/DBErrors.h"
#include "framework/data/Describe.h"
#include "framework/data/Table.h"

namespace fw {

namespace {

struct TypePair {
    TFieldType type;
    uint16_t engine;
};

constexpr TypePair kTypes[] = {
    {TFieldType::ftString, IDP_FLD_ALPHA},      {TFieldType::ftDate, IDP_FLD_DATE},
    {TFieldType::ftSmallint, IDP_FLD_SHORT},    {TFieldType::ftInteger, IDP_FLD_LONG},
    {TFieldType::ftCurrency, IDP_FLD_CURRENCY}, {TFieldType::ftFloat, IDP_FLD_NUMBER},
    {TFieldType::ftBoolean, IDP_FLD_LOGICAL},   {TFieldType::ftMemo, IDP_FLD_MEMO},
    {TFieldType::ftBlob, IDP_FLD_BLOB},         {TFieldType::ftFmtMemo, IDP_FLD_FMTMEMO},
    {TFieldType::ftParadoxOle, IDP_FLD_OLE},    {TFieldType::ftGraphic, IDP_FLD_GRAPHIC},
    {TFieldType::ftTime, IDP_FLD_TIME},         {TFieldType::ftDateTime, IDP_FLD_TIMESTAMP},
    {TFieldType::ftAutoInc, IDP_FLD_AUTOINC},   {TFieldType::ftBCD, IDP_FLD_BCD},
    {TFieldType::ftBytes, IDP_FLD_BYTES},
};

} // namespace

TFieldType FieldTypeFromEngine(std::uint16_t engineType) {
    for (const TypePair& p : kTypes)
        if (p.engine == engineType)
            return p.type;
    return TFieldType::ftUnknown;
}

std::uint16_t FieldTypeToEngine(TFieldType type) {
    for (const TypePair& p : kTypes)
        if (p.type == type)
            return p.engine;
    return 0;
}

void TFieldDefs::Add(const std::string& name, TFieldType type, int size, bool required) {
    items_.push_back(TFieldDef{name, type, size, required});
}

void TFieldDefs::Add(const IdpFieldDesc& field) {
    Add(EngineName(field.name), FieldTypeFromEngine(field.type), field.size, field.required != 0);
}

void TFieldDefs::Update() {
    std::vector<IdpFieldDesc> fields;
    DescribeTable(table_.TablePath(), &fields, nullptr);
    items_.clear();
    for (const IdpFieldDesc& f : fields)
        Add(f);
}

int TFieldDefs::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (SameName(items_[i].Name, name))
            return static_cast<int>(i);
    return -1;
}

const TFieldDef& TFieldDefs::Find(const std::string& name) const {
    int i = IndexOf(name);
    if (i < 0)
        DatabaseErrorFmt("Field '%s' not found", name);
    return items_[i];
}

} // namespace fw
