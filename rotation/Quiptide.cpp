// The program: the single-instance check, the splash window, the application title, the
// main window (whose guard ends a second copy) and the message loop.
#include "desktop/Just1_32.h"
#include "desktop/SplashForm.h"
#include "framework/Application.h"
#include "framework/Process.h"
#include "rotation/Main.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCmd) {
    // Held for the whole run: while it lives, later starts know this one runs.
    TPreviousInstance previous(fw::ProgramFileName());
    fw::TApplication& app = fw::Application();
    app.SetShowCmd(showCmd);
    ShowSplashScreen();
    app.SetTitle("Quiptide");
    TMainForm mainForm(nullptr);
    app.Run();
    FreeSplashScreen(); // a run that ended before the main window was ever active
    return 0;
}
