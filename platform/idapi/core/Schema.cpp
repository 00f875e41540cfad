// Field type rules of the Paradox format: which sizes each type allows and how many
// bytes it takes in a record.
#include "Schema.h"

#include "../idapi.h"
#include "FileLayout.h"
#include "TextFold.h"

namespace idp {

uint16_t FieldWidth(uint8_t type, uint16_t size) {
    switch (type) {
    case IDP_FLD_ALPHA:
    case IDP_FLD_BYTES:
        return size >= 1 && size <= 255 ? size : 0;
    case IDP_FLD_DATE:
    case IDP_FLD_LONG:
    case IDP_FLD_TIME:
    case IDP_FLD_AUTOINC:
        return 4;
    case IDP_FLD_SHORT:
        return 2;
    case IDP_FLD_CURRENCY:
    case IDP_FLD_NUMBER:
    case IDP_FLD_TIMESTAMP:
        return 8;
    case IDP_FLD_LOGICAL:
        return 1;
    case IDP_FLD_BCD:
        return size <= 32 ? 17 : 0;
    case IDP_FLD_MEMO:
    case IDP_FLD_FMTMEMO:
        return size >= 1 && size <= 240 ? static_cast<uint16_t>(size + layout::kBlobDescriptor) : 0;
    case IDP_FLD_BLOB:
    case IDP_FLD_OLE:
    case IDP_FLD_GRAPHIC:
        return size <= 240 ? static_cast<uint16_t>(size + layout::kBlobDescriptor) : 0;
    default:
        return 0;
    }
}

uint16_t DescribedSize(uint8_t type, uint16_t size) {
    switch (type) {
    case IDP_FLD_ALPHA:
    case IDP_FLD_BYTES:
    case IDP_FLD_BCD:
    case IDP_FLD_MEMO:
    case IDP_FLD_FMTMEMO:
    case IDP_FLD_BLOB:
    case IDP_FLD_OLE:
    case IDP_FLD_GRAPHIC:
        return size;
    default:
        return FieldWidth(type, size);
    }
}

bool IsBlobType(uint8_t type) {
    return type == IDP_FLD_MEMO || type == IDP_FLD_FMTMEMO || type == IDP_FLD_BLOB ||
           type == IDP_FLD_OLE || type == IDP_FLD_GRAPHIC;
}
bool IsTextType(uint8_t type) {
    return type == IDP_FLD_ALPHA || type == IDP_FLD_MEMO || type == IDP_FLD_FMTMEMO;
}
bool IsIntegerType(uint8_t type) {
    return type == IDP_FLD_SHORT || type == IDP_FLD_LONG || type == IDP_FLD_AUTOINC;
}
bool IsFloatType(uint8_t type) {
    return type == IDP_FLD_NUMBER || type == IDP_FLD_CURRENCY || type == IDP_FLD_BCD;
}
bool IsDateTimeType(uint8_t type) {
    return type == IDP_FLD_DATE || type == IDP_FLD_TIME || type == IDP_FLD_TIMESTAMP;
}

bool SameName(const std::string& a, const std::string& b) {
    return FoldCase(a) == FoldCase(b);
}

int Schema::Find(const std::string& name) const {
    for (size_t i = 0; i < fields.size(); ++i)
        if (SameName(fields[i].name, name))
            return static_cast<int>(i);
    return -1;
}

bool Schema::HasBlobs() const {
    for (const Field& f : fields)
        if (IsBlobType(f.type))
            return true;
    return false;
}

} // namespace idp
