// Exceptions that carry a message for the user. Commands let them propagate; the
// application's general error display shows the message and the program keeps running.
#pragma once

#include <stdexcept>
#include <string>

namespace fw {

class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Raised by the run-time conversions ("'%s' is not a valid integer value").
class EConvertError : public Exception {
    using Exception::Exception;
};

// Raised by the Variant conversions ("Invalid variant type conversion").
class EVariantError : public Exception {
    using Exception::Exception;
};

// Raised when a file cannot be opened, read or written; the message names the file.
class EFileError : public Exception {
    using Exception::Exception;
};

} // namespace fw
