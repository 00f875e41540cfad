// Path helpers and the file-existence check over the Windows file services.
#include "framework/Paths.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <utility>

namespace fw {

std::string ExtractFilePath(const std::string& fileName) {
    size_t p = fileName.find_last_of("\\:");
    return p == std::string::npos ? std::string() : fileName.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& fileName) {
    return fileName.substr(ExtractFilePath(fileName).size());
}

std::string ExtractFileExt(const std::string& fileName) {
    size_t dot = fileName.find_last_of('.');
    size_t sep = fileName.find_last_of("\\:");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep))
        return {};
    return fileName.substr(dot);
}

bool FileExists(const std::string& fileName) {
    DWORD a = GetFileAttributesA(fileName.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// The volume and file number that name a file whatever path leads to it.
std::optional<std::pair<DWORD, ULONGLONG>> FileIdentity(const std::string& fileName) {
    HANDLE h = CreateFileA(fileName.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::unique_ptr<void, decltype(&CloseHandle)> closer(h, CloseHandle);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info))
        return std::nullopt;
    return std::pair{info.dwVolumeSerialNumber,
                     (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

} // namespace

bool SameFile(const std::string& a, const std::string& b) {
    const auto first = FileIdentity(a);
    return first && first == FileIdentity(b);
}

} // namespace fw
