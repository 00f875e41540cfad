// Times a program's start under Wine: from process creation to its window on screen and
// the program waiting for input, the median of several starts. Each start is ended
// before the next, so a program that allows one instance is always the first.
//   startup_probe PROGRAM [RUNS]   prints `startup_ms=<median>`
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct TFound {
    DWORD process;
    bool visible = false;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<TFound*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found->process && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr)
        found->visible = true;
    return !found->visible;
}

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Milliseconds until the program shows a window and waits for input; negative on failure.
double OneStart(const std::string& program) {
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double start = Now();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        return -1;
    double shown = -1;
    for (int tries = 0; tries < 6000; ++tries) {
        if (WaitForInputIdle(pi.hProcess, 50) == 0) {
            TFound found{pi.dwProcessId};
            EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&found));
            if (found.visible) {
                shown = Now() - start;
                break;
            }
        }
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            break;
        Sleep(1);
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return shown;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_probe PROGRAM [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = OneStart(argv[1]);
        if (ms < 0) {
            std::fprintf(stderr, "startup_probe: %s did not show a window\n", argv[1]);
            return 1;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("startup_ms=%.1f\n", times[times.size() / 2]);
    return 0;
}
