// Engine statuses turned into errors with the engine's text, database errors with
// formatted messages, and the case-blind comparison of field names.
#include "framework/data/DBErrors.h"

#include "platform/idapi/idapi.h"

#include <cctype>

namespace fw {

void Check(std::uint16_t status) {
    if (status == IDP_OK)
        return;
    char text[512] = {};
    if (idpGetErrorText(status, text, sizeof text) == IDP_OK && text[0])
        throw EDBEngineError(status, text);
    throw EDBEngineError(status, "Database engine error " + std::to_string(status));
}

void CheckCall(std::uint16_t status) {
    if (status == IDP_OK)
        return;
    char text[512] = {};
    IdpStatus last = IDP_OK;
    if (idpGetLastError(&last, text, sizeof text) == IDP_OK && last == status && text[0])
        throw EDBEngineError(status, text);
    Check(status);
}

void DatabaseErrorFmt(const std::string& format, const std::string& first,
                      const std::string& second) {
    std::string message;
    const std::string* values[] = {&first, &second};
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && next < 2) {
            message += *values[next++];
            ++i;
        } else {
            message += format[i];
        }
    }
    throw EDatabaseError(message);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace fw
