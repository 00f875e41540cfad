// Texts of the engine's statuses, as the program shows them to the user.
#include "Status.h"

namespace idp {

std::string StatusText(IdpStatus status) {
    switch (status) {
    case IDP_OK:
        return "Operation succeeded.";
    case IDP_ERR_EOF:
        return "At end of table.";
    case IDP_ERR_BOF:
        return "At beginning of table.";
    case IDP_ERR_NO_SUCH_TABLE:
        return "Table does not exist.";
    case IDP_ERR_NOT_A_TABLE:
        return "File is not a Paradox table.";
    case IDP_ERR_DAMAGED:
        return "Table is damaged.";
    case IDP_ERR_LOCKED:
        return "Table is locked: another program or window is using it.";
    case IDP_ERR_IO:
        return "Input/output error while reading or writing the table.";
    case IDP_ERR_ACCESS:
        return "Access to the file was denied.";
    case IDP_ERR_KEY_VIOLATION:
        return "Key violation.";
    case IDP_ERR_REQUIRED:
        return "Field value required.";
    case IDP_ERR_NO_SUCH_FIELD:
        return "Field not found.";
    case IDP_ERR_FIELD_TYPE:
        return "Field type mismatch.";
    case IDP_ERR_NO_SUCH_INDEX:
        return "Index not found.";
    case IDP_ERR_NO_RECORD:
        return "No current record.";
    case IDP_ERR_NOT_EDITING:
        return "Table is not in edit or insert mode.";
    case IDP_ERR_BAD_HANDLE:
        return "Invalid handle.";
    case IDP_ERR_BAD_PARAM:
        return "Invalid parameter.";
    case IDP_ERR_PASSWORD:
        return "Table is password-protected: the master password is required.";
    case IDP_ERR_UNSUPPORTED:
        return "Operation not supported for this table or field.";
    case IDP_ERR_DOES_NOT_FIT:
        return "Value does not fit in the field.";
    case IDP_ERR_BAD_DESCRIPTION:
        return "Invalid field or index description.";
    case IDP_ERR_TABLE_FULL:
        return "Table is full.";
    case IDP_ERR_NO_MEMORY:
        return "Not enough memory for this operation.";
    case IDP_ERR_NOT_FOUND:
        return "Object not found.";
    case IDP_ERR_BUFFER_SMALL:
        return "Buffer too small for the value.";
    case IDP_ERR_ABORTED:
        return "Batch move stopped at a rejected record.";
    case IDP_ERR_IN_USE:
        return "Object is in use.";
    default:
        return "Unknown database engine error " + std::to_string(status) + ".";
    }
}

std::string EngineError::Compose(IdpStatus status, const std::string& context) {
    std::string text = StatusText(status);
    if (!context.empty())
        text += "\r\n" + context;
    return text;
}

void ThrowDamaged(const std::string& path, const std::string& what) {
    throw EngineError(IDP_ERR_DAMAGED, "Table: " + path + "\r\n" + what);
}

} // namespace idp
