// qtdb's command line: the command, its operands, and the options any command may take.
#pragma once

#include "qtdb/Text.h"

#include <string>
#include <vector>

namespace qtdb {

struct Options {
    std::string command;
    std::vector<std::string> operands;
    bool force = false, fortune = false, top = false, help = false, version = false;
    bool shuffle = false; // random, sign: the next tagline of the table's round
    Encoding encoding = Encoding::Windows1252;
    std::string dateFormat = "mmm dd, yy", timeFormat = "tt";
    std::string dictionary, personal; // spell: the dictionary and the user's word list
};

// Raises Error for an unknown option or an option without its value.
Options ParseOptions(int argc, char** argv);

} // namespace qtdb
