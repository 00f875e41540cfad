// The control's options dialog: a check box for each of the checker's options, with OK,
// Cancel and Help.
#pragma once

#include "platform/speller/core/Speller.h"
#include "platform/speller/dll/DialogWindow.h"

namespace vspell {

// Shows the dialog modally over the active window, starting from `options`; true and the
// chosen options in `options` when the user pressed OK.
bool AskOptions(HINSTANCE module, const DialogSettings& settings, spell::Options& options);

} // namespace vspell
