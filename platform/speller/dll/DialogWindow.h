// What the control's dialogs share: plain child windows in the dialog font, a window class
// per dialog, the modal loop over a disabled owner, and the test hook that answers them.
#pragma once

#include "platform/speller/dll/VSpell.h"

#include <stdexcept>
#include <string>

namespace vspell {

// The stored titles and help file of the control's dialogs.
struct DialogSettings {
    std::string misspelledTitle; // WordMisspelledTitle
    std::string optionsTitle;    // OptionsDialogTitle
    std::string errorTitle;      // ErrorDialogTitle
    std::string helpFile;        // full path of "vspeller.hlp"
};

// The dialogs' topics in "vspeller.hlp", by context number.
enum HelpContext : unsigned { kMisspelledHelp = 1, kOptionsHelp = 2, kErrorHelp = 3 };

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
           int id);
std::string WindowText(HWND w);

// A dialog window's state, kept as its user data from its creation parameter.
template <class State> State* StateOf(HWND w) {
    return reinterpret_cast<State*>(GetWindowLongPtrA(w, GWLP_USERDATA));
}
// The default handling of a dialog's messages, keeping the state at WM_NCCREATE.
LRESULT DialogDefault(HWND w, UINT msg, WPARAM wp, LPARAM lp);

// One modal showing of a dialog: created centred on the screen with a client area of
// width x height, the active window as owner (disabled meanwhile).
class ModalWindow {
  public:
    ModalWindow(HINSTANCE module, const char* cls, WNDPROC proc, const std::string& title,
                int width, int height, void* state);
    ~ModalWindow();
    ModalWindow(const ModalWindow&) = delete;
    ModalWindow& operator=(const ModalWindow&) = delete;

    HWND Handle() const { return window_; }
    // Shows it and runs messages until `answer` is non-zero; the test hook, when installed,
    // is asked with `text` and `list` and its reply goes to `onReply` before its button is
    // pressed. A quit message ends it with `answer` left 0.
    template <class OnReply>
    void Run(const int& answer, HWND focus, const char* text, const char* list, OnReply onReply) {
        Show(focus);
        char reply[512] = "";
        if (const int press = AskHook(text, list, reply, sizeof reply)) {
            onReply(std::string(reply));
            PostMessageA(GetDlgItem(window_, press), BM_CLICK, 0, 0);
        }
        Loop(answer);
    }

  private:
    void Show(HWND focus);
    int AskHook(const char* text, const char* list, char* reply, int size);
    void Loop(const int& answer);

    HWND owner_, window_;
};

// The hook tests install (null: a person answers).
void SetAnswerHook(AnswerHook hook);

} // namespace vspell
