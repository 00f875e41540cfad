// Text files shared with other programs, over the Win32 file API: read whole, written in
// place (never deleted and created again, so that a program holding the file open, and
// its attributes and permissions, are not disturbed) or replaced whole.
#include "framework/TextFiles.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace fw {

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

// The failure of the last file call, in the system's words after our own.
[[noreturn]] void Fail(const std::string& what, const std::string& fileName,
                       DWORD error = GetLastError()) {
    std::string message = what + " " + fileName;
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    if (n > 0 && text) {
        std::string reason(text, n);
        LocalFree(text);
        reason.erase(reason.find_last_not_of("\r\n ") + 1);
        if (!reason.empty())
            message += "\r\n" + reason;
    }
    throw EFileError(message);
}

FileHandle Open(const std::string& fileName, DWORD access, DWORD share, DWORD disposition,
                const char* what) {
    HANDLE h = CreateFileA(fileName.c_str(), access, share, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        Fail(what, fileName);
    return FileHandle(h);
}

void WriteAll(HANDLE h, const std::string& fileName, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(h, text.data() + done, chunk, &written, nullptr) || written == 0)
            Fail("Cannot write file", fileName);
        done += written;
    }
}

} // namespace

std::string ReadSharedFile(const std::string& fileName, unsigned long long maxSize,
                           bool forWriting) {
    const DWORD access = GENERIC_READ | (forWriting ? GENERIC_WRITE : 0);
    FileHandle f = Open(fileName, access, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                        "Cannot open file");
    std::string text;
    char buf[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(f.get(), buf, sizeof buf, &got, nullptr))
            Fail("Cannot read file", fileName);
        if (got == 0)
            return text;
        if (text.size() + got > maxSize)
            throw EFileError("Cannot read file " + fileName + "\r\nThe file is larger than " +
                             std::to_string(maxSize >> 20) + " MB.");
        text.append(buf, got);
    }
}

void OverwriteSharedFile(const std::string& fileName, const std::string& text) {
    FileHandle f = Open(fileName, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                        "Cannot open file");
    WriteAll(f.get(), fileName, text);
    if (!SetEndOfFile(f.get()))
        Fail("Cannot write file", fileName);
}

void WriteWholeFile(const std::string& fileName, const std::string& text) {
    FileHandle f =
        Open(fileName, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, "Cannot create file");
    WriteAll(f.get(), fileName, text);
}

} // namespace fw
