// Times a program's start under Wine: from process creation to its main window on screen
// and the program waiting for input, the median of several starts, with the process's peak
// working set at that moment. Each start is ended before the next, so a program that
// allows one instance is always the first.
//   startup_probe PROGRAM [RUNS] [PEER]   prints `startup_ms=<median>` and
//   `peak_ws_kb=<median>`; with a PEER, its starts alternate with the program's (so that
//   a machine that slows down or speeds up meanwhile weighs on both alike) and
//   `peer_ms=<median>` follows.
#include <windows.h>

#include <psapi.h>

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

// The program's main window: a visible top-level window with a title bar, which a splash
// window shown while the program loads is not.
BOOL CALLBACK FindVisible(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<TFound*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if (owner == found->process && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == nullptr && (style & WS_CAPTION) == WS_CAPTION)
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

struct TStart {
    double ms = -1; // negative when no window came
    double peakKb = 0;
};

// Time until the program shows a window and waits for input, and its memory then.
TStart OneStart(const std::string& program) {
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double start = Now();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        return {};
    TStart shown;
    for (int tries = 0; tries < 6000; ++tries) {
        if (WaitForInputIdle(pi.hProcess, 50) == 0) {
            TFound found{pi.dwProcessId};
            EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&found));
            if (found.visible) {
                shown.ms = Now() - start;
                PROCESS_MEMORY_COUNTERS memory{};
                if (GetProcessMemoryInfo(pi.hProcess, &memory, sizeof memory))
                    shown.peakKb = static_cast<double>(memory.PeakWorkingSetSize) / 1024.0;
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
        std::fprintf(stderr, "usage: startup_probe PROGRAM [RUNS] [PEER]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    const char* peer = argc > 3 ? argv[3] : nullptr;
    std::vector<double> times, peaks, peerTimes;
    const auto start = [](const char* program, std::vector<double>& into, double* peakKb) {
        const TStart one = OneStart(program);
        if (one.ms < 0) {
            std::fprintf(stderr, "startup_probe: %s did not show a window\n", program);
            return false;
        }
        into.push_back(one.ms);
        if (peakKb)
            *peakKb = one.peakKb;
        return true;
    };
    for (int i = 0; i < runs; ++i) {
        double peakKb = 0;
        if (!start(argv[1], times, &peakKb) || (peer && !start(peer, peerTimes, nullptr)))
            return 1;
        peaks.push_back(peakKb);
    }
    const auto median = [](std::vector<double>& v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("startup_ms=%.1f\npeak_ws_kb=%.0f\n", median(times), median(peaks));
    if (peer)
        std::printf("peer_ms=%.1f\n", median(peerTimes));
    return 0;
}
