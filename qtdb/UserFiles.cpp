// The user's files of qtdb, over the C++ library and, on Windows, the file calls that let
// a file be replaced while another copy of qtdb is reading it.
#include "qtdb/UserFiles.h"

#include "qtdb/Engine.h"

#include <cstdlib>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace qtdb {

namespace fs = std::filesystem;

fs::path UserFolder() {
#ifdef _WIN32
    const char* base = std::getenv("APPDATA");
    return fs::path(base ? base : ".") / "Quiptide";
#else
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return fs::path(xdg) / "quiptide";
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : ".") / ".config" / "quiptide";
#endif
}

std::string ReadUserFile(const fs::path& file, size_t maxSize) {
#ifdef _WIN32
    // Shared for deletion too, so that another copy may rename its file over this one.
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (bytes.size() <= maxSize && ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(h);
#else
    std::ifstream in(file, std::ios::binary);
    std::string bytes;
    char buffer[65536];
    while (bytes.size() <= maxSize && in.read(buffer, sizeof buffer).gcount() > 0)
        bytes.append(buffer, static_cast<size_t>(in.gcount()));
#endif
    return bytes.size() <= maxSize ? bytes : std::string();
}

void ReplaceUserFile(const fs::path& file, const std::string& bytes) {
#ifdef _WIN32
    const auto id = GetCurrentProcessId();
#else
    const auto id = getpid();
#endif
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    fs::path temporary = file;
    // Appended piece by piece: GCC 12 at -O3 warns of a false overlap in "." + string.
    temporary += ".";
    temporary += std::to_string(id);
    temporary += ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << bytes;
        out.close();
        if (!out) {
            fs::remove(temporary, ec);
            throw Error(file.string() + ": cannot be written");
        }
    }
#ifdef _WIN32
    const bool moved = MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
#else
    fs::rename(temporary, file, ec);
    const bool moved = !ec;
#endif
    if (!moved) {
        fs::remove(temporary, ec);
        throw Error(file.string() + ": cannot be written");
    }
}

} // namespace qtdb
