// Variable expansion of a signature body: "#DATE#" and "#TIME#" standing as whole words
// become the date and time in the user's formats. The names come from the variable list
// file, which is kept holding at least those two.
#pragma once

#include "desktop/Brkapart.h"

#include <windows.h>

#include <string>

// The variable list file's name in the program folder.
inline constexpr const char* kVariableListFile = "UserVars.QTV";

// What the variables stand for at one moment.
struct TVariableValues {
    std::string custDate; // format letters of "#DATE#"
    std::string custTime; // format letters of "#TIME#"
    SYSTEMTIME now;
};

// Splits each line of the text at single blanks (through breakIt, empty words kept), so a
// word equal to a name (case-sensitive) is replaced and everything else comes back as it
// was; returns the lines, each followed by CR LF. The list file is read when it exists;
// it is written (created when missing) only when it lacks one of the two names or is not
// yet in CR LF lines, so composing again and again leaves it as it is.
std::string ExpandVariables(const std::string& text, TBrkApart& breakIt,
                            const std::string& listFile, const TVariableValues& values);
