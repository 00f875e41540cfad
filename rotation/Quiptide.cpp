// The program: sets the application up, builds the main window and runs the message loop.
#include "framework/Application.h"
#include "rotation/Main.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCmd) {
    fw::TApplication& app = fw::Application();
    app.SetShowCmd(showCmd);
    app.SetTitle("Quiptide");
    TMainForm mainForm(nullptr);
    app.Run();
    return 0;
}
