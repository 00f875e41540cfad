// The control's dialogs are plain windows, so the DLL needs no resources of the program;
// each runs its own modal loop and disables its owner meanwhile.
#include "platform/speller/dll/DialogWindow.h"

namespace vspell {
namespace {

AnswerHook g_hook = nullptr;

} // namespace

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
           int id) {
    HWND c = CreateWindowExA(
        cls == std::string("EDIT") || cls == std::string("LISTBOX") ? WS_EX_CLIENTEDGE : 0, cls,
        text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return c;
}

std::string WindowText(HWND w) {
    std::string s(static_cast<size_t>(GetWindowTextLengthA(w)) + 1, '\0');
    s.resize(static_cast<size_t>(GetWindowTextA(w, s.data(), static_cast<int>(s.size()))));
    return s;
}

LRESULT DialogDefault(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(
            w, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
    return DefWindowProcA(w, msg, wp, lp);
}

ModalWindow::ModalWindow(HINSTANCE module, const char* cls, WNDPROC proc, const std::string& title,
                         int width, int height, void* state)
    : owner_(GetActiveWindow()) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(module, cls, &wc)) {
        wc.lpfnWndProc = proc;
        wc.hInstance = module;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = cls;
        RegisterClassA(&wc);
    }
    RECT r{0, 0, width, height};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
    const int w = r.right - r.left, h = r.bottom - r.top;
    window_ = CreateWindowExA(
        WS_EX_DLGMODALFRAME, cls, title.c_str(), style, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
        (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, owner_, nullptr, module, state);
    if (!window_)
        throw std::runtime_error("The spell checker's dialog cannot be shown");
}

ModalWindow::~ModalWindow() {
    if (owner_) {
        EnableWindow(owner_, TRUE);
        SetActiveWindow(owner_);
    }
    DestroyWindow(window_);
}

void ModalWindow::Show(HWND focus) {
    if (owner_)
        EnableWindow(owner_, FALSE);
    ShowWindow(window_, SW_SHOW);
    SetFocus(focus);
    // An edit box given the focus has its text selected, as in the system's dialogs, so
    // typing replaces it.
    if (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageA(focus, EM_SETSEL, 0, -1);
}

int ModalWindow::AskHook(const char* text, const char* list, char* reply, int size) {
    return g_hook ? g_hook(window_, text, list, reply, size) : 0;
}

void ModalWindow::Loop(const int& answer) {
    MSG m;
    while (answer == 0) {
        if (GetMessageA(&m, nullptr, 0, 0) <= 0) {
            // The program is ending: leave the quit message for its own loop.
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        if (!IsDialogMessageA(window_, &m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
}

void SetAnswerHook(AnswerHook hook) {
    g_hook = hook;
}

} // namespace vspell
