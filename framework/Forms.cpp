// Forms: building from a layout, showing, the close protocol, context menu, hints and
// help on controls.
#include "framework/Forms.h"

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Exception.h"
#include "framework/Menus.h"
#include "framework/PushButton.h"

#include <commctrl.h>

#include <utility>

namespace fw {

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    if (!Application().MainForm())
        Application().SetMainForm(this);
}

TForm::~TForm() {
    if (Application().MainForm() == this)
        Application().SetMainForm(nullptr);
    // The menu component destroys its own menu. Only a window that has one lets it go:
    // taking a menu away redraws the frame, which a window without one is spared.
    if (Handle() && GetMenu(Handle()))
        SetMenu(Handle(), nullptr);
    if (hintWindow_)
        DestroyWindow(hintWindow_);
}

void TForm::Build(const std::string& layoutText, const TEventTable& events) {
    ReadLayout(
        *this,
        [](TComponent& c, const std::string& name, const TLayoutValue& v, const TEventTable& e) {
            return static_cast<TForm&>(c).SetProperty(name, v, e);
        },
        layoutText, events);
    CreateHandle();
    if (OnCreate)
        Application().Protect([this] { OnCreate(this); });
}

void TForm::Loaded() {
    auto find = [this](const std::string& name) -> TComponent* {
        if (name.empty())
            return nullptr;
        TComponent* c = FindComponent(name);
        if (!c)
            throw Exception("Component " + name + " not found");
        return c;
    };
    menu_ = dynamic_cast<TMainMenu*>(find(menuName_));
    popupMenu_ = dynamic_cast<TPopupMenu*>(find(popupMenuName_));
    activeControl_ = dynamic_cast<TWinControl*>(find(activeControlName_));
}

bool TForm::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name == "ClientWidth")
        clientWidth_ = v.AsInteger();
    else if (name == "ShowHint")
        showHint_ = v.AsBoolean();
    else if (name == "HelpButton")
        helpButton_ = v.AsBoolean();
    else if (name == "Icon")
        iconName_ = v.AsString();
    else if (name == "Menu")
        menuName_ = v.AsIdent();
    else if (name == "PopupMenu")
        popupMenuName_ = v.AsIdent();
    else if (name == "ActiveControl")
        activeControlName_ = v.AsIdent();
    else if (name == "OnCreate")
        OnCreate = e.Notify(v.AsIdent());
    else if (name == "OnActivate")
        OnActivate = e.Notify(v.AsIdent());
    else if (name == "OnClose")
        OnClose = e.Notify(v.AsIdent());
    else
        return TWinControl::SetProperty(name, v, e);
    return true;
}

TWinControl::TCreateParams TForm::CreateParams() const {
    DWORD ex = WS_EX_CONTROLPARENT | (helpButton_ ? WS_EX_CONTEXTHELP : 0);
    return {nullptr, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
            ex};
}

SIZE TForm::WindowSizeFor(int clientWidth, int clientHeight) const {
    RECT r{0, 0, clientWidth, clientHeight};
    const TCreateParams p = CreateParams();
    AdjustWindowRectEx(&r, p.Style, FALSE, p.ExStyle);
    return {r.right - r.left, r.bottom - r.top};
}

void TForm::CreateWindowHandle(const TCreateParams& p) {
    // Made at the width its client width asks for: resizing a top-level window costs Wine
    // some thirty round trips to its server.
    if (clientWidth_)
        SetWidth(WindowSizeFor(clientWidth_, 0).cx);
    TWinControl::CreateWindowHandle(p);
}

void TForm::HandleCreated() {
    if (menu_)
        SetMenu(Handle(), menu_->Handle());
    if (!iconName_.empty()) {
        HINSTANCE module = GetModuleHandleA(nullptr);
        for (auto [size, metric] : {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
            int px = GetSystemMetrics(metric);
            HANDLE icon = LoadImageA(module, iconName_.c_str(), IMAGE_ICON, px, px, LR_SHARED);
            SendMessageA(Handle(), WM_SETICON, size, reinterpret_cast<LPARAM>(icon));
        }
    }
}

bool TForm::MakeHintWindow() {
    if (hintWindow_ || !Handle())
        return hintWindow_ != nullptr;
    hintWindow_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(hintWindow_, TTM_SETMAXTIPWIDTH, 0, 400); // allows the hints' line breaks
    SendMessageA(hintWindow_, TTM_ACTIVATE, showHint_, 0);
    return true;
}

int TForm::ClientWidth() const {
    RECT r{};
    if (Handle())
        GetClientRect(Handle(), &r);
    return Handle() ? r.right : clientWidth_;
}

void TForm::SetClientWidth(int width) {
    clientWidth_ = width;
    if (!Handle())
        return;
    RECT client, window;
    GetClientRect(Handle(), &client);
    GetWindowRect(Handle(), &window);
    SetWidth(width + (window.right - window.left) - client.right);
}

void TForm::PlaceCentred(int clientWidth, int clientHeight) {
    const SIZE size = WindowSizeFor(clientWidth, clientHeight);
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
              (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2, size.cx, size.cy);
}

void TForm::SetWindowState(TWindowState state) {
    if (state == windowState_)
        return;
    windowState_ = state;
    if (Handle() && IsWindowVisible(Handle()))
        ShowWindow(Handle(), state == TWindowState::wsMaximized   ? SW_MAXIMIZE
                             : state == TWindowState::wsMinimized ? SW_MINIMIZE
                                                                  : SW_RESTORE);
}

void TForm::SetShowHint(bool show) {
    if (show == showHint_)
        return;
    showHint_ = show;
    if (hintWindow_)
        SendMessageA(hintWindow_, TTM_ACTIVATE, show, 0);
}

void TForm::UpdateHint(TControl* control) {
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    if (!control->HintTool(ti))
        return;
    if (hintWindow_)
        SendMessageA(hintWindow_, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    if (control->Hint().empty() || !MakeHintWindow())
        return;
    std::string text = control->Hint();
    ti.lpszText = text.data();
    SendMessageA(hintWindow_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void TForm::RemoveHint(TControl* control) {
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    if (hintWindow_ && control->HintTool(ti))
        SendMessageA(hintWindow_, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
}

void TForm::RelayHint(const MSG& msg) {
    if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST || !msg.hwnd)
        return;
    if (auto* form = dynamic_cast<TForm*>(FromHandle(GetAncestor(msg.hwnd, GA_ROOT))))
        if (form->hintWindow_)
            SendMessageA(form->hintWindow_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

namespace {

// The push buttons on a control, at any depth.
void CollectButtons(const TWinControl& control, std::vector<TButton*>& buttons) {
    for (TControl* c : control.Controls()) {
        if (auto* button = dynamic_cast<TButton*>(c))
            buttons.push_back(button);
        if (auto* w = dynamic_cast<TWinControl*>(c))
            CollectButtons(*w, buttons);
    }
}

std::vector<TButton*> Buttons(const TWinControl& form) {
    std::vector<TButton*> buttons;
    CollectButtons(form, buttons);
    return buttons;
}

bool Usable(const TButton* b) {
    return b && b->HandleAllocated() && IsWindowEnabled(b->Handle()) &&
           IsWindowVisible(b->Handle());
}

} // namespace

void TForm::ButtonFocused(TButton* button) {
    for (TButton* b : Buttons(*this))
        b->SetDefaultLook(button ? b == button : b->IsDefault());
}

TButton* TForm::ReturnButton() const {
    auto* focused = dynamic_cast<TButton*>(FromHandle(GetFocus()));
    if (focused && focused->Form() == this && Usable(focused))
        return focused;
    for (TButton* b : Buttons(*this))
        if (b->IsDefault() && Usable(b))
            return b;
    return nullptr;
}

TButton* TForm::EscapeButton() const {
    for (TButton* b : Buttons(*this))
        if (b->IsCancel() && Usable(b))
            return b;
    return nullptr;
}

void TForm::Show() {
    ShowWindow(Handle(),
               windowState_ == TWindowState::wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(Handle());
}

bool TForm::Close() {
    if (modal_) {
        ModalResult = mrCancel; // ShowModal ends and runs OnClose
        return true;
    }
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    if (!canClose)
        return false;
    if (OnClose)
        OnClose(this);
    ShowWindow(Handle(), SW_HIDE);
    if (Application().MainForm() == this)
        Application().Terminate();
    return true;
}

bool TForm::OfferDialogKey(const MSG& msg) const {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSCHAR)
        return false;
    for (HWND h = msg.hwnd; h && h != Handle() && IsChild(Handle(), h); h = GetParent(h))
        if (TWinControl* c = FromHandle(h); c && c->DialogKey(msg))
            return true;
    return false;
}

int TForm::ShowModal() {
    // The window that was active stays disabled while this form runs. It is enabled again
    // on every path, and before this form is hidden: the system hands the activation to
    // an enabled window when the active one goes, and a disabled owner would lose it to
    // some other program's window.
    class TDisabledOwner {
      public:
        explicit TDisabledOwner(HWND window) : window_(window) {
            if (window_)
                EnableWindow(window_, FALSE);
        }
        ~TDisabledOwner() { Release(); }
        TDisabledOwner(const TDisabledOwner&) = delete;
        TDisabledOwner& operator=(const TDisabledOwner&) = delete;
        HWND Release() {
            HWND window = std::exchange(window_, nullptr);
            if (window)
                EnableWindow(window, TRUE);
            return window;
        }

      private:
        HWND window_;
    };
    HWND active = Application().ActiveWindow();
    if (active == Handle() || !IsWindowEnabled(active))
        active = nullptr;
    if (active)
        SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(active));
    TDisabledOwner owner(active);
    ModalResult = mrNone;
    modal_ = true;
    Show();
    MSG msg;
    bool quitting = false;
    while (ModalResult == mrNone) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam)); // for the main loop to see
            ModalResult = mrCancel;
            quitting = true;
            break;
        }
        RelayHint(msg);
        if (OfferDialogKey(msg) || IsDialogMessageA(Handle(), &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    modal_ = false;
    if (OnClose && !quitting)
        Application().Protect([this] { OnClose(this); });
    const bool wasActive = GetActiveWindow() == Handle();
    HWND ownerWindow = owner.Release();
    ShowWindow(Handle(), SW_HIDE);
    // The owner takes the activation back, and with it the keyboard, unless the user had
    // gone to another program meanwhile.
    if (wasActive && ownerWindow)
        SetForegroundWindow(ownerWindow);
    return ModalResult;
}

void TForm::Help(const HELPINFO& info) {
    int context = 0;
    if (info.iContextType == HELPINFO_MENUITEM) {
        if (TMenuItem* item = TMenuItem::FindCommand(info.iCtrlId))
            context = item->HelpContext();
    } else {
        // The nearest control up the parent chain that has a context answers.
        for (TWinControl* c = FromHandle(static_cast<HWND>(info.hItemHandle)); c && !context;
             c = c->Parent())
            context = c->HelpContext();
    }
    if (context)
        Application().HelpContext(context);
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            lastFocus_ = focus && IsChild(Handle(), focus) ? focus : nullptr;
            break;
        }
        if (OnActivate)
            OnActivate(this);
        // The control that had the focus when the form was left gets it back; at first
        // the form's active control.
        if (!HIWORD(wParam)) {
            HWND target = lastFocus_ && IsChild(Handle(), lastFocus_) ? lastFocus_ : nullptr;
            if (!target && activeControl_ && activeControl_->HandleAllocated())
                target = activeControl_->Handle();
            if (target && IsWindowVisible(target) && IsWindowEnabled(target)) {
                ::SetFocus(target);
                return 0;
            }
        }
        break;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED && Application().MainForm() == this)
            Application().DoMinimize();
        break;
    case WM_CONTEXTMENU:
        if (popupMenu_ && popupMenu_->AutoPopup()) {
            POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (lParam == -1)
                GetCursorPos(&pt);
            popupMenu_->Popup(pt.x, pt.y);
            return 0;
        }
        break;
    case WM_HELP:
        Help(*reinterpret_cast<const HELPINFO*>(lParam));
        return TRUE;
    case WM_COMMAND:
        // Return and Escape, as the dialog keys route them when no button has the ID.
        if (lParam == 0 && HIWORD(wParam) == 0 &&
            (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            if (TButton* b = LOWORD(wParam) == IDOK ? ReturnButton() : EscapeButton()) {
                b->Click();
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL && modal_) {
                ModalResult = mrCancel; // Escape closes a dialog, as its close box does
                return 0;
            }
        }
        break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

} // namespace fw
