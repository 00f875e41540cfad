// For `make screenshots`: the options dialog on its own, on one of its tabs, held for the
// given number of seconds and then closed:
//   setup_shot PAGE SECONDS    PAGE 1 to 4: Tagline, Configuration, Date Format, Time Format
// The settings are the program's defaults, with a variable interval and a spawn program.
#include "desktop/SetupForm.h"
#include "framework/Application.h"
#include "framework/Process.h"
#include "tests/desktop/RecordingSetupHost.h"

#include <windows.h>

#include <cstdlib>

namespace {

void CALLBACK CloseDialog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND dialog = FindWindowA(nullptr, "Program Options"))
        PostMessageA(dialog, WM_CLOSE, 0, 0);
}

} // namespace

int main(int argc, char** argv) {
    const int page = argc > 1 ? std::atoi(argv[1]) : 1;
    const unsigned seconds = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 10;
    fw::Application().Initialize();
    fw::Application().SetTitle("Quiptide");
    TRecordingSetupHost host;
    host.Frequency = "Variable";
    host.Interval = 15;
    host.SpawnPrg = fw::ProgramFileName();
    fw::TForm owner(nullptr);
    TFormSetup dialog(&owner, host);
    dialog.PageControl1->SetActivePageIndex(page - 1);
    SetTimer(nullptr, 0, seconds * 1000, CloseDialog);
    dialog.ShowModal();
    return 0;
}
