// qtdb: the command-line companion of Quiptide over the same table engine, for scripts,
// mail readers that run a command for their signature, and collections kept on Linux.
#include "qtdb/Commands.h"
#include "qtdb/Engine.h"
#include "QuiptideVersion.h"

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char* const kUsage =
    "usage: qtdb COMMAND [OPTIONS] ...\n"
    "  create TABLE [--force]          an empty tagline table with the standard indexes\n"
    "  import TABLE FILE... [--fortune] taglines from text files, one a line (\"-\" reads\n"
    "                                  standard input; \"\\n\" in a line is a line break);\n"
    "                                  --fortune reads fortune(6) files\n"
    "  export TABLE [FILE] [--fortune]  every tagline in TagText order\n"
    "  random TABLE [--shuffle]        one tagline, drawn as Quiptide draws it; --shuffle\n"
    "                                  shows every tagline once before any repeats\n"
    "  sign BODY TABLE [--top] [--shuffle]  the signature: BODY with #DATE# and #TIME#\n"
    "                                  expanded, and a random tagline below (or above)\n"
    "  find TABLE TEXT                 every tagline holding TEXT, case ignored, in\n"
    "                                  TagText order; the exit status is 1 when none does\n"
    "  stats TABLE                     rows, fields, sizes and code page of a table\n"
    "  spell [-a] [--dictionary F] [--personal F]  checks lines of standard input by\n"
    "                                  ispell's pipe protocol (american.vtd beside qtdb)\n"
    "  verify TABLE                    one line per problem: level, code, message; the\n"
    "                                  exit status is the highest level (0: none, 1-2: a\n"
    "                                  rebuild repairs it, 3-4: it cannot)\n"
    "  rebuild TABLE                   rebuilds a damaged table from every readable row,\n"
    "                                  keeping the original as TABLE_\n"
    "options:\n"
    "  --encoding utf-8|windows-1252   text read and written (default windows-1252, the\n"
    "                                  tables' own; a UTF-8 byte-order mark is always read)\n"
    "  --date-format F, --time-format F  letters for #DATE# and #TIME# (default\n"
    "                                  \"mmm dd, yy\" and \"tt\", as in Quiptide's options)\n"
    "  --help, --version\n";

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The bytes as written: line breaks are qtdb's own choice, not the C library's.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    try {
        const qtdb::Options o = qtdb::ParseOptions(argc, argv);
        if (o.version) {
            std::cout << "qtdb " << QUIPTIDE_VERSION << qtdb::kEol;
            return 0;
        }
        if (o.help || o.command.empty() || o.command == "help") {
            std::cout << kUsage;
            return o.help || o.command == "help" ? 0 : 1;
        }
        if (o.command == "create")
            return qtdb::Create(o);
        if (o.command == "import")
            return qtdb::Import(o);
        if (o.command == "export")
            return qtdb::Export(o);
        if (o.command == "random")
            return qtdb::Random(o);
        if (o.command == "sign")
            return qtdb::Sign(o);
        if (o.command == "find")
            return qtdb::Find(o);
        if (o.command == "stats")
            return qtdb::Stats(o);
        if (o.command == "spell")
            return qtdb::Spell(o);
        if (o.command == "verify")
            return qtdb::Verify(o);
        if (o.command == "rebuild")
            return qtdb::Rebuild(o);
        throw qtdb::Error(o.command + ": unknown command (qtdb --help lists them)");
    } catch (const std::exception& e) {
        std::cerr << "qtdb: " << e.what() << qtdb::kEol;
        return 1;
    }
}
