// The control's misspelled-word dialog: the word in its sentence, suggestions, an editable
// replacement and the buttons Change, Change All, Ignore, Ignore All, Add, Options...,
// Cancel and Help.
#pragma once

#include "platform/speller/dll/CheckSession.h"
#include "platform/speller/dll/DialogWindow.h"

#include <string>

namespace vspell {

// Shows the dialog modally over the active window and returns the user's reply.
Reply AskMisspelled(HINSTANCE module, const DialogSettings& settings, const Question& q);

} // namespace vspell
