// The running program (its file and command line) and starting another program.
#pragma once

#include <string>

namespace fw {

// Full path of the running program file and the whole command line, as the system
// reports them.
std::string ProgramFileName();
std::string CommandLine();

// Starts the program file `path` (which may hold blanks) with the given show command and
// does not wait for it. The result follows the old WinExec contract: above 31 means the
// program started; 31 or less is the reason it did not (2 file not found, 3 path not
// found, 11 not a program, 0 any other failure).
unsigned StartProgram(const std::string& path, int showCmd);

} // namespace fw
