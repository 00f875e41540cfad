// For `make screenshots`: a window of the table utility held on screen for the given
// number of seconds:
//   tableutil_shot repair SECONDS    the utility window on a damaged copy of the starter table
//   tableutil_shot rebuilt SECONDS   the same after its Rebuild button and the success
//                                    message: the rebuilt table's statistics
//   tableutil_shot problems SECONDS  the problem viewer with that table's findings
//   tableutil_shot verify SECONDS    the verify progress window part way through
//   tableutil_shot rebuild SECONDS   the rebuild progress window part way through
//   tableutil_shot gauges SECONDS    the gauge's five kinds
// The progress windows are fed the reports a library sends part way through a run.
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/data/Session.h"
#include "tableutil/Gauges.h"
#include "tableutil/Tumain.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

fw::TForm* g_modal = nullptr;
TFormTUMain* g_window = nullptr;

void CALLBACK EndShot(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_modal)
        g_modal->ModalResult = fw::mrCancel;
    PostQuitMessage(0);
}

BOOL CALLBACK AnswerIfMessageBox(HWND hwnd, LPARAM) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0)
        PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}

// The success message answered, as the user would.
void CALLBACK AnswerMessage(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EnumThreadWindows(GetCurrentThreadId(), AnswerIfMessageBox, 0);
}

void CALLBACK ClickRebuild(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    SetTimer(nullptr, 0, 1500, AnswerMessage);
    fw::Application().Protect([] { g_window->ButtonRebuildClick(g_window); });
}

void RunMessages() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string TempFolder() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string folder = std::string(dir) + "qt-tableutil-shot\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// A copy of the starter table whose header counts three rows too many and whose primary
// index is missing: damage a rebuild repairs.
std::string DamagedTable() {
    const std::string folder = TempFolder(), table = folder + "Taglines.db";
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string from(exe);
    from = from.substr(0, from.find_last_of('\\') + 1);
    CopyFileA((from + "Quiptide.db").c_str(), table.c_str(), FALSE);
    CopyFileA((from + "Quiptide.qix").c_str(), (folder + "Taglines.qix").c_str(), FALSE);
    DeleteFileA((folder + "Taglines.px").c_str());
    std::fstream f(table, std::ios::in | std::ios::out | std::ios::binary);
    int32_t count = 0;
    f.seekg(6);
    f.read(reinterpret_cast<char*>(&count), 4);
    count += 3;
    f.seekp(6);
    f.write(reinterpret_cast<const char*>(&count), 4);
    return table;
}

void VerifyReport(TTUtility& u, uint16_t value, uint8_t phase, const char* message) {
    unsigned char b[TU_VCB_SIZE] = {};
    std::memcpy(b, &value, 2);
    std::strncpy(reinterpret_cast<char*>(b + 2), message, 260);
    b[263] = phase;
    b[265] = 1;
    b[267] = 2;
    TTUtility::VerifyCallback(23, reinterpret_cast<uintptr_t>(&u), b);
}

void RebuildReport(TTUtility& u, int16_t value, const char* message) {
    unsigned char b[TU_RCB_SIZE] = {};
    std::memcpy(b, &value, 2);
    std::strncpy(reinterpret_cast<char*>(b + 2), message, 127);
    TTUtility::RebuildCallback(23, reinterpret_cast<uintptr_t>(&u), b);
}

void ShowGauges() {
    fw::TForm host(nullptr);
    host.Build("object Gauges: TForm\n  Caption = 'Gauges'\n  Width = 560\n  Height = 170\nend",
               {});
    const TGaugeKind kinds[] = {TGaugeKind::gkText, TGaugeKind::gkHorizontalBar,
                                TGaugeKind::gkVerticalBar, TGaugeKind::gkPie, TGaugeKind::gkNeedle};
    int left = 10;
    for (TGaugeKind kind : kinds) {
        auto* g = new TGauge(&host);
        g->SetParent(&host);
        g->SetBounds(left, 10, 100, kind == TGaugeKind::gkNeedle ? 60 : 100);
        g->SetKind(kind);
        g->SetForeColor(RGB(0, 0, 255));
        g->SetProgress(kind == TGaugeKind::gkText ? 100 : 65);
        left += 108;
    }
    host.SetBounds(100, 100, 560, 170);
    host.Show();
    RunMessages();
}

} // namespace

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "repair";
    const unsigned seconds = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 10;
    fw::Application().SetTitle("Quiptide");
    SetTimer(nullptr, 0, seconds * 1000, EndShot);
    if (which == "gauges") {
        ShowGauges();
        return 0;
    }
    TFormTUMain window(nullptr, DamagedTable());
    TTUtility& u = *window.TUtility1;
    if (which == "repair" || which == "rebuilt") {
        g_modal = g_window = &window;
        if (which == "rebuilt")
            SetTimer(nullptr, 0, 500, ClickRebuild);
        window.ShowModal();
    } else if (which == "problems") {
        fw::Application().Protect([&] {
            u.VerifyTable();
            fw::TTable& t = *window.BtnBottomDlg->TableErrTable;
            t.SetDatabaseName(fw::TSession::Default().PrivateDir());
            t.Open();
            g_modal = window.BtnBottomDlg;
            window.BtnBottomDlg->ShowModal();
        });
    } else if (which == "verify") {
        window.VerifyDlg1->ShowStatus();
        for (uint8_t phase = 0; phase < 2; ++phase)
            VerifyReport(u, 100, phase, "");
        VerifyReport(u, 42, 2, "");
        VerifyReport(u, 0, 7, "Checking the data blocks");
        VerifyReport(u, 0, 6, "");
        RunMessages();
        window.VerifyDlg1->CloseStatus();
    } else if (which == "rebuild") {
        window.RebuildDlg1->ShowStatus();
        RebuildReport(u, 58, "");
        RebuildReport(u, -1, "1,204 records copied");
        RunMessages();
        window.RebuildDlg1->CloseStatus();
    }
    return 0;
}
