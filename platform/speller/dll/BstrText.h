// The control's strings between automation's BSTRs and the program's Windows-1252 text,
// for the control and for the program that talks to it.
#pragma once

#include <oleauto.h>
#include <windows.h>

#include <string>

namespace vspell {

// The program's texts are Windows-1252, whatever the system's code page.
constexpr UINT kTextCodePage = 1252;

inline std::string Narrow(const wchar_t* s, size_t length) {
    if (!s || length == 0)
        return {};
    const int n = static_cast<int>(length);
    std::string out(static_cast<size_t>(
                        WideCharToMultiByte(kTextCodePage, 0, s, n, nullptr, 0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(kTextCodePage, 0, s, n, out.data(), static_cast<int>(out.size()), nullptr,
                        nullptr);
    return out;
}

// A BSTR knows its length (it may hold NULs); a null one is empty.
inline std::string Narrow(BSTR s) {
    return Narrow(s, SysStringLen(s));
}

// A new BSTR the caller frees (or hands on to one who does).
inline BSTR Wide(const std::string& s) {
    const int n =
        MultiByteToWideChar(kTextCodePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    MultiByteToWideChar(kTextCodePage, 0, s.data(), static_cast<int>(s.size()), out, n);
    return out;
}

} // namespace vspell
