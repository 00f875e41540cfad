// Text helpers over the C++ library and the Windows character services.
#include "framework/Strings.h"

#include "framework/Exception.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

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

std::string AnsiFromWide(std::wstring_view text, bool* replaced) {
    BOOL lost = FALSE;
    std::string ansi;
    if (!text.empty()) {
        const int length = static_cast<int>(text.size());
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                          nullptr, 0, nullptr, &lost);
        ansi.resize(static_cast<size_t>(n));
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, ansi.data(), n,
                            nullptr, &lost);
    }
    if (replaced)
        *replaced = lost != FALSE;
    return ansi;
}

} // namespace fw
