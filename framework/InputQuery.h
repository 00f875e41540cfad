// The input box: a small modal dialog with a prompt, one edit line, OK and Cancel.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// True when the user pressed OK; value holds the default on entry and the answer on exit.
bool RunInputQuery(HWND owner, const std::string& caption, const std::string& prompt,
                   std::string& value);

} // namespace fw
