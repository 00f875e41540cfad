// The control's error dialog, for failures inside the interactive check that no property
// call can return: the failure in plain words, with OK and Help.
#pragma once

#include "platform/speller/dll/DialogWindow.h"

#include <string>

namespace vspell {

// Shows `message` modally over the active window until the user presses OK.
void ShowError(HINSTANCE module, const DialogSettings& settings, const std::string& message);

} // namespace vspell
