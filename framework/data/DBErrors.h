// Errors of the data-access classes: a database error carries a message in the system's
// words; an engine error is a database error raised for a failed engine status, with the
// engine's own text.
#pragma once

#include "framework/Exception.h"

#include <cstdint>
#include <string>

namespace fw {

class EDatabaseError : public Exception {
    using Exception::Exception;
};

class EDBEngineError : public EDatabaseError {
  public:
    EDBEngineError(std::uint16_t errorCode, const std::string& message)
        : EDatabaseError(message), errorCode_(errorCode) {}
    std::uint16_t ErrorCode() const { return errorCode_; }

  private:
    std::uint16_t errorCode_;
};

// The status check for engine and table-utility statuses: any status but 0 raises
// EDBEngineError with the engine's text for it.
void Check(std::uint16_t status);
// The same, right after a call into the engine: the text also gives the failure's
// context (the table's path), which the engine keeps for its last failure.
void CheckCall(std::uint16_t status);

// Raises EDatabaseError with `format`'s "%s" markers replaced, in order, by the values.
[[noreturn]] void DatabaseErrorFmt(const std::string& format, const std::string& first,
                                   const std::string& second = std::string());

// Field and index names are compared with the case ignored.
bool SameName(const std::string& a, const std::string& b);

} // namespace fw
