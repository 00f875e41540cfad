// TTrayIcon: the hidden callback window, the notification-icon record and the show,
// update and remove calls to the shell.
#include "desktop/TrayIcon.h"

#include "framework/Application.h"
#include "framework/Menus.h"

#include <cstring>
#include <utility>

static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 4 ? 88 : 104),
              "the shell is handed its first, smallest notification-icon record");

namespace {

const char* const WindowClass = "QuiptideTrayIconWindow";

void RegisterWindowClass(WNDPROC proc) {
    WNDCLASSA existing;
    if (GetClassInfoA(GetModuleHandleA(nullptr), WindowClass, &existing))
        return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = WindowClass;
    RegisterClassA(&wc);
}

} // namespace

UINT TTrayIcon::TaskbarCreated() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

TTrayIcon::TTrayIcon(fw::TComponent* owner) : fw::TComponent(owner) {
    RegisterWindowClass(WindowProc);
    window_ = CreateWindowExA(0, WindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FillData();
}

TTrayIcon::~TTrayIcon() {
    if (active_)
        Remove();
    // A refresh still posted to the window dies with it.
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void TTrayIcon::SetActive(bool value) {
    if (value == active_)
        return;
    active_ = value;
    if (Designing() && !showDesigning_)
        return;
    if (active_)
        Show();
    else
        Remove();
}

void TTrayIcon::SetShowDesigning(bool value) {
    if (Designing())
        showDesigning_ = value;
}

void TTrayIcon::SetIcon(fw::TIcon value) {
    icon_ = std::move(value);
    Update();
}

void TTrayIcon::SetToolTip(const std::string& value) {
    toolTip_ = value.substr(0, MaxToolTip);
    Update();
}

void TTrayIcon::FillData() {
    data_ = NOTIFYICONDATAA{};
    data_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data_.hWnd = window_;
    data_.uID = 0;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = WM_TRAYCALLBACK;
    data_.hIcon = icon_.Handle();
    std::memcpy(data_.szTip, toolTip_.data(), toolTip_.size()); // at most 62 of 64
}

void TTrayIcon::Show() {
    FillData();
    ShellNotifyIcon(NIM_ADD, &data_);
    // Some shells show no tooltip until one is modified in after the add.
    if (toolTip_.empty())
        PostMessageA(window_, WM_TRAYREFRESH, 0, 0);
}

void TTrayIcon::Update() {
    FillData();
    if (active_)
        ShellNotifyIcon(NIM_MODIFY, &data_);
}

void TTrayIcon::Remove() {
    FillData();
    ShellNotifyIcon(NIM_DELETE, &data_);
}

void TTrayIcon::RightClick() {
    POINT at{};
    GetCursorPos(&at);
    // A menu opened for a window that is not in the foreground stays open when the user
    // clicks elsewhere; the application's window takes the foreground first, for this
    // icon's menu and for one the handler opens.
    SetForegroundWindow(fw::Application().Handle());
    fw::Application().ProcessMessages();
    if (popupMenu_)
        popupMenu_->Popup(at.x, at.y);
    if (OnRightClick)
        OnRightClick(this, fw::TMouseButton::mbRight, {}, at.x, at.y);
}

LRESULT TTrayIcon::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TRAYCALLBACK:
        // A handler's error goes to the general error display, never through the system.
        fw::Application().Protect([&] {
            switch (lParam) {
            case WM_LBUTTONUP:
                if (OnClick)
                    OnClick(this);
                break;
            case WM_LBUTTONDBLCLK:
                if (OnDblClick)
                    OnDblClick(this);
                break;
            case WM_RBUTTONUP:
                RightClick();
                break;
            }
        });
        return 0;
    case WM_TRAYREFRESH:
        SetToolTip(toolTip_);
        return 0;
    default:
        // A restarted shell has an empty notification area: show the icon again, or a
        // program hidden to the tray could not be reached any more.
        if (message == TaskbarCreated() && active_) {
            Show();
            return 0;
        }
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

LRESULT CALLBACK TTrayIcon::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TTrayIcon*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}
