// The control's misspelled-word dialog: the word in its sentence, suggestions, an editable
// replacement and the buttons Change, Change All, Ignore, Ignore All, Add, Cancel and Help.
#pragma once

#include "platform/speller/dll/CheckSession.h"
#include "platform/speller/dll/VSpell.h"

#include <string>

namespace vspell {

struct DialogSettings {
    std::string title;    // WordMisspelledTitle
    std::string helpFile; // full path of "vspeller.hlp"
};

// Shows the dialog modally over the active window and returns the user's reply.
Reply AskMisspelled(HINSTANCE module, const DialogSettings& settings, const Question& q);

// The hook tests install (null: a person answers).
void SetAnswerHook(AnswerHook hook);

} // namespace vspell
