// Engine failures: every failure inside the engine is an EngineError carrying one of
// the API's status codes and, where it helps the user, the object it concerns.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "../idapi.h"

namespace idp {

// The engine's own text for a status (every status has one).
std::string StatusText(IdpStatus status);

class EngineError : public std::runtime_error {
  public:
    EngineError(IdpStatus status, const std::string& context = {})
        : std::runtime_error(Compose(status, context)), status_(status) {}
    IdpStatus Status() const { return status_; }

  private:
    static std::string Compose(IdpStatus status, const std::string& context);
    IdpStatus status_;
};

// A block read from the file did not match what the table had from its .PX, which then
// did not describe the data after all. The table has read its blocks' headers instead,
// before anything was changed, and the call that met the block is worth making again.
class StructureChanged : public std::exception {
  public:
    const char* what() const noexcept override { return "The table's blocks were read again."; }
};

// The file is not usable as a table: shorthand for the most common failure of readers.
[[noreturn]] void ThrowDamaged(const std::string& path, const std::string& what);

} // namespace idp
