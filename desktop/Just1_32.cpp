// The single-instance guard: the named mutex taken at start, and the search for the
// earlier copy's window.
#include "desktop/Just1_32.h"

namespace {

TPreviousInstance* current = nullptr;

} // namespace

std::string GuardMutexName(const std::string& programPath) {
    const size_t sep = programPath.find_last_of("\\:");
    return sep == std::string::npos ? programPath : programPath.substr(sep + 1);
}

std::string GuardWindowTitle(const std::string& mutexName) {
    if (mutexName.find(".EXE") == std::string::npos)
        return {};
    return mutexName.substr(0, mutexName.size() - 4);
}

TPreviousInstance::TPreviousInstance(const std::string& programPath) {
    const std::string name = GuardMutexName(programPath);
    windowTitle_ = GuardWindowTitle(name);
    SetLastError(ERROR_SUCCESS);
    mutex_ = CreateMutexA(nullptr, TRUE, name.c_str());
    if (mutex_ && GetLastError() == ERROR_ALREADY_EXISTS) {
        exists_ = true;
        CloseHandle(mutex_); // the earlier copy owns it
        mutex_ = nullptr;
    }
    if (!current)
        current = this;
}

TPreviousInstance::~TPreviousInstance() {
    if (mutex_)
        CloseHandle(mutex_);
    if (current == this)
        current = nullptr;
}

TPreviousInstance* TPreviousInstance::Current() {
    return current;
}

HWND ActivatePreviousWindow(const std::string& title) {
    // This copy's own windows may bear the title too (its application window, made with
    // the title), and so may the earlier copy's hidden helper windows: neither is the
    // window to bring back.
    const DWORD self = GetCurrentProcessId();
    for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, title.c_str()); w;
         w = FindWindowExA(nullptr, w, nullptr, title.c_str())) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process == self || !(IsWindowVisible(w) || IsIconic(w)))
            continue;
        if (IsIconic(w))
            ShowWindow(w, SW_RESTORE);
        else
            BringWindowToTop(w);
        return w;
    }
    return nullptr;
}

void (*TJustOne32::Halt)(UINT exitCode) = [](UINT exitCode) { ExitProcess(exitCode); };

TJustOne32::TJustOne32(fw::TComponent* owner) : TComponent(owner) {
    const TPreviousInstance* previous = TPreviousInstance::Current();
    if (!previous || !previous->Exists())
        return;
    if (!previous->WindowTitle().empty())
        ActivatePreviousWindow(previous->WindowTitle());
    Halt(0);
}
