// The operating-system layer on Windows: share modes give the table locks (an exclusive
// open shares nothing, a shared one shares reading and writing), so other processes and
// other handles in this one are refused by the system itself.
#include "Os.h"

#include <windows.h>

#include <cctype>

#include "Status.h"

namespace idp::os {

namespace {

[[noreturn]] void ThrowOpenError(DWORD err, const std::string& path) {
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || err == ERROR_INVALID_NAME)
        throw EngineError(IDP_ERR_NO_SUCH_TABLE, "File: " + path);
    if (err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION)
        throw EngineError(IDP_ERR_LOCKED, "Table: " + path);
    throw EngineError(IDP_ERR_ACCESS, "File: " + path);
}

DWORD ShareMode(Lock lock) {
    switch (lock) {
    case Lock::Exclusive:
        return 0;
    case Lock::Shared:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:
        return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    }
}

HANDLE OpenHandle(const std::string& path, DWORD access, Lock lock, DWORD disposition) {
    HANDLE h = ::CreateFileA(path.c_str(), access, ShareMode(lock), nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        ThrowOpenError(::GetLastError(), path);
    return h;
}

// An OVERLAPPED naming a file offset, for positioned reads and writes.
OVERLAPPED At(uint64_t offset) {
    OVERLAPPED ov{};
    ov.Offset = static_cast<DWORD>(offset);
    ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return ov;
}

// One system call moves at most 1 GiB.
DWORD Chunk(size_t remaining) {
    return remaining > 0x40000000 ? 0x40000000 : static_cast<DWORD>(remaining);
}

} // namespace

File::~File() {
    Close();
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        path_ = std::move(other.path_);
        other.handle_ = nullptr;
    }
    return *this;
}

void File::Close() {
    if (handle_)
        ::CloseHandle(handle_);
    handle_ = nullptr;
}

File File::Open(const std::string& path, bool writable, Lock lock) {
    if (DirectoryExists(path))
        throw EngineError(IDP_ERR_NOT_A_TABLE, "File: " + path);
    File f;
    f.handle_ =
        OpenHandle(path, GENERIC_READ | (writable ? GENERIC_WRITE : 0), lock, OPEN_EXISTING);
    f.path_ = path;
    return f;
}

File File::Create(const std::string& path, Lock lock) {
    File f;
    if (!StepAllowed(path)) {
        // Lost with the power: a stand-in that takes (and drops) what is written to it.
        f.handle_ = OpenHandle("NUL", GENERIC_READ | GENERIC_WRITE, Lock::None, OPEN_EXISTING);
        f.path_ = path;
        return f;
    }
    // OPEN_ALWAYS then truncate: the share mode check comes before anything is emptied.
    f.handle_ = OpenHandle(path, GENERIC_READ | GENERIC_WRITE, lock, OPEN_ALWAYS);
    f.path_ = path;
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(f.handle_, start, nullptr, FILE_BEGIN) || !::SetEndOfFile(f.handle_))
        throw EngineError(IDP_ERR_IO, "File: " + path);
    return f;
}

bool File::IsOpen() const {
    return handle_ != nullptr;
}

uint64_t File::Size() const {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(handle_, &size))
        throw EngineError(IDP_ERR_IO, "File: " + path_);
    return static_cast<uint64_t>(size.QuadPart);
}

uint64_t File::ModifiedTime() const {
    FILETIME written{};
    if (!::GetFileTime(handle_, nullptr, nullptr, &written))
        throw EngineError(IDP_ERR_IO, "File: " + path_);
    return static_cast<uint64_t>(written.dwHighDateTime) << 32 | written.dwLowDateTime;
}

size_t File::ReadAt(uint64_t offset, void* buffer, size_t count) const {
    size_t done = 0;
    while (done < count) {
        OVERLAPPED ov = At(offset + done);
        DWORD got = 0;
        if (!::ReadFile(handle_, static_cast<char*>(buffer) + done, Chunk(count - done), &got,
                        &ov)) {
            if (::GetLastError() == ERROR_HANDLE_EOF)
                break;
            throw EngineError(IDP_ERR_IO, "File: " + path_);
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

void File::WriteAt(uint64_t offset, const void* buffer, size_t count) {
    count = WriteAllowed(path_, offset, buffer, count);
    size_t done = 0;
    while (done < count) {
        OVERLAPPED ov = At(offset + done);
        DWORD put = 0;
        if (!::WriteFile(handle_, static_cast<const char*>(buffer) + done, Chunk(count - done),
                         &put, &ov) ||
            put == 0)
            throw EngineError(IDP_ERR_IO, "File: " + path_);
        done += put;
    }
}

void File::Truncate(uint64_t size) {
    if (!StepAllowed(path_))
        return;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle_))
        throw EngineError(IDP_ERR_IO, "File: " + path_);
}

bool FileExists(const std::string& path) {
    DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsReadOnly(const std::string& path) {
    DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

void RemoveFile(const std::string& path) {
    if (!FileExists(path) || !StepAllowed(path))
        return;
    if (!::DeleteFileA(path.c_str())) {
        DWORD err = ::GetLastError();
        if (err == ERROR_FILE_NOT_FOUND)
            return;
        if (err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION)
            throw EngineError(IDP_ERR_LOCKED, "Table: " + path);
        throw EngineError(IDP_ERR_ACCESS, "File: " + path);
    }
}

std::vector<std::string> ListFiles(const std::string& directory) {
    std::vector<std::string> names;
    std::string pattern = directory.empty() ? std::string("*") : directory;
    if (!directory.empty() && !IsSeparator(pattern.back()))
        pattern += '\\';
    if (!directory.empty())
        pattern += '*';
    WIN32_FIND_DATAA data;
    HANDLE h = ::FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (::FindNextFileA(h, &data));
    ::FindClose(h);
    return names;
}

bool MakeDirectories(const std::string& path) {
    if (path.empty() || DirectoryExists(path))
        return true;
    std::string trimmed = path;
    while (trimmed.size() > 3 && IsSeparator(trimmed.back()))
        trimmed.pop_back();
    size_t cut = trimmed.find_last_of("\\/");
    if (cut != std::string::npos && cut > 2 && !MakeDirectories(trimmed.substr(0, cut)))
        return false;
    return ::CreateDirectoryA(trimmed.c_str(), nullptr) || DirectoryExists(trimmed);
}

std::string UserScratchDirectory() {
    char buffer[MAX_PATH + 1];
    DWORD n = ::GetTempPathA(sizeof buffer, buffer);
    std::string base = n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string("C:\\");
    if (!IsSeparator(base.back()))
        base += '\\';
    return base + "Quiptide\\";
}

std::string FileKey(const std::string& path) {
    char buffer[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    std::string key = n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
    for (char& c : key) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '/')
            c = '\\';
    }
    return key;
}

char Separator() {
    return '\\';
}
bool IsSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

} // namespace idp::os
