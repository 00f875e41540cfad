// For `make screenshots`: the main window with one of its pop-ups open, held for the given
// number of seconds and then closed:
//   window_shot input SECONDS    the signature selection dialog on a sample signature file
//   window_shot context SECONDS  the main window's context menu
//   window_shot tray SECONDS     the tray menu, where a right click on the icon puts it
//   window_shot file SECONDS     the File menu with a recent signature file listed
#include "desktop/MRUList.h"
#include "framework/Application.h"
#include "framework/Menus.h"
#include "rotation/Main.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void CALLBACK ClosePopUps(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
    if (HWND dialog = FindWindowA(nullptr, "Quiptide Signature Input Form"))
        PostMessageA(dialog, WM_CLOSE, 0, 0);
}

} // namespace

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "input";
    const unsigned seconds = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 10;
    const auto sample = std::filesystem::temp_directory_path() / "signatur.pce";
    std::ofstream(sample, std::ios::binary)
        << "Jane Doe\r\nExample Corp, Harbour Road 12\r\n+1 555 0100\r\n-- \r\n"
           "Backups are a love letter to your future self.\r\n";
    fw::Application().Initialize();
    fw::Application().SetTitle("Quiptide");
    TMainForm form(nullptr);
    form.Show();
    SetTimer(nullptr, 0, seconds * 1000, ClosePopUps);
    RECT r;
    GetWindowRect(form.Handle(), &r);
    if (which == "input") {
        form.OpenTheFile(sample.string());
    } else if (which == "context") {
        form.popMain->Popup(r.left + 120, r.top + 150);
    } else if (which == "tray") {
        form.TrayIcon1RightClick(nullptr, fw::TMouseButton::mbRight, {},
                                 GetSystemMetrics(SM_CXSCREEN) - 260,
                                 GetSystemMetrics(SM_CYSCREEN) - 30);
    } else if (which == "file") {
        form.MRUSigList->AutoSave = false; // the sample is not kept among the user's files
        form.MRUSigList->AddItem(sample.string());
        SetForegroundWindow(form.Handle());
        SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
    }
    std::filesystem::remove(sample);
    return 0;
}
