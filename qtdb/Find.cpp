// qtdb find: every tagline that holds a text, case ignored as the table's "Tag" index
// ignores it, one a line in TagText order, through the engine's own search.
#include "qtdb/Commands.h"
#include "qtdb/Engine.h"

#include <iostream>

namespace qtdb {

int Find(const Options& o) {
    if (o.operands.size() != 2)
        throw Error("find: needs a TABLE and a TEXT");
    const std::string& table = o.operands[0];
    const std::string text = InputText(o.operands[1], o.encoding, "the text");
    Cursor rows(table, false);
    // A table without an index on TagText is searched in its own order.
    idpSetIndexByFields(rows.Handle(), "TagText");
    uint16_t field = 0;
    rows.Check(idpFindField(rows.Handle(), "TagText", &field));
    // From the last row the search begins at the first, and it ends when it comes round.
    if (idpLast(rows.Handle()) != IDP_OK)
        return 1;
    uint32_t previous = 0;
    for (;;) {
        uint16_t found = 0;
        rows.Check(idpFindText(rows.Handle(), field, text.c_str(), &found));
        uint32_t at = 0;
        if (found)
            rows.Check(idpGetSeqNo(rows.Handle(), &at));
        if (at <= previous)
            break;
        previous = at;
        std::cout << EscapeLineBreaks(OutputText(rows.TagText(), o.encoding)) << kEol;
    }
    return previous > 0 ? 0 : 1;
}

} // namespace qtdb
