// The application object and its hidden window.
#include "framework/Application.h"

#include "framework/Dialogs.h"
#include "framework/Exception.h"
#include "framework/Forms.h"
#include "framework/Menus.h"

#include <commctrl.h>

namespace fw {

namespace {
const char* const kAppClass = "QuiptideApplication";
}

TApplication::TApplication() : TComponent(nullptr) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc); // status bars and tooltips
}

TApplication::~TApplication() {
    if (handle_)
        DestroyWindow(handle_);
    if (font_)
        DeleteObject(font_);
}

void TApplication::Initialize() {
    title_.clear();
    helpFile_.clear();
    OnMinimize = nullptr;
    OnHelp = nullptr;
    terminated_ = false;
}

TApplication& Application() {
    static TApplication app;
    return app;
}

HWND TApplication::Handle() {
    if (!handle_) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kAppClass;
        RegisterClassExA(&wc);
        handle_ = CreateWindowExA(WS_EX_TOOLWINDOW, kAppClass, title_.c_str(), WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, wc.hInstance, nullptr);
        if (!handle_)
            throw Exception("Cannot create the application window");
    }
    return handle_;
}

HFONT TApplication::Font() {
    if (!font_) {
        NONCLIENTMETRICSA m{};
        m.cbSize = sizeof m;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
        font_ = CreateFontIndirectA(&m.lfMessageFont);
    }
    return font_;
}

HWND TApplication::MainHandle() const {
    return mainForm_ ? mainForm_->Handle() : nullptr;
}

HWND TApplication::ActiveWindow() const {
    HWND active = GetActiveWindow();
    return active ? active : MainHandle();
}

bool TApplication::HelpCommand(unsigned command, uintptr_t data) {
    return OnHelp && OnHelp(MainHandle(), helpFile_, command, data);
}

void TApplication::Minimize() {
    HWND h = MainHandle();
    if (h && !IsIconic(h))
        ShowWindow(h, SW_MINIMIZE); // the form reports it back through DoMinimize
}

void TApplication::DoMinimize() {
    if (OnMinimize)
        OnMinimize(this);
}

void TApplication::Hide() {
    if (HWND h = MainHandle())
        ShowWindow(h, SW_HIDE);
}

void TApplication::Restore() {
    HWND h = MainHandle();
    if (!h)
        return;
    if (IsIconic(h) || !IsWindowVisible(h))
        ShowWindow(h, SW_RESTORE);
}

void TApplication::BringToFront() {
    if (HWND h = MainHandle())
        SetForegroundWindow(h);
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        TForm::RelayHint(msg);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void TApplication::Run() {
    if (mainForm_ && !terminated_)
        mainForm_->Show();
    MSG msg;
    while (!terminated_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TForm::RelayHint(msg);
        HWND main = MainHandle();
        // The main menu's shortcut keys act wherever the focus is in the window.
        if (main && (msg.hwnd == main || IsChild(main, msg.hwnd)) && mainForm_->Menu() &&
            mainForm_->Menu()->DispatchShortCut(msg))
            continue;
        if (main && IsDialogMessageA(main, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void TApplication::Terminate() {
    terminated_ = true;
    PostMessageA(Handle(), WM_NULL, 0, 0); // wakes the message loop so it sees the flag
}

void TApplication::HandleException(const std::exception& e) {
    Dialogs().MessageDlg(e.what(), TMsgDlgType::mtError, TMsgDlgButtons::mbOK, title_);
}

bool TApplication::Protect(const std::function<void()>& fn) {
    try {
        fn();
        return true;
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(Exception("Unknown error"));
    }
    return false;
}

void TApplication::BeginWait() {
    ++waits_;
}

void TApplication::EndWait() {
    if (waits_ > 0)
        --waits_;
}

TWaitCursor::TWaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {
    Application().BeginWait();
}

TWaitCursor::~TWaitCursor() {
    Application().EndWait();
    SetCursor(previous_);
}

} // namespace fw
