// The control's misspelled-word dialog: the word in its sentence, suggestions, an editable
// replacement and the buttons Change, Change All, Ignore, Ignore All, Add, Options...,
// Cancel and Help.
#pragma once

#include "platform/speller/dll/CheckSession.h"
#include "platform/speller/dll/DialogWindow.h"

#include <functional>
#include <string>

namespace vspell {

// Shows the dialog modally over the active window and returns the user's reply. Its
// Options... button runs `options` while the dialog still stands, so the options dialog
// opens over it, and then answers ansOptions.
Reply AskMisspelled(HINSTANCE module, const DialogSettings& settings, const Question& q,
                    const std::function<void()>& options);

} // namespace vspell
