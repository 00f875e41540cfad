// Sessions, databases, callbacks and the table list.
#include "Session.h"

#include <cstring>

#include "CodePage.h"
#include "Os.h"
#include "Status.h"
#include "Table.h"
#include "TablePath.h"
#include "TextFold.h"

namespace idp {

Sessions::Sessions() {
    sessions_.push_back(std::make_unique<Session>());
    sessions_.front()->name = "Default";
    active_ = sessions_.front().get();
}

Sessions& Sessions::Instance() {
    static Sessions instance;
    return instance;
}

bool Sessions::IsLive(const Session* s) const {
    for (const auto& p : sessions_)
        if (p.get() == s)
            return true;
    return false;
}

Session* Sessions::At(size_t index) {
    auto it = sessions_.begin();
    for (size_t i = 0; i < index && it != sessions_.end(); ++i)
        ++it;
    return it == sessions_.end() ? nullptr : it->get();
}

Session* Sessions::OpenNamed(const std::string& name) {
    for (const auto& p : sessions_)
        if (FoldCase(p->name) == FoldCase(name)) {
            active_ = p.get();
            return active_;
        }
    sessions_.push_back(std::make_unique<Session>());
    sessions_.back()->name = name;
    active_ = sessions_.back().get();
    return active_;
}

std::string Sessions::PrivateDir(Session* s) {
    if (s->privateDir.empty())
        s->privateDir = os::UserScratchDirectory();
    if (!os::MakeDirectories(s->privateDir))
        throw EngineError(IDP_ERR_ACCESS, "Directory: " + s->privateDir);
    return s->privateDir;
}

Database* Sessions::OpenDatabase(Session* s, const std::string& directory) {
    std::string dir = directory;
    if (!dir.empty() && !os::IsSeparator(dir.back()))
        dir += os::Separator();
    if (!dir.empty() && !os::DirectoryExists(dir))
        throw EngineError(IDP_ERR_NOT_FOUND, "Directory: " + directory);
    std::string key = os::FileKey(dir.empty() ? std::string(".") : dir);
    for (const auto& d : databases_)
        if (d->session == s && d->key == key) {
            ++d->references;
            return d.get();
        }
    auto d = std::make_unique<Database>();
    d->session = s;
    d->directory = dir;
    d->key = key;
    d->references = 1;
    ++s->openDatabases;
    databases_.push_back(std::move(d));
    return databases_.back().get();
}

bool Sessions::IsLive(const Database* d) const {
    for (const auto& p : databases_)
        if (p.get() == d)
            return true;
    return false;
}

void Sessions::CloseDatabase(Database* d) {
    if (--d->references > 0)
        return;
    --d->session->openDatabases;
    databases_.remove_if([d](const auto& p) { return p.get() == d; });
}

void Sessions::RegisterCallback(uint16_t type, const CallbackRegistration& r) {
    if (r.fn)
        callbacks_[type] = r;
    else
        callbacks_.erase(type);
}

const CallbackRegistration* Sessions::Callback(uint16_t type) const {
    auto it = callbacks_.find(type);
    return it == callbacks_.end() ? nullptr : &it->second;
}

namespace {

void CopyField(char* dst, size_t size, const std::string& src) {
    size_t n = src.size() < size - 1 ? src.size() : size - 1;
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

} // namespace

std::vector<IdpTableListEntry> ListTables(const std::string& directory, const std::string& pattern,
                                          bool extended) {
    std::string filePattern = FileOf(pattern);
    if (filePattern.empty())
        filePattern = "*.db";
    else if (!HasExtension(filePattern) && filePattern.find('*') == std::string::npos)
        filePattern += ".db";
    std::vector<IdpTableListEntry> entries;
    for (const std::string& name : os::ListFiles(directory)) {
        if (!WildcardMatch(filePattern, name) ||
            FoldCase(name.substr(name.size() > 3 ? name.size() - 3 : 0)) != ".DB")
            continue;
        IdpTableListEntry e{};
        CopyField(e.name, sizeof e.name, name);
        CopyField(e.directory, sizeof e.directory, directory);
        CopyField(e.tableType, sizeof e.tableType, "Paradox");
        if (extended) {
            try {
                TableHeader h;
                std::vector<IndexDef> indexes;
                Table::Describe(directory + name, h, indexes);
                const Schema& s = h.schema;
                CopyField(e.locale, sizeof e.locale, CodePageName(s.codePage));
                e.version = s.version >= 0x0C ? 7 : s.version >= 0x0A ? 5 : s.version >= 5 ? 4 : 3;
                e.fieldCount = static_cast<uint16_t>(s.fields.size());
                e.recordSize = s.recordSize;
                e.keyFields = s.keyFields;
                e.indexCount = static_cast<uint16_t>(indexes.size());
                e.blockSize = s.blockSize;
                e.auxPasswords = h.auxPasswords;
                e.passwordProtected = h.encrypted ? 1 : 0;
                e.codePage = s.codePage;
                e.recordCount = static_cast<int32_t>(h.numRecords);
                e.changeCount = h.changeCount;
                e.infoValid = 1;
            } catch (const EngineError&) {
                e.infoValid = 0; // listed, but its header could not be read
            }
        }
        entries.push_back(e);
    }
    return entries;
}

} // namespace idp
