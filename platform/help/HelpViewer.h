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
// number) are explained in it. Returns false for an unknown command or a help file
// that cannot be read.
bool ShowHelp(HWND owner, const std::string& helpFile, unsigned command, std::uintptr_t data);

} // namespace help
