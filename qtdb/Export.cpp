// qtdb export: a tagline table's taglines in TagText order, one a line (line breaks
// escaped as "\n") or as a fortune file.
#include "qtdb/Commands.h"
#include "qtdb/Engine.h"
#include "qtdb/Progress.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

namespace qtdb {

namespace {

// Line breaks of every kind as "\n", for the Unix text of a fortune file.
std::string UnixLines(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i] == '\r' ? '\n' : text[i];
    }
    return out;
}

} // namespace

int Export(const Options& o) {
    if (o.operands.empty() || o.operands.size() > 2)
        throw Error("export: needs a TABLE and at most one FILE");
    const std::string& table = o.operands[0];
    // The header's count, read before the table is opened (an open table tells the rows it
    // could read).
    IdpTableProps props{};
    Check(idpGetTableProps(table.c_str(), &props), table);
    Cursor rows(table, false);
    // A table without an index on TagText is written in its own order.
    idpSetIndexByFields(rows.Handle(), "TagText");

    std::ofstream file;
    const bool toFile = o.operands.size() == 2;
    const std::string out = toFile ? o.operands[1] : "standard output";
    if (toFile) {
        file.open(o.operands[1], std::ios::binary | std::ios::trunc);
        if (!file)
            throw Error(out + ": cannot be written (" + std::strerror(errno) + ")");
    }
    std::ostream& stream = toFile ? static_cast<std::ostream&>(file) : std::cout;

    const uint32_t count = rows.RecordCount();
    Progress bar("exporting", count);
    uint32_t written = 0;
    IdpStatus s = idpFirst(rows.Handle());
    for (; s == IDP_OK; s = idpNext(rows.Handle())) {
        const std::string text = OutputText(rows.TagText(), o.encoding);
        if (o.fortune)
            stream << UnixLines(text) << "\n%\n";
        else
            stream << EscapeLineBreaks(text) << kEol;
        bar.Step(++written);
    }
    stream.flush();
    if (s != IDP_ERR_EOF)
        rows.Check(s);
    if (!stream)
        throw Error(out + ": cannot be written (the disk may be full)");
    // What the header promises and the blocks do not hold was lost to damage.
    if (props.recordCount > 0 && written < static_cast<uint32_t>(props.recordCount))
        throw Error(table + ": " +
                    std::to_string(props.recordCount - static_cast<int32_t>(written)) + " of " +
                    std::to_string(props.recordCount) +
                    " taglines could not be read; the others were exported");
    return 0;
}

} // namespace qtdb
