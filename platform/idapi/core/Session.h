// Sessions of the engine and what belongs to them: a private directory, registered
// master passwords and the databases (directories) opened in them; plus the process's
// callback registrations and the table-list query.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../idapi.h"

namespace idp {

struct Session {
    std::string name;
    std::string privateDir; // empty until asked for: then the user's scratch folder
    std::vector<std::string> passwords;
    uint16_t openDatabases = 0;
};

struct Database {
    Session* session = nullptr;
    std::string directory; // with a trailing separator
    std::string key;
    uint32_t references = 0;
};

struct CallbackRegistration {
    uintptr_t clientData = 0;
    uint16_t bufferSize = 0;
    void* buffer = nullptr;
    IdpCallback fn = nullptr;
};

class Sessions {
  public:
    static Sessions& Instance();

    Session* Default() { return sessions_.front().get(); }
    Session* Active() { return active_; }
    void SetActive(Session* s) { active_ = s; }
    bool IsLive(const Session* s) const;
    size_t Count() const { return sessions_.size(); }
    Session* At(size_t index);
    // Finds a session by name (case ignored) or creates it, and makes it active.
    Session* OpenNamed(const std::string& name);
    std::string PrivateDir(Session* s);

    Database* OpenDatabase(Session* s, const std::string& directory);
    bool IsLive(const Database* d) const;
    // Releases one reference; the last one closes the database.
    void CloseDatabase(Database* d);

    void RegisterCallback(uint16_t type, const CallbackRegistration& r);
    const CallbackRegistration* Callback(uint16_t type) const;

  private:
    Sessions();
    std::list<std::unique_ptr<Session>> sessions_;
    Session* active_;
    std::list<std::unique_ptr<Database>> databases_;
    std::map<uint16_t, CallbackRegistration> callbacks_;
};

// The entries of a table-list query on a directory.
std::vector<IdpTableListEntry> ListTables(const std::string& directory, const std::string& pattern,
                                          bool extended);

} // namespace idp
