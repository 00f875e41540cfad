// The misspelled-word dialog: the word in its sentence, the replacement to edit and the
// suggestions to pick it from, and a button for each answer.
#include "platform/speller/dll/MisspelledDialog.h"

#include "platform/help/HelpViewer.h"
#include "platform/speller/dll/DialogWindow.h"

#include <vector>

namespace vspell {
namespace {

struct DialogState {
    const DialogSettings* settings;
    const Question* question;
    const std::function<void()>* options;
    int answer = 0;
    std::string replacement;
};

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
    // Accelerators stay near the start of a caption: this Wine measures a long run of the
    // dialog font (Tahoma) wider than it draws it, so an underline far along a caption
    // ("Cha&nge All") misses its letter and shows as a stray mark after the text.
    const std::pair<const char*, int> buttons[] = {
        {"&Change", ansChange}, {"Cha&nge All", ansChangeAll},
        {"&Ignore", ansIgnore}, {"I&gnore All", ansIgnoreAll},
        {"&Add", ansAdd},       {"&Options...", ansOptions},
        {"Cancel", ansCancel},  {"&Help", ansHelp}};
    int y = 28;
    for (const auto& [caption, id] : buttons) {
        Child(w, "BUTTON", caption,
              WS_TABSTOP | (id == ansChange ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 322, y, 96, 25,
              id);
        y += 30;
    }
}

bool Answers(int id) {
    return id >= ansChange && id <= ansCancel;
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* s = StateOf<DialogState>(w);
    switch (msg) {
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
            help::ShowHelp(w, s->settings->helpFile, HELP_CONTEXT, kMisspelledHelp);
        } else if (id == IDCANCEL || Answers(id) || id == ansOptions) {
            if (id == ansOptions)
                (*s->options)();
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
    return DialogDefault(w, msg, wp, lp);
}

std::string Lines(const std::vector<std::string>& words) {
    std::string s;
    for (const std::string& w : words)
        s += w + "\n";
    return s;
}

} // namespace

Reply AskMisspelled(HINSTANCE module, const DialogSettings& settings, const Question& q,
                    const std::function<void()>& options) {
    DialogState state{&settings, &q, &options, 0, {}};
    ModalWindow dialog(module, kMisspelledClass, Proc, settings.misspelledTitle, 430, 280, &state);
    HWND w = dialog.Handle();
    Build(w, state);
    dialog.Run(state.answer, GetDlgItem(w, idReplacement), q.word.c_str(),
               Lines(q.suggestions).c_str(), [&](const std::string& replacement) {
                   if (!replacement.empty())
                       SetDlgItemTextA(w, idReplacement, replacement.c_str());
               });
    return {state.answer == 0 ? ansCancel : state.answer, state.replacement};
}

} // namespace vspell
