// Multi-line edits, push buttons and group boxes.
#include "framework/StdCtrls.h"

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Forms.h"

namespace fw {

TWinControl::TCreateParams TMemo::CreateParams() const {
    DWORD style = WS_CHILD | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                  ES_WANTRETURN | (readOnly_ ? ES_READONLY : 0) |
                  (horizontalScrollBar_ ? WS_HSCROLL | ES_AUTOHSCROLL : 0);
    return {"EDIT", style, WS_EX_CLIENTEDGE};
}

void TMemo::HandleCreated() {
    SendMessageA(TWinControl::Handle(), EM_SETLIMITTEXT, 0, 0); // as much text as the system allows
}

void TMemo::SetText(const std::string& text) {
    if (HandleAllocated() && !IsWindowVisible(TWinControl::Handle()))
        pending_ = text;
    else
        Write(text);
}

HWND TMemo::Handle() {
    Appearing();
    return TWinControl::Handle();
}

void TMemo::Appearing() {
    if (pending_) {
        std::string text = std::move(*pending_);
        pending_.reset();
        Write(text);
    }
}

void TMemo::Write(const std::string& text) {
    pending_.reset();
    writing_ = true;
    try {
        SetCaption(text);
    } catch (...) {
        writing_ = false;
        throw;
    }
    writing_ = false;
}

HBRUSH TMemo::CtlColor(HDC dc) {
    // A read-only memo keeps the window colour: it shows a document, not a disabled field.
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return GetSysColorBrush(COLOR_WINDOW);
}

void TMemo::SetReadOnly(bool readOnly) {
    if (readOnly == readOnly_)
        return;
    readOnly_ = readOnly;
    if (HWND h = TWinControl::Handle())
        SendMessageA(h, EM_SETREADONLY, readOnly, 0);
}

bool TMemo::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name == "ReadOnly")
        readOnly_ = v.AsBoolean();
    else if (name == "ScrollBars") // ssVertical, the default, or ssBoth
        horizontalScrollBar_ = v.AsIdent() == "ssBoth";
    else
        return TWinControl::SetProperty(name, v, e);
    return true;
}

TWinControl::TCreateParams TButton::CreateParams() const {
    // BS_NOTIFY: the form hears of focus, to move the default frame.
    const DWORD type = default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    return {"BUTTON", WS_CHILD | WS_TABSTOP | BS_NOTIFY | type, 0};
}

void TButton::Click() {
    if (OnClick)
        OnClick(this);
    if (modalResult_ != mrNone)
        if (TForm* form = Form())
            form->ModalResult = modalResult_;
}

void TButton::SetDefaultLook(bool look) {
    if (!HandleAllocated())
        return;
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    const LONG type = style & BS_TYPEMASK;
    // Only plain push buttons; drawn buttons show focus their own way.
    if ((type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) || (type == BS_DEFPUSHBUTTON) == look)
        return;
    // The style's low word is replaced whole on some systems: BS_NOTIFY goes along.
    SendMessageA(Handle(), BM_SETSTYLE, BS_NOTIFY | (look ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                 TRUE);
}

void TButton::Notify(WORD code) {
    if (code == BN_CLICKED)
        Click();
    else if (code == BN_SETFOCUS || code == BN_KILLFOCUS)
        if (TForm* form = Form())
            form->ButtonFocused(code == BN_SETFOCUS ? this : nullptr);
}

bool TButton::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name == "OnClick")
        OnClick = e.Notify(v.AsIdent());
    else if (name == "Default")
        default_ = v.AsBoolean();
    else if (name == "Cancel")
        cancel_ = v.AsBoolean();
    else if (name == "ModalResult")
        modalResult_ = ModalResultFromName(v.AsIdent());
    else
        return TWinControl::SetProperty(name, v, e);
    return true;
}

bool TGroupBox::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name != "Font.Color")
        return TWinControl::SetProperty(name, v, e);
    captionColor_ = ColorFromName(v.AsIdent());
    return true;
}

RECT TGroupBox::AlignRect() const {
    RECT r = TWinControl::AlignRect();
    r.top += 16;
    r.left += 6;
    r.right -= 6;
    r.bottom -= 6;
    return r;
}

void TGroupBox::Paint(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    HGDIOBJ oldFont = SelectObject(dc, Application().Font());
    std::string text = Caption();
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    RECT frame = r;
    frame.top += size.cy / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!text.empty()) {
        // The caption sits on the frame's top line, on the face colour.
        RECT label{8, 0, 8 + size.cx + 4, size.cy};
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, IsWindowEnabled(Handle()) ? captionColor_ : GetSysColor(COLOR_GRAYTEXT));
        ExtTextOutA(dc, label.left + 2, 0, ETO_OPAQUE, &label, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
    }
    SelectObject(dc, oldFont);
}

LRESULT TGroupBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        Paint(dc);
        EndPaint(Handle(), &ps);
        return 0;
    }
    if (msg == WM_SETTEXT) {
        LRESULT r = TWinControl::WndProc(msg, wParam, lParam);
        InvalidateRect(Handle(), nullptr, TRUE);
        return r;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

} // namespace fw
