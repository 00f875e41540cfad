// Run-time helpers over the C++ library and the Windows locale and file services.
#include "framework/SysUtils.h"

#include "framework/Exception.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace fw {

std::string IntToStr(long long value) {
    return std::to_string(value);
}

int StrToInt(const std::string& text) {
    size_t b = text.find_first_not_of(' ');
    size_t e = text.find_last_not_of(' ');
    bool ok = b != std::string::npos;
    long value = 0;
    if (ok) {
        std::string core = text.substr(b, e - b + 1);
        size_t digits = (core[0] == '-' || core[0] == '+') ? 1 : 0;
        ok = core.size() > digits &&
             core.find_first_not_of("0123456789", digits) == std::string::npos;
        if (ok) {
            errno = 0;
            long long v = std::strtoll(core.c_str(), nullptr, 10);
            ok = errno == 0 && v >= INT_MIN && v <= INT_MAX;
            value = static_cast<long>(v);
        }
    }
    if (!ok)
        throw EConvertError("'" + text + "' is not a valid integer value");
    return static_cast<int>(value);
}

std::string LowerCase(const std::string& text) {
    std::string s = text;
    if (!s.empty())
        CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

namespace {

// Asks a locale formatter for the needed length first, so no format is cut.
template <typename F> std::string LocaleText(F format) {
    int n = format(nullptr, 0);
    if (n <= 0)
        return {};
    std::vector<char> buf(n);
    n = format(buf.data(), n);
    return n > 0 ? std::string(buf.data()) : std::string();
}

} // namespace

std::string DateToStr() {
    return LocaleText([](char* buf, int size) {
        return GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buf, size);
    });
}

std::string TimeToStr() {
    return LocaleText([](char* buf, int size) {
        return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buf, size);
    });
}

std::string ExtractFilePath(const std::string& fileName) {
    size_t p = fileName.find_last_of("\\:");
    return p == std::string::npos ? std::string() : fileName.substr(0, p + 1);
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

std::string ProgramFileName() {
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size())
            return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::string CommandLine() {
    return GetCommandLineA();
}

} // namespace fw
