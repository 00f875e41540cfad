// The input box, built as an in-memory dialog template so it needs no resource.
#include "framework/InputQuery.h"

#include <vector>

namespace fw {

namespace {

enum { IdPrompt = 100, IdEdit = 101 };

// Writes the words of a dialog template, DWORD-aligning each item as the format asks.
class TTemplate {
  public:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const std::string& s) {
        for (unsigned char c : s)
            Word(c); // the prompt and caption are plain ANSI text of the program
        Word(0);
    }
    void Align() {
        if (words_.size() % 2)
            Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD cls,
              const std::string& text) {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (short v : {x, y, cx, cy})
            Word(static_cast<WORD>(v));
        Word(id);
        Word(0xFFFF);
        Word(cls);
        Text(text);
        Word(0);
    }
    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    std::vector<WORD> words_;
};

struct TState {
    std::string* value;
};

INT_PTR CALLBACK InputProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        auto* state = reinterpret_cast<TState*>(lp);
        SetDlgItemTextA(dlg, IdEdit, state->value->c_str());
        SendDlgItemMessageA(dlg, IdEdit, EM_SETSEL, 0, -1);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            auto* state = reinterpret_cast<TState*>(GetWindowLongPtrA(dlg, DWLP_USER));
            HWND edit = GetDlgItem(dlg, IdEdit);
            std::vector<char> buf(GetWindowTextLengthA(edit) + 1);
            GetWindowTextA(edit, buf.data(), static_cast<int>(buf.size()));
            *state->value = buf.data();
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

bool RunInputQuery(HWND owner, const std::string& caption, const std::string& prompt,
                   std::string& value) {
    TTemplate t;
    t.Dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.Dword(0);
    t.Word(4); // items
    for (short v : {0, 0, 180, 66})
        t.Word(static_cast<WORD>(v));
    t.Word(0); // no menu
    t.Word(0); // default class
    t.Text(caption);
    t.Word(8);
    t.Text("MS Shell Dlg");
    t.Item(SS_LEFT, 7, 7, 166, 10, IdPrompt, 0x0082, prompt);
    t.Item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 20, 166, 12, IdEdit, 0x0081, "");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 68, 42, 50, 14, IDOK, 0x0080, "OK");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 123, 42, 50, 14, IDCANCEL, 0x0080, "Cancel");
    TState state{&value};
    INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Data(), owner, InputProc,
                                        reinterpret_cast<LPARAM>(&state));
    return r == IDOK;
}

} // namespace fw
