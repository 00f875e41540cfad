// Answers the spell-check control's misspelled-word dialog from a queue, recording each
// word asked about and the dialog's title; with nothing queued it presses Cancel.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace spelltest {

struct Asked {
    std::string word, title, suggestions;
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
    const std::vector<Asked>& AskedAbout() const;
    void Clear();
};

// A fresh folder as %APPDATA%, so the user's word list starts empty.
std::string FreshAppData();

} // namespace spelltest
