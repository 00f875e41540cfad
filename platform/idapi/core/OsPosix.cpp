// The operating-system layer on POSIX systems: flock() gives the table locks, so an
// exclusive open excludes every other open file description, in this process or another.
#include "Os.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Status.h"

namespace idp::os {

namespace {

[[noreturn]] void ThrowOpenError(int err, const std::string& path) {
    if (err == ENOENT || err == ENOTDIR)
        throw EngineError(IDP_ERR_NO_SUCH_TABLE, "File: " + path);
    throw EngineError(IDP_ERR_ACCESS, "File: " + path);
}

int OpenLocked(const std::string& path, int flags, Lock lock) {
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0)
        ThrowOpenError(errno, path);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw EngineError(IDP_ERR_NOT_A_TABLE, "File: " + path);
    }
    if (lock != Lock::None) {
        int op = (lock == Lock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
        if (::flock(fd, op) != 0) {
            ::close(fd);
            throw EngineError(IDP_ERR_LOCKED, "Table: " + path);
        }
    }
    return fd;
}

} // namespace

File::~File() {
    Close();
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

void File::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

File File::Open(const std::string& path, bool writable, Lock lock) {
    File f;
    f.fd_ = OpenLocked(path, writable ? O_RDWR : O_RDONLY, lock);
    f.path_ = path;
    return f;
}

File File::Create(const std::string& path, Lock lock) {
    File f;
    if (!StepAllowed(path)) {
        // Lost with the power: a stand-in that takes (and drops) what is written to it.
        f.fd_ = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        f.path_ = path;
        return f;
    }
    // Take the lock before truncating, so a table someone holds is never emptied.
    f.fd_ = OpenLocked(path, O_RDWR | O_CREAT, lock);
    f.path_ = path;
    if (::ftruncate(f.fd_, 0) != 0)
        throw EngineError(IDP_ERR_IO, "File: " + path);
    return f;
}

bool File::IsOpen() const {
    return fd_ >= 0;
}

uint64_t File::Size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw EngineError(IDP_ERR_IO, "File: " + path_);
    return static_cast<uint64_t>(st.st_size);
}

uint64_t File::ModifiedTime() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw EngineError(IDP_ERR_IO, "File: " + path_);
    return static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
           static_cast<uint64_t>(st.st_mtim.tv_nsec);
}

size_t File::ReadAt(uint64_t offset, void* buffer, size_t count) const {
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, count - done,
                            static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EngineError(IDP_ERR_IO, "File: " + path_);
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

void File::WriteAt(uint64_t offset, const void* buffer, size_t count) {
    count = WriteAllowed(path_, offset, buffer, count);
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::pwrite(fd_, static_cast<const char*>(buffer) + done, count - done,
                             static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EngineError(IDP_ERR_IO, "File: " + path_);
        done += static_cast<size_t>(n);
    }
}

void File::Truncate(uint64_t size) {
    if (!StepAllowed(path_))
        return;
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        throw EngineError(IDP_ERR_IO, "File: " + path_);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsReadOnly(const std::string& path) {
    // The owner's write bit, as Windows shows a file's read-only attribute (access() would
    // say yes to root whatever the bits).
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR);
}

void RemoveFile(const std::string& path) {
    if (!FileExists(path) || !StepAllowed(path))
        return;
    // flock does not stop unlink, so ask for the exclusive lock first: a holder refuses it.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        if (!free)
            throw EngineError(IDP_ERR_LOCKED, "Table: " + path);
    }
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw EngineError(IDP_ERR_ACCESS, "File: " + path);
}

std::vector<std::string> ListFiles(const std::string& directory) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!dir)
        return names;
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        std::string full = directory.empty() ? name : directory + "/" + name;
        if (FileExists(full))
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool MakeDirectories(const std::string& path) {
    if (path.empty() || DirectoryExists(path))
        return true;
    size_t cut = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
    if (cut != std::string::npos && cut > 0 && !MakeDirectories(path.substr(0, cut)))
        return false;
    return ::mkdir(path.c_str(), 0700) == 0 || DirectoryExists(path);
}

std::string UserScratchDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    if (base.back() != '/')
        base += '/';
    return base + "quiptide-" + std::to_string(::getuid()) + "/";
}

std::string FileKey(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real) {
        std::string key = real;
        std::free(real);
        return key;
    }
    if (!path.empty() && path[0] == '/')
        return path;
    char cwd[4096];
    return ::getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

char Separator() {
    return '/';
}
bool IsSeparator(char c) {
    return c == '/';
}

} // namespace idp::os
