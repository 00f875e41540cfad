// qtdb create and stats: a new, empty tagline table, and what a table's files say of it.
#include "qtdb/Commands.h"
#include "qtdb/Engine.h"

#include <algorithm>
#include <cctype>
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

// A table's own files: the .db and, where they exist, its primary index, our index
// sidecar and its memo file. Other files that share the name (a help file, a backup) are
// not the table's.
std::vector<std::filesystem::path> TableFiles(const std::filesystem::path& table) {
    static const char* const kOwn[] = {".db", ".px", ".qix", ".mb"};
    const auto lower = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(
             table.has_parent_path() ? table.parent_path() : std::filesystem::path("."), error)) {
        const std::filesystem::path& name = entry.path();
        if (!entry.is_regular_file(error) ||
            lower(name.stem().string()) != lower(table.stem().string()))
            continue;
        const std::string ext = lower(name.extension().string());
        if (std::find(std::begin(kOwn), std::end(kOwn), ext) != std::end(kOwn))
            files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    return files;
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
              << p.blockSize << " bytes" << kEol << "keyed      ";
    if (p.keyFields)
        std::cout << "yes, on " << p.keyFields << " field(s)";
    else
        std::cout << "no";
    std::cout << kEol << "indexes    " << indexCount;
    for (uint16_t i = 0; i < indexCount && i < indexes.size(); ++i)
        std::cout << (i ? ", " : ": ") << (indexes[i].name[0] ? indexes[i].name : "(primary)")
                  << " on " << indexes[i].fields;
    std::cout << kEol << "code page  " << p.locale << " (" << p.codePage << ")" << kEol
              << "files     ";
    for (const auto& file : TableFiles(table))
        std::cout << " " << file.filename().string() << " " << std::filesystem::file_size(file);
    std::cout << kEol;
    return 0;
}

} // namespace qtdb
