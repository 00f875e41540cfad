// The options dialog's check boxes, read back into the checker's options on OK.
#include "platform/speller/dll/OptionsDialog.h"

#include "platform/help/HelpViewer.h"

namespace vspell {
namespace {

struct Box {
    int id;
    const char* caption;
    bool spell::Options::*flag;
};
// Accelerators near the start of each caption, where the underline meets its letter.
constexpr Box kBoxes[] = {
    {idIgnoreUppercase, "I&gnore words in UPPERCASE", &spell::Options::ignoreUppercase},
    {idIgnoreNumbers, "Ignore &words with numbers", &spell::Options::ignoreNumbers},
    {idIgnoreAddresses, "&Ignore Internet and e-mail addresses", &spell::Options::ignoreAddresses},
    {idSuggestSplit, "&Suggest split words", &spell::Options::suggestSplit},
};

struct OptionsState {
    const DialogSettings* settings;
    int answer = 0;
    spell::Options chosen;
};

void Tick(HWND w, const spell::Options& options) {
    for (const Box& b : kBoxes)
        CheckDlgButton(w, b.id, options.*b.flag ? BST_CHECKED : BST_UNCHECKED);
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* s = StateOf<OptionsState>(w);
    switch (msg) {
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            for (const Box& b : kBoxes)
                s->chosen.*b.flag = IsDlgButtonChecked(w, b.id) == BST_CHECKED;
            s->answer = IDOK;
            break;
        case IDCANCEL:
            s->answer = IDCANCEL;
            break;
        case idOptionsHelp:
            help::ShowHelp(w, s->settings->helpFile, HELP_CONTEXT, kOptionsHelp);
            break;
        }
        return 0;
    case WM_CLOSE:
        s->answer = IDCANCEL;
        return 0;
    }
    return DialogDefault(w, msg, wp, lp);
}

} // namespace

bool AskOptions(HINSTANCE module, const DialogSettings& settings, spell::Options& options) {
    OptionsState state{&settings, 0, options};
    ModalWindow dialog(module, kOptionsClass, Proc, settings.optionsTitle, 330, 150, &state);
    HWND w = dialog.Handle();
    int y = 12;
    for (const Box& b : kBoxes) {
        Child(w, "BUTTON", b.caption, BS_AUTOCHECKBOX | WS_TABSTOP, 14, y, 300, 20, b.id);
        y += 24;
    }
    Tick(w, options);
    Child(w, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 64, 114, 80, 25, IDOK);
    Child(w, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 152, 114, 80, 25, IDCANCEL);
    Child(w, "BUTTON", "&Help", BS_PUSHBUTTON | WS_TABSTOP, 240, 114, 80, 25, idOptionsHelp);
    dialog.Run(state.answer, GetDlgItem(w, IDOK), "", spell::OptionsText(options).c_str(),
               [&](const std::string& reply) {
                   spell::Options scripted = options;
                   if (spell::ReadOptions(reply, scripted))
                       Tick(w, scripted);
               });
    if (state.answer != IDOK)
        return false;
    options = state.chosen;
    return true;
}

} // namespace vspell
