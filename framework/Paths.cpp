// Path helpers and the file-existence check over the Windows file services.
#include "framework/Paths.h"

#include <windows.h>

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

} // namespace fw
