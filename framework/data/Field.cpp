// Field values of the current row, the pending edit or the search key, read and written
// through the table's cursor.
#include "framework/data/Field.h"

#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"

#include <algorithm>
#include <vector>

namespace fw {

std::string TField::AsString() const {
    IdpCursor cursor = table_.Handle();
    uint16_t blank = 0;
    switch (def_.DataType) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftAutoInc: {
        int32_t value = 0;
        CheckCall(idpGetInteger(cursor, fieldNo_, &value, &blank));
        return blank ? std::string() : std::to_string(value);
    }
    default: {
        // An alpha field fits at once; a memo may need a second read at its full length.
        std::vector<char> buffer(256);
        uint32_t length = 0;
        IdpStatus status = idpGetString(cursor, fieldNo_, buffer.data(),
                                        static_cast<uint32_t>(buffer.size()), &length, &blank);
        bool small =
            status == IDP_ERR_BUFFER_SMALL || (status == IDP_OK && length >= buffer.size());
        if (small && length < UINT32_MAX) {
            buffer.assign(std::size_t(length) + 1, '\0');
            status = idpGetString(cursor, fieldNo_, buffer.data(),
                                  static_cast<uint32_t>(buffer.size()), &length, &blank);
        }
        CheckCall(status);
        if (blank)
            return std::string();
        return std::string(buffer.data(), std::min<std::size_t>(length, buffer.size() - 1));
    }
    }
}

void TField::SetAsString(const std::string& value) {
    CheckCall(idpSetString(table_.Handle(), fieldNo_, value.c_str()));
    table_.FieldChanged();
}

int TField::AsInteger() const {
    int32_t value = 0;
    uint16_t blank = 0;
    CheckCall(idpGetInteger(table_.Handle(), fieldNo_, &value, &blank));
    return blank ? 0 : value;
}

void TField::SetAsInteger(int value) {
    CheckCall(idpSetInteger(table_.Handle(), fieldNo_, value));
    table_.FieldChanged();
}

bool TField::IsNull() const {
    uint16_t blank = 0;
    CheckCall(idpIsBlank(table_.Handle(), fieldNo_, &blank));
    return blank != 0;
}

void TField::Clear() {
    CheckCall(idpSetBlank(table_.Handle(), fieldNo_));
    table_.FieldChanged();
}

} // namespace fw
