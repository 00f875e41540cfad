// For `make screenshots`: the splash window or the about box, held on screen for the
// given number of seconds and then closed:
//   desktop_shot splash SECONDS   the splash window, as the program shows it at start
//   desktop_shot about SECONDS    the about box, shown modally
#include "desktop/About.h"
#include "desktop/SplashForm.h"
#include "framework/Application.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

void CALLBACK CloseShot(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND about = FindWindowA(nullptr, "About Quiptide"))
        PostMessageA(about, WM_CLOSE, 0, 0);
    else
        PostQuitMessage(0);
}

} // namespace

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "splash";
    const unsigned seconds = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 10;
    fw::Application().SetTitle("Quiptide");
    SetTimer(nullptr, 0, seconds * 1000, CloseShot);
    if (which == "about") {
        TAboutBox about(nullptr);
        about.ShowModal();
        return 0;
    }
    ShowSplashScreen();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    FreeSplashScreen();
    return 0;
}
