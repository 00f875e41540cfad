// TSession: an engine session. The default one lives as long as the process; named ones
// are found or created by name. A session has a private directory for its scratch
// tables and a list of master passwords tried when a protected table is opened.
#pragma once

#include "platform/idapi/idapi.h"

#include <string>

namespace fw {

class TSession {
  public:
    static TSession Default();
    // Sessions in the process, the default one included.
    static int Count();
    // The session of that name (case ignored), created when there is none; it becomes
    // the active session.
    static TSession OpenSession(const std::string& name);

    std::string SessionName() const;
    // Databases the session has open.
    int DatabaseCount() const;
    // Ends with a separator; created when missing.
    std::string PrivateDir() const;
    void AddPassword(const std::string& password) const;
    void RemovePassword(const std::string& password) const;

    IdpSession Handle() const { return handle_; }

  private:
    explicit TSession(IdpSession handle) : handle_(handle) {}
    void Info(std::string* name, int* databases) const;

    IdpSession handle_;
};

} // namespace fw
