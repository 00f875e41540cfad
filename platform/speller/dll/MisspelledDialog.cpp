// The misspelled-word dialog, built from plain windows so the DLL needs no resources of
// the program; it runs its own modal loop and disables its owner meanwhile.
#include "platform/speller/dll/MisspelledDialog.h"

#include "platform/help/HelpViewer.h"

#include <vector>

namespace vspell {
namespace {

const char* const kClass = "VSpellMisspelledWord";
AnswerHook g_hook = nullptr;

struct DialogState {
    const DialogSettings* settings;
    const Question* question;
    int answer = 0;
    std::string replacement;
};

std::string WindowText(HWND w) {
    std::string s(static_cast<size_t>(GetWindowTextLengthA(w)) + 1, '\0');
    s.resize(static_cast<size_t>(GetWindowTextA(w, s.data(), static_cast<int>(s.size()))));
    return s;
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
           int id) {
    HWND c = CreateWindowExA(
        cls == std::string("EDIT") || cls == std::string("LISTBOX") ? WS_EX_CLIENTEDGE : 0, cls,
        text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return c;
}

void Build(HWND w, const DialogState& s) {
    const Question& q = *s.question;
    Child(w, "STATIC", "Not in dictionary:", 0, 10, 10, 300, 16, -1);
    HWND sentence = Child(w, "EDIT", q.sentence.c_str(),
                          ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | ES_NOHIDESEL,
                          10, 28, 300, 54, idSentence);
    SendMessageA(sentence, EM_SETSEL, q.wordInSentence, q.wordInSentence + q.word.size());
    Child(w, "STATIC", "Change to:", 0, 10, 92, 300, 16, -1);
    const std::string first = q.suggestions.empty() ? q.word : q.suggestions.front();
    Child(w, "EDIT", first.c_str(), ES_AUTOHSCROLL | WS_TABSTOP, 10, 110, 300, 22, idReplacement);
    Child(w, "STATIC", "Suggestions:", 0, 10, 140, 300, 16, -1);
    HWND list = Child(w, "LISTBOX", "", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, 10, 158, 300, 110,
                      idSuggestions);
    for (const std::string& word : q.suggestions)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(word.c_str()));
    if (!q.suggestions.empty())
        SendMessageA(list, LB_SETCURSEL, 0, 0);
    const char* const captions[] = {"&Change", "Change A&ll", "&Ignore", "I&gnore All",
                                    "&Add",    "Cancel",      "&Help"};
    for (int i = 0; i < 7; ++i)
        Child(w, "BUTTON", captions[i], WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
              322, 28 + i * 34, 96, 26, ansChange + i);
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* s = reinterpret_cast<DialogState*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrA(
            w, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
        break;
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        if (id == idSuggestions && HIWORD(wp) == LBN_SELCHANGE) {
            HWND list = GetDlgItem(w, idSuggestions);
            const LRESULT i = SendMessageA(list, LB_GETCURSEL, 0, 0);
            if (i != LB_ERR) {
                std::string word(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1,
                                 '\0');
                SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(word.data()));
                SetDlgItemTextA(w, idReplacement, word.c_str());
            }
        } else if (id == idSuggestions && HIWORD(wp) == LBN_DBLCLK) {
            PostMessageA(w, WM_COMMAND, ansChange, 0);
        } else if (id == ansHelp) {
            help::ShowHelp(w, s->settings->helpFile, HELP_CONTENTS, 0);
        } else if (id == IDCANCEL || (id >= ansChange && id <= ansCancel)) {
            s->answer = id == IDCANCEL ? ansCancel : id;
            s->replacement = WindowText(GetDlgItem(w, idReplacement));
        } else if (id == IDOK) {
            s->answer = ansChange;
            s->replacement = WindowText(GetDlgItem(w, idReplacement));
        }
        return 0;
    }
    case WM_CLOSE:
        s->answer = ansCancel;
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

void RegisterOnce(HINSTANCE module) {
    WNDCLASSA wc{};
    if (GetClassInfoA(module, kClass, &wc))
        return;
    wc.lpfnWndProc = Proc;
    wc.hInstance = module;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
}

std::string Lines(const std::vector<std::string>& words) {
    std::string s;
    for (const std::string& w : words)
        s += w + "\n";
    return s;
}

} // namespace

void SetAnswerHook(AnswerHook hook) {
    g_hook = hook;
}

Reply AskMisspelled(HINSTANCE module, const DialogSettings& settings, const Question& q) {
    RegisterOnce(module);
    DialogState state{&settings, &q, 0, {}};
    HWND owner = GetActiveWindow();
    RECT r{0, 0, 430, 280};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND w = CreateWindowExA(WS_EX_DLGMODALFRAME, kClass, settings.title.c_str(), style, x, y,
                             width, height, owner, nullptr, module, &state);
    if (!w)
        return {ansCancel, {}};
    Build(w, state);
    if (owner)
        EnableWindow(owner, FALSE);
    ShowWindow(w, SW_SHOW);
    SetFocus(GetDlgItem(w, idReplacement));
    if (g_hook) {
        char replacement[256] = "";
        const int press = g_hook(w, q.word.c_str(), Lines(q.suggestions).c_str(), replacement,
                                 sizeof replacement);
        if (replacement[0])
            SetDlgItemTextA(w, idReplacement, replacement);
        PostMessageA(GetDlgItem(w, press), BM_CLICK, 0, 0);
    }
    MSG m;
    while (state.answer == 0) {
        if (GetMessageA(&m, nullptr, 0, 0) <= 0) {
            // The program is ending: leave the quit message for its own loop.
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        if (!IsDialogMessageA(w, &m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    if (owner) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    DestroyWindow(w);
    return {state.answer == 0 ? ansCancel : state.answer, state.replacement};
}

} // namespace vspell
