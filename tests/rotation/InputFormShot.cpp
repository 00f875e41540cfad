// For `make screenshots`: the main window with the signature selection dialog open on a
// sample mail signature file, held for the given number of seconds and then cancelled.
#include "framework/Application.h"
#include "rotation/Main.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

void CALLBACK CancelDialog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND dialog = FindWindowA(nullptr, "Quiptide Signature Input Form"))
        PostMessageA(dialog, WM_CLOSE, 0, 0);
}

} // namespace

int main(int argc, char** argv) {
    const unsigned seconds = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 10;
    const auto sample = std::filesystem::temp_directory_path() / "signatur.pce";
    std::ofstream(sample, std::ios::binary)
        << "Jane Doe\r\nExample Corp, Harbour Road 12\r\n+1 555 0100\r\n-- \r\n"
           "Backups are a love letter to your future self.\r\n";
    fw::Application().Initialize();
    fw::Application().SetTitle("Quiptide");
    TMainForm form(nullptr);
    form.Show();
    SetTimer(nullptr, 0, seconds * 1000, CancelDialog);
    form.OpenTheFile(sample.string());
    std::filesystem::remove(sample);
    return 0;
}
