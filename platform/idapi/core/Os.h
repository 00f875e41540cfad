// The engine's view of the operating system: files with the table locks, directory
// queries and the per-user scratch folder. OsPosix.cpp and OsWin32.cpp implement it;
// everything above this layer is portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace idp::os {

// None: a plain read that takes no lock (reading a header); Shared: any number of
// shared holders; Exclusive: no other holder at all, in this process or another.
enum class Lock { None, Shared, Exclusive };

class File {
  public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens an existing file; throws EngineError: IDP_ERR_NO_SUCH_TABLE when it does not
    // exist, IDP_ERR_LOCKED when the lock is refused, IDP_ERR_ACCESS otherwise.
    static File Open(const std::string& path, bool writable, Lock lock);
    // Creates or truncates a file for writing.
    static File Create(const std::string& path, Lock lock);

    bool IsOpen() const;
    uint64_t Size() const;
    // When the file was last written, in the platform's ticks: comparable only with another
    // file's on the same machine.
    uint64_t ModifiedTime() const;
    // Reads up to count bytes; returns how many were there.
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) const;
    // Writes all bytes or throws IDP_ERR_IO.
    void WriteAt(uint64_t offset, const void* buffer, size_t count);
    void Truncate(uint64_t size);
    const std::string& Path() const { return path_; }

  private:
    void Close();
    std::string path_;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Whether an existing file may not be written or deleted by this user (read-only).
bool IsReadOnly(const std::string& path);
// Deletes a file; IDP_ERR_LOCKED when someone holds it open, IDP_ERR_ACCESS otherwise.
// A missing file is not an error.
void RemoveFile(const std::string& path);
// Names (not paths) of the regular files in a directory.
std::vector<std::string> ListFiles(const std::string& directory);
// Creates a directory and its missing parents; false when that fails.
bool MakeDirectories(const std::string& path);
// A writable folder of this user for the engine's private files, with a separator.
std::string UserScratchDirectory();
// A key naming the same file for every spelling of its path (absolute; case folded
// where the file system ignores case).
std::string FileKey(const std::string& path);
// The path separator of the platform.
char Separator();
bool IsSeparator(char c);

// Test hooks, reached from tests only (nothing in the C API leads here). Every change the
// layer makes to disk (a write, a truncation, a creation, a deletion) is one step. Fail:
// the steps after the first `keep` throw IDP_ERR_IO as a failing disk would. FailOnce:
// only the step after the first `keep` throws, and the later ones succeed. PowerLoss:
// the steps after the first `keep` silently do nothing, as if the machine had gone down
// there; the test then drops the tables in memory and reopens the files. TornWrite: as
// PowerLoss, but when the step after the first `keep` is a write, its first half reaches
// the disk, as a block half written when the power went.
namespace fault {
enum class Mode { Off, Fail, FailOnce, PowerLoss, TornWrite };
// The write that was torn: where it went and all it meant to write.
struct Tear {
    std::string path;
    uint64_t offset = 0;
    std::vector<uint8_t> meant;
};
void Arm(Mode mode, long keep);
void Disarm();
// Steps taken since Arm, the failed or dropped ones included.
long Steps();
// True once a step failed or was dropped since Arm.
bool Struck();
// The torn write since Arm, if a write was torn.
const Tear* Torn();
} // namespace fault

// Called before each step: true to go ahead, false to drop it; throws when it fails.
bool StepAllowed(const std::string& path);
// Called before each write instead: how many of its first bytes to write (count, or
// fewer when it is dropped or torn); throws when it fails.
size_t WriteAllowed(const std::string& path, uint64_t offset, const void* buffer, size_t count);

} // namespace idp::os
