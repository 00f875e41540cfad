// The running program from the system, and program start through CreateProcess, so that a
// path with blanks names exactly one file.
#include "framework/Process.h"

#include <windows.h>

#include <vector>

namespace fw {

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
