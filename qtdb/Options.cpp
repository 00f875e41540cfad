// Reading qtdb's command line: options may stand anywhere among the operands.
#include "qtdb/Options.h"

#include "qtdb/Engine.h"

namespace qtdb {

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw Error(arg + ": needs a value");
            return argv[++i];
        };
        if (arg == "--force")
            o.force = true;
        else if (arg == "--fortune")
            o.fortune = true;
        else if (arg == "--top")
            o.top = true;
        else if (arg == "--shuffle")
            o.shuffle = true;
        else if (arg == "--help" || arg == "-h")
            o.help = true;
        else if (arg == "--version")
            o.version = true;
        else if (arg == "--date-format")
            o.dateFormat = value();
        else if (arg == "--time-format")
            o.timeFormat = value();
        else if (arg == "--dictionary")
            o.dictionary = value();
        else if (arg == "--personal")
            o.personal = value();
        else if (arg == "-a" && o.command == "spell")
            continue; // ispell's pipe mode, the only one spell has
        else if (arg == "--encoding") {
            const std::string e = value();
            if (e == "utf-8" || e == "utf8" || e == "UTF-8")
                o.encoding = Encoding::Utf8;
            else if (e == "windows-1252" || e == "cp1252")
                o.encoding = Encoding::Windows1252;
            else
                throw Error(e + ": unknown encoding (utf-8 or windows-1252)");
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-")
            throw Error(arg + ": unknown option (qtdb --help lists them)");
        else if (o.command.empty())
            o.command = arg;
        else
            o.operands.push_back(arg);
    }
    return o;
}

} // namespace qtdb
