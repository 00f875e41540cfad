// File moves through the standard library, so the core stays free of system headers.
#include "FileMoves.h"

#include <filesystem>
#include <system_error>

#include "core/Os.h"
#include "core/Status.h"
#include "core/TablePath.h"

namespace tutil {

namespace fs = std::filesystem;

// A rename or a copy changes the disk as a write does, so the file layer's fault hooks
// count each one.
void MoveFile(const std::string& from, const std::string& to) {
    if (!idp::os::StepAllowed(to))
        return;
    std::error_code ec;
    fs::rename(fs::u8path(from), fs::u8path(to), ec);
    if (!ec)
        return;
    CopyFile(from, to);
    idp::os::RemoveFile(from);
}

void CopyFile(const std::string& from, const std::string& to) {
    if (!idp::os::StepAllowed(to))
        return;
    std::error_code ec;
    fs::copy_file(fs::u8path(from), fs::u8path(to), fs::copy_options::overwrite_existing, ec);
    if (ec)
        throw idp::EngineError(IDP_ERR_ACCESS, "File: " + from + " to " + to + ": " + ec.message());
}

std::vector<std::string> TableFiles(const std::string& dbPath) {
    std::vector<std::string> files;
    if (idp::os::FileExists(dbPath))
        files.push_back(dbPath);
    for (const std::string& c : idp::ExistingCompanions(dbPath))
        files.push_back(c);
    return files;
}

std::string SameKindFor(const std::string& file, const std::string& otherDbPath) {
    const std::string name = idp::FileOf(file);
    const size_t dot = name.rfind('.');
    return idp::CompanionPath(otherDbPath, dot == std::string::npos ? "" : name.substr(dot + 1));
}

void RemoveTableFiles(const std::string& dbPath) {
    for (const std::string& f : TableFiles(dbPath))
        idp::os::RemoveFile(f);
}

} // namespace tutil
