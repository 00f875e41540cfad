// Answers the spell-check control's dialogs from queues, recording what each showed: the
// misspelled-word dialog (Cancel when nothing is queued), the options dialog (Cancel when
// nothing is queued) and the error dialog (always OK).
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace spelltest {

struct Asked {
    std::string word, title, suggestions;
};
struct Shown {
    std::string title, text; // the error's message, or the options as "Name=0|1" lines
    std::string over;        // the window class of the visible window it stood over
};

class ScriptedSpeller {
  public:
    // Loads VSPELL32.DLL, registers it for this user and installs the hook for its lifetime.
    ScriptedSpeller();
    ~ScriptedSpeller();
    ScriptedSpeller(const ScriptedSpeller&) = delete;
    ScriptedSpeller& operator=(const ScriptedSpeller&) = delete;

    // answer: a button of the dialog (VSpell.h's Answer), with the replacement to type.
    void Answer(int answer, const std::string& replacement = {});
    // settings: "Name=0|1" lines to tick or clear; button: IDOK or IDCANCEL.
    void AnswerOptions(const std::string& settings, int button);
    const std::vector<Asked>& AskedAbout() const;
    const std::vector<Shown>& OptionsShown() const;
    const std::vector<Shown>& ErrorsShown() const;
    void Clear();
};

// A fresh folder as %APPDATA%, so the user's word list starts empty.
std::string FreshAppData();

} // namespace spelltest
