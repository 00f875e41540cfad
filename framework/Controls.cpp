// The control bases: the common state and its setters, and the windowed control's
// window creation, the framework's window class and message routing, alignment of
// children, painting and hints.
#include "framework/Controls.h"

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Forms.h"
#include "framework/GraphicControl.h"
#include "framework/Menus.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace fw {

namespace {

const char* const kWindowClass = "QuiptideWindow";

void RegisterWindowClass(WNDPROC proc) {
    static bool done = false;
    if (done)
        return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&wc))
        throw Exception("Cannot register the window class");
    done = true;
}

// The control of each window the framework made. Kept in the process rather than as a
// window property: a property read is a round trip to the window server under Wine, and
// every message of every control asks.
std::unordered_map<HWND, TWinControl*>& HandleMap() {
    static std::unordered_map<HWND, TWinControl*> controls;
    return controls;
}

} // namespace

TControl::TControl(TComponent* owner) : TComponent(owner), color_(GetSysColor(COLOR_BTNFACE)) {}

TControl::~TControl() {
    LeaveParent();
}

void TControl::LeaveParent() {
    if (!parent_)
        return;
    auto& siblings = parent_->controls_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_ = nullptr;
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_)
        return;
    if (parent_ && parent_->HandleAllocated())
        ParentWindowDestroying();
    LeaveParent();
    parent_ = parent;
    if (parent_) {
        parent_->controls_.push_back(this);
        if (parent_->HandleAllocated())
            ParentWindowCreated();
    }
}

TForm* TControl::Form() const {
    const TControl* c = this;
    while (c->parent_)
        c = c->parent_;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    const RECT old = BoundsRect();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged(old);
    if (parent_ && align_ != TAlign::alNone)
        parent_->Realign();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_)
        return;
    align_ = align;
    if (parent_)
        parent_->Realign();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_)
        return;
    visible_ = visible;
    VisibleChanged();
    if (parent_ && align_ != TAlign::alNone)
        parent_->Realign();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    EnabledChanged();
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == Caption())
        return;
    caption_ = caption;
    CaptionChanged();
}

void TControl::SetHint(const std::string& hint) {
    if (hint == hint_)
        return;
    hint_ = hint;
    UpdateHint();
}

void TControl::UpdateHint() {
    if (TForm* f = Form(); f && f != this)
        f->UpdateHint(this);
}

HFONT TControl::FontHandle() {
    if (font_.Assigned())
        return font_.Handle();
    return parent_ ? parent_->FontHandle() : Application().Font();
}

void TControl::SetColor(COLORREF color) {
    if (color == color_)
        return;
    color_ = color;
    Invalidate();
}

bool TControl::SetColorProperty(const std::string& name, const TLayoutValue& v) {
    if (name != "Color")
        return false;
    color_ = ColorFromName(v.AsIdent());
    return true;
}

bool TControl::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable&) {
    if (font_.SetProperty(name, v))
        return true;
    if (name == "Left")
        left_ = v.AsInteger();
    else if (name == "Top")
        top_ = v.AsInteger();
    else if (name == "Width")
        width_ = v.AsInteger();
    else if (name == "Height")
        height_ = v.AsInteger();
    else if (name == "Margin")
        margin_ = v.AsInteger();
    else if (name == "Visible")
        visible_ = v.AsBoolean();
    else if (name == "Enabled")
        enabled_ = v.AsBoolean();
    else if (name == "Caption" || name == "Text")
        caption_ = v.AsString();
    else if (name == "Hint")
        hint_ = v.AsString();
    else if (name == "HelpContext")
        helpContext_ = v.AsInteger();
    else if (name == "Align") {
        static const std::map<std::string, TAlign> aligns{{"alNone", TAlign::alNone},
                                                          {"alTop", TAlign::alTop},
                                                          {"alBottom", TAlign::alBottom},
                                                          {"alClient", TAlign::alClient}};
        auto it = aligns.find(v.AsIdent());
        if (it == aligns.end())
            return false;
        align_ = it->second;
    } else
        return false;
    return true;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    DestroyHandle();
    for (TControl* c : controls_)
        c->parent_ = nullptr;
}

void TWinControl::DestroyHandle() {
    if (!handle_)
        return;
    // A shown window is hidden before its children go, so that each child's removal
    // does not repaint the parent under it; destroying would hide it anyway.
    if (!parent_ && !controls_.empty() && IsWindowVisible(handle_))
        ShowWindow(handle_, SW_HIDE);
    for (TControl* c : controls_)
        c->ParentWindowDestroying();
    if (TForm* f = Form(); f && f != this)
        f->RemoveHint(this);
    HWND h = handle_;
    handle_ = nullptr;
    HandleMap().erase(h);
    DestroyWindow(h);
}

void TWinControl::InsertChild(TComponent* child) {
    if (auto* c = dynamic_cast<TControl*>(child))
        c->SetParent(this);
}

TControl* TWinControl::ControlAtPos(POINT point) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        const RECT r = c->BoundsRect();
        if (!dynamic_cast<TWinControl*>(c) && c->Visible() && c->Enabled() && PtInRect(&r, point))
            return c;
    }
    return nullptr;
}

TWinControl* TWinControl::FromHandle(HWND handle) {
    auto at = HandleMap().find(handle);
    return at == HandleMap().end() ? nullptr : at->second;
}

void TWinControl::BoundsChanged(const RECT&) {
    if (handle_)
        SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::VisibleChanged() {
    if (!handle_)
        return;
    if (Visible())
        NotifyAppearing();
    ShowWindow(handle_, Visible() ? SW_SHOW : SW_HIDE);
}

void TWinControl::NotifyAppearing() {
    Appearing();
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->NotifyAppearing();
}

void TWinControl::EnabledChanged() {
    if (handle_)
        EnableWindow(handle_, Enabled());
}

std::string TWinControl::Caption() const {
    if (!handle_)
        return caption_;
    std::string text(GetWindowTextLengthA(handle_) + 1, '\0');
    text.resize(GetWindowTextA(handle_, text.data(), static_cast<int>(text.size())));
    return text;
}

void TWinControl::CaptionChanged() {
    if (handle_)
        SetWindowTextA(handle_, caption_.c_str());
}

void TWinControl::Invalidate() {
    if (handle_)
        InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Repaint() {
    Invalidate();
    if (handle_)
        UpdateWindow(handle_);
}

bool TWinControl::HintTool(TOOLINFOA& tool) const {
    const TForm* f = Form();
    if (!handle_ || !f || f == this || !f->HandleAllocated())
        return false;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = f->Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(handle_);
    return true;
}

void TWinControl::SetFocus() {
    if (handle_)
        ::SetFocus(handle_);
}

TWinControl::TCreateParams TWinControl::CreateParams() const {
    return {nullptr, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
    HWND parentHandle = Parent() ? Parent()->handle_ : nullptr;
    if (!p.ClassName)
        RegisterWindowClass(StaticProc);
    DWORD style =
        p.Style | (Visible() && Parent() ? WS_VISIBLE : 0) | (Enabled() ? 0 : WS_DISABLED);
    HWND h = CreateWindowExA(p.ExStyle, p.ClassName ? p.ClassName : kWindowClass, caption_.c_str(),
                             style, Left(), Top(), Width(), Height(), parentHandle, nullptr,
                             GetModuleHandleA(nullptr), this);
    if (!h)
        throw Exception("Cannot create the window " + Name());
    handle_ = h;
    HandleMap()[h] = this;
}

void TWinControl::CreateHandle() {
    if (handle_ || (Parent() && !Parent()->handle_))
        return;
    CreateWindowHandle(CreateParams());
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    HandleCreated();
    for (TControl* c : controls_)
        c->ParentWindowCreated();
    Realign();
    UpdateHint();
}

RECT TWinControl::AlignRect() const {
    RECT r{0, 0, Width(), Height()};
    if (handle_)
        GetClientRect(handle_, &r);
    return r;
}

void TWinControl::Realign() {
    if (!handle_ || aligning_)
        return;
    aligning_ = true;
    RECT r = AlignRect();
    for (TAlign pass : {TAlign::alTop, TAlign::alBottom, TAlign::alClient})
        for (TControl* c : controls_) {
            if (c->align_ != pass || !c->visible_)
                continue;
            int m = c->margin_;
            switch (pass) {
            case TAlign::alTop:
                c->SetBounds(r.left + m, r.top + m, r.right - r.left - 2 * m, c->height_);
                r.top += c->height_ + 2 * m;
                break;
            case TAlign::alBottom:
                c->SetBounds(r.left + m, r.bottom - m - c->height_, r.right - r.left - 2 * m,
                             c->height_);
                r.bottom -= c->height_ + 2 * m;
                break;
            default:
                c->SetBounds(r.left + m, r.top + m, r.right - r.left - 2 * m,
                             std::max(0L, r.bottom - r.top - 2 * m));
                break;
            }
        }
    aligning_ = false;
}

LRESULT TWinControl::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(handle_, msg, wParam, lParam);
}

void TWinControl::PaintAll(HDC dc, const RECT& clip) {
    PaintWindow(dc);
    TGraphicControl::PaintControls(*this, dc, clip);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(handle_, &ps);
        PaintAll(dc, ps.rcPaint);
        EndPaint(handle_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        if (lParam & PRF_ERASEBKGND)
            SendMessageA(handle_, WM_ERASEBKGND, wParam, 0);
        RECT all;
        GetClientRect(handle_, &all);
        PaintAll(dc, all);
        return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        if (TGraphicControl::DispatchMouse(*this, msg, lParam))
            return 0;
        break;
    case WM_CAPTURECHANGED:
        TGraphicControl::CaptureChanged(*this);
        break;
    case WM_COMMAND:
        if (lParam) {
            if (TWinControl* c = FromHandle(reinterpret_cast<HWND>(lParam))) {
                c->Notify(HIWORD(wParam));
                return 0;
            }
        } else if (HIWORD(wParam) == 0 && TMenuItem::DispatchCommand(LOWORD(wParam))) {
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (TWinControl* c = FromHandle(header->hwndFrom); c && c != this) {
            c->Notification(*header);
            return 0;
        }
        break;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU)
            if (TWinControl* c = FromHandle(item->hwndItem)) {
                c->DrawItem(*item);
                return TRUE;
            }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (TWinControl* c = FromHandle(reinterpret_cast<HWND>(lParam)))
            if (HBRUSH brush = c->CtlColor(reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_SETCURSOR:
        // Asked first for every child's pointer too, so one answer covers the window.
        if (Application().Waiting()) {
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_SIZE:
        Realign();
        break;
    case WM_NCPAINT: {
        // A window whose client area is all of it has no frame to paint; the default
        // painting of nothing still takes a window device context, round trips under Wine.
        RECT window, client;
        GetWindowRect(handle_, &window);
        GetClientRect(handle_, &client);
        if (window.right - window.left == client.right &&
            window.bottom - window.top == client.bottom)
            return 0;
        break;
    }
    case WM_WINDOWPOSCHANGING: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos->flags & SWP_SHOWWINDOW)
            NotifyAppearing();
        // The default handling keeps a new size within the window's limits, and asks Wine
        // for the display configuration to do so even when the size stays.
        RECT r;
        GetWindowRect(handle_, &r);
        if ((pos->flags & SWP_NOSIZE) ||
            (pos->cx == r.right - r.left && pos->cy == r.bottom - r.top))
            return 0;
        break;
    }
    case WM_WINDOWPOSCHANGED:
        if (!IsIconic(handle_)) {
            RECT r;
            GetWindowRect(handle_, &r);
            if (HWND p = GetParent(handle_); p && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
                MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
            left_ = r.left;
            top_ = r.top;
            width_ = r.right - r.left;
            height_ = r.bottom - r.top;
        }
        break;
    }
    return DefaultProc(msg, wParam, lParam);
}

LRESULT CALLBACK TWinControl::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* c = FromHandle(hwnd);
    if (!c && msg == WM_NCCREATE) {
        c = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        c->handle_ = hwnd;
        HandleMap()[hwnd] = c;
    }
    if (!c)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    if (!Application().Protect([&] { result = c->WndProc(msg, wParam, lParam); }))
        result = 0;
    if (msg == WM_NCDESTROY) {
        // Gone, whoever destroyed it: the handle may be reused for another window.
        HandleMap().erase(hwnd);
        if (c->handle_ == hwnd)
            c->handle_ = nullptr;
    }
    return result;
}

COLORREF ColorFromName(const std::string& name) {
    static const std::map<std::string, COLORREF> colors{
        {"clBlack", RGB(0, 0, 0)},       {"clMaroon", RGB(128, 0, 0)},
        {"clGreen", RGB(0, 128, 0)},     {"clNavy", RGB(0, 0, 128)},
        {"clRed", RGB(255, 0, 0)},       {"clBlue", RGB(0, 0, 255)},
        {"clWhite", RGB(255, 255, 255)}, {"clGray", RGB(128, 128, 128)},
        {"clYellow", RGB(255, 255, 0)}};
    auto it = colors.find(name);
    if (it == colors.end())
        throw Exception("Unknown colour " + name);
    return it->second;
}

} // namespace fw
