// qtdb verify and rebuild: the table utility's checks and repair from the command line.
#include <iostream>

#include "core/TablePath.h"
#include "core/Tutil.h"
#include "qtdb/Commands.h"
#include "qtdb/Engine.h"

namespace qtdb {

namespace {

// The table's path without its extension, as the utility takes it.
std::string BaseOf(const std::string& table) {
    const std::string db = idp::TableFilePath(table);
    const size_t dot = db.rfind('.');
    return dot == std::string::npos || dot < idp::DirectoryOf(db).size() ? db : db.substr(0, dot);
}

} // namespace

int Verify(const Options& o) {
    if (o.operands.size() != 1)
        throw Error("verify: needs one TABLE");
    tutil::VerifyReport r = tutil::VerifyTable(BaseOf(o.operands[0]), 0, nullptr);
    for (const tutil::Finding& f : r.findings)
        std::cout << f.level << " " << f.code << " " << f.message << kEol;
    return r.level;
}

int Rebuild(const Options& o) {
    if (o.operands.size() != 1)
        throw Error("rebuild: needs one TABLE");
    const std::string base = BaseOf(o.operands[0]);
    const std::string dir = idp::DirectoryOf(base);
    tutil::RebuildNames names{base + "_", dir + "KEYVIOL", dir + "PROBLEMS"};
    tutil::RebuildReport r = tutil::RebuildTable(base, names, true, nullptr);
    std::cout << "rows kept       " << r.kept << kEol << "key violations  " << r.keyViolations
              << (r.keyViolations ? " (in " + names.keyViolations + ".db)" : "") << kEol
              << "problem rows    " << r.problems
              << (r.problems ? " (in " + names.problems + ".db)" : "") << kEol << "backup          "
              << idp::TableFilePath(names.backup) << kEol;
    return 0;
}

} // namespace qtdb
