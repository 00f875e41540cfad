// Appending to or replacing a small text file, reporting the system's reason on failure.
#include "platform/speller/core/TextFile.h"

#include "platform/speller/core/Speller.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace spell {

namespace {

struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

[[noreturn]] void Fail(const char* what, const std::string& path, const std::string& reason) {
    throw Error(std::string(what) + " " + path + " cannot be written: " + reason);
}

// Writes and closes, the close included: a full disk may only show when the data is flushed.
void Put(const std::string& path, std::string_view data, const char* mode, const char* what) {
    std::unique_ptr<std::FILE, Closer> f(std::fopen(path.c_str(), mode));
    if (!f)
        Fail(what, path, std::strerror(errno));
    errno = 0;
    const bool written = std::fwrite(data.data(), 1, data.size(), f.get()) == data.size() &&
                         std::fflush(f.get()) == 0;
    const int reason = errno;
    if (std::fclose(f.release()) != 0 || !written)
        Fail(what, path, std::strerror(reason ? reason : errno ? errno : EIO));
}

} // namespace

void WriteText(const std::string& path, std::string_view data, bool append, const char* what) {
    const std::filesystem::path file(path);
    std::error_code ec;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), ec);
    if (append) {
        Put(path, data, "ab", what);
        return;
    }
    // The old file stays whole until the new one is complete.
    const std::string temporary = path + ".new";
    Put(temporary, data, "wb", what);
    std::filesystem::rename(temporary, file, ec);
    if (ec) {
        std::filesystem::remove(temporary);
        Fail(what, path, ec.message());
    }
}

} // namespace spell
