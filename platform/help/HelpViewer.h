// The help viewer: shows topics of the program's help file in a window of its own, the
// way the system's help program is asked to (contents, search by partial keyword, topic
// by context number, quit).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace help {

// command is HELP_CONTENTS, HELP_PARTIALKEY (data: const char* key, may be empty or
// null), HELP_CONTEXT (data: the context number) or HELP_QUIT. The viewer window is
// shown without waiting; problems (a missing or damaged file, an unknown context
// number) are explained in it. Returns false when the request cannot be met: an
// unknown command, a help file that cannot be used, an unknown context number.
bool ShowHelp(HWND owner, const std::string& helpFile, unsigned command, std::uintptr_t data);

// The viewer window's class and its controls, for whoever drives it from outside.
inline constexpr const char* ViewerClass = "QuiptideHelpViewer";
enum ViewerControl : int {
    idContents = 101, // button: list the topics
    idSearch,         // button: search the keywords
    idKey,            // edit: the partial keyword, shown while searching
    idList,           // list box: topics, or the keywords found
    idTitle,          // the shown topic's title
    idBody,           // the shown topic's text
};

} // namespace help
