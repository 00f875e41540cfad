// Drives a running Quiptide from outside, for the installer tests:
//   quiptide_window wait SECONDS   exit 0 once its main window is up (1 when it never is)
//   quiptide_window warn           asks it to close and waits for its close warning, so
//                                  that a window of its own is open
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

// The main window: the framework's window class with the program's title.
HWND MainWindow() {
    return FindWindowA("QuiptideWindow", "Quiptide");
}

// Polls for up to `seconds` until `ready` holds.
template <typename F> bool Within(int seconds, F ready) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (ready())
            return true;
        Sleep(100);
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "wait") == 0)
        return Within(std::atoi(argv[2]), [] { return IsWindowVisible(MainWindow()); }) ? 0 : 1;
    if (argc == 2 && std::strcmp(argv[1], "warn") == 0) {
        HWND main = MainWindow();
        if (!main || !PostMessageA(main, WM_CLOSE, 0, 0))
            return 1;
        // The warning's message box disables the window it belongs to.
        return Within(30, [main] { return !IsWindowEnabled(main); }) ? 0 : 1;
    }
    return 2;
}
