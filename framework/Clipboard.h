// The clipboard's text, in the system's ANSI code page as the program's texts are.
#pragma once

#include <optional>
#include <string>

namespace fw {

struct TClipboardText {
    std::string text;
    // Some characters have no equivalent in the ANSI code page and became "?".
    bool replaced = false;
};

// The text the clipboard offers, taken from its Unicode form when it has one (so that
// nothing is guessed from another program's code page); nothing when it holds no text.
std::optional<TClipboardText> ClipboardText();

} // namespace fw
