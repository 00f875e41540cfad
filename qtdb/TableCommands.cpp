// qtdb create and stats: a new, empty tagline table, and what a table's files say of it.
#include "qtdb/Commands.h"
#include "qtdb/Engine.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <vector>

namespace qtdb {

namespace {

const char* TypeName(uint16_t type) {
    switch (type) {
    case IDP_FLD_ALPHA:
        return "alpha";
    case IDP_FLD_DATE:
        return "date";
    case IDP_FLD_SHORT:
        return "short";
    case IDP_FLD_LONG:
        return "long";
    case IDP_FLD_CURRENCY:
        return "currency";
    case IDP_FLD_NUMBER:
        return "number";
    case IDP_FLD_LOGICAL:
        return "logical";
    case IDP_FLD_MEMO:
        return "memo";
    case IDP_FLD_BLOB:
        return "blob";
    case IDP_FLD_FMTMEMO:
        return "formatted memo";
    case IDP_FLD_OLE:
        return "ole";
    case IDP_FLD_GRAPHIC:
        return "graphic";
    case IDP_FLD_TIME:
        return "time";
    case IDP_FLD_TIMESTAMP:
        return "timestamp";
    case IDP_FLD_AUTOINC:
        return "autoincrement";
    case IDP_FLD_BCD:
        return "bcd";
    case IDP_FLD_BYTES:
        return "bytes";
    default:
        return "unknown";
    }
}

} // namespace

int Create(const Options& o) {
    if (o.operands.size() != 1)
        throw Error("create: needs one TABLE");
    const std::string& table = o.operands[0];
    if (std::filesystem::exists(table) && !o.force)
        throw Error(table + ": already exists; --force replaces it with an empty table");
    CreateTaglineTable(table);
    return 0;
}

int Stats(const Options& o) {
    if (o.operands.size() != 1)
        throw Error("stats: needs one TABLE");
    const std::string& table = o.operands[0];
    IdpTableProps p{};
    Check(idpGetTableProps(table.c_str(), &p), table);
    uint32_t rows = 0; // what the blocks hold, which a header left by a crash may not say
    Check(idpGetRowCount(table.c_str(), &rows), table);
    uint16_t fieldCount = 0, indexCount = 0;
    Check(idpDescribeTable(table.c_str(), nullptr, 0, &fieldCount, nullptr, 0, &indexCount), table);
    std::vector<IdpFieldDesc> fields(fieldCount);
    std::vector<IdpIndexDesc> indexes(indexCount);
    Check(idpDescribeTable(table.c_str(), fields.data(), fieldCount, &fieldCount, indexes.data(),
                           indexCount, &indexCount),
          table);
    std::cout << "table      " << table << kEol << "type       " << p.tableType << " (version "
              << p.version << ")" << kEol << "rows       " << rows << kEol << "fields     "
              << p.fieldCount << ":";
    for (uint16_t i = 0; i < fieldCount && i < fields.size(); ++i) {
        std::cout << (i ? ", " : " ") << fields[i].name << " " << TypeName(fields[i].type);
        if (fields[i].type == IDP_FLD_ALPHA)
            std::cout << " " << fields[i].size;
    }
    std::cout << kEol << "record     " << p.recordSize << " bytes" << kEol << "block      "
              << p.blockSize << " bytes" << kEol << "keyed      "
              << (p.keyFields ? "yes, on " + std::to_string(p.keyFields) + " field(s)" : "no")
              << kEol << "indexes    " << indexCount;
    for (uint16_t i = 0; i < indexCount && i < indexes.size(); ++i)
        std::cout << (i ? ", " : ": ") << (indexes[i].name[0] ? indexes[i].name : "(primary)")
                  << " on " << indexes[i].fields;
    std::cout << kEol << "code page  " << p.locale << " (" << p.codePage << ")" << kEol
              << "files     ";
    const std::filesystem::path path(table);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(
             path.has_parent_path() ? path.parent_path() : std::filesystem::path(".")))
        if (entry.is_regular_file() && entry.path().stem() == path.stem())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files)
        std::cout << " " << file.filename().string() << " " << std::filesystem::file_size(file);
    std::cout << kEol;
    return 0;
}

} // namespace qtdb
