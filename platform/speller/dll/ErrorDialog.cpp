// The error dialog: the system's error icon, the message sized to its text, OK and Help.
#include "platform/speller/dll/ErrorDialog.h"

#include "platform/help/HelpViewer.h"

#include <algorithm>

namespace vspell {
namespace {

struct ErrorState {
    const DialogSettings* settings;
    int answer = 0;
};

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* s = StateOf<ErrorState>(w);
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)
            s->answer = IDOK;
        else if (LOWORD(wp) == idErrorHelp)
            help::ShowHelp(w, s->settings->helpFile, HELP_CONTEXT, kErrorHelp);
        return 0;
    case WM_CLOSE:
        s->answer = IDOK;
        return 0;
    }
    return DialogDefault(w, msg, wp, lp);
}

// The height the message takes at `width` pixels in the dialog font.
int TextHeight(const std::string& message, int width) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r{0, 0, width, 0};
    DrawTextA(dc, message.c_str(), static_cast<int>(message.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return r.bottom;
}

} // namespace

void ShowError(HINSTANCE module, const DialogSettings& settings, const std::string& message) {
    constexpr int kTextWidth = 330, kTextLeft = 58;
    const int text = std::clamp(TextHeight(message, kTextWidth), 32, 400);
    ErrorState state{&settings, 0};
    ModalWindow dialog(module, kErrorClass, Proc, settings.errorTitle, kTextLeft + kTextWidth + 14,
                       text + 64, &state);
    HWND w = dialog.Handle();
    HWND icon = Child(w, "STATIC", "", SS_ICON, 14, 14, 32, 32, -1);
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_HAND)), 0);
    Child(w, "STATIC", message.c_str(), SS_LEFT | SS_NOPREFIX, kTextLeft, 14, kTextWidth, text, -1);
    const int buttons = text + 28, right = kTextLeft + kTextWidth;
    Child(w, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, right - 168, buttons, 80, 25, IDOK);
    Child(w, "BUTTON", "&Help", BS_PUSHBUTTON | WS_TABSTOP, right - 80, buttons, 80, 25,
          idErrorHelp);
    dialog.Run(state.answer, GetDlgItem(w, IDOK), message.c_str(), "", [](const std::string&) {});
}

} // namespace vspell
