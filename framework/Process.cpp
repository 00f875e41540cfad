// Program start through CreateProcess, so that a path with blanks names exactly one file.
#include "framework/Process.h"

#include <windows.h>

namespace fw {

unsigned StartProgram(const std::string& path, int showCmd) {
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showCmd);
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return 33;
    }
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
        return 2;
    case ERROR_PATH_NOT_FOUND:
        return 3;
    case ERROR_BAD_EXE_FORMAT:
        return 11;
    default:
        return 0;
    }
}

} // namespace fw
