// Engine sessions: the default one, named ones, their private directories and the
// passwords they try on protected tables.
#include "framework/data/Session.h"

#include "framework/data/DBErrors.h"

#include <cstring>

namespace fw {

TSession TSession::Default() {
    IdpSession session = nullptr;
    CheckCall(idpGetDefaultSession(&session));
    return TSession(session);
}

int TSession::Count() {
    uint16_t count = 0;
    CheckCall(idpGetSessionCount(&count));
    return count;
}

TSession TSession::OpenSession(const std::string& name) {
    IdpSession session = nullptr;
    CheckCall(idpOpenSession(name.c_str(), &session));
    return TSession(session);
}

std::string TSession::SessionName() const {
    std::string name;
    Info(&name, nullptr);
    return name;
}

int TSession::DatabaseCount() const {
    int databases = 0;
    Info(nullptr, &databases);
    return databases;
}

// The engine reports sessions by position; ours is the one with this handle.
void TSession::Info(std::string* name, int* databases) const {
    for (uint16_t i = 0, count = static_cast<uint16_t>(Count()); i < count; ++i) {
        char text[IDP_MAX_NAME] = {};
        uint16_t open = 0;
        IdpSession session = nullptr;
        CheckCall(idpGetSessionInfo(i, text, sizeof text, &open, &session));
        if (session == handle_) {
            if (name)
                *name = std::string(text, strnlen(text, sizeof text));
            if (databases)
                *databases = open;
            return;
        }
    }
    Check(IDP_ERR_NOT_FOUND);
}

std::string TSession::PrivateDir() const {
    char dir[IDP_MAX_PATH] = {};
    CheckCall(idpGetPrivateDir(handle_, dir, sizeof dir));
    return std::string(dir, strnlen(dir, sizeof dir));
}

void TSession::AddPassword(const std::string& password) const {
    CheckCall(idpAddPassword(handle_, password.c_str()));
}

void TSession::RemovePassword(const std::string& password) const {
    CheckCall(idpDropPassword(handle_, password.c_str()));
}

} // namespace fw
