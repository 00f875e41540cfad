// Exercising a possibly hostile table through the C API (see OpenAndRead.h).
#include "OpenAndRead.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace idpfuzz {

namespace {

void Store(const std::string& path, const uint8_t* data, size_t size) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

void ReadRow(IdpCursor c, uint16_t fields) {
    std::vector<char> buffer(70000);
    for (uint16_t f = 1; f <= fields; ++f) {
        uint16_t blank = 0;
        uint32_t length = 0;
        int32_t i = 0;
        double d = 0;
        idpIsBlank(c, f, &blank);
        idpGetString(c, f, buffer.data(), static_cast<uint32_t>(buffer.size()), &length, &blank);
        idpGetInteger(c, f, &i, &blank);
        idpGetDouble(c, f, &d, &blank);
        idpGetDateTime(c, f, &d, &blank);
        idpGetBoolean(c, f, &blank, nullptr);
        idpGetBytes(c, f, buffer.data(), static_cast<uint32_t>(buffer.size()), &length, &blank);
    }
}

} // namespace

IdpStatus OpenAndRead(const uint8_t* data, size_t size, const std::string& dir) {
    const uint8_t* memo = nullptr;
    size_t memoSize = 0, dbSize = size;
    const size_t markerSize = sizeof kMemoMarker - 1;
    for (size_t i = 0; i + markerSize <= size; ++i)
        if (std::memcmp(data + i, kMemoMarker, markerSize) == 0) {
            dbSize = i;
            memo = data + i + markerSize;
            memoSize = size - i - markerSize;
            break;
        }
    std::string path = dir + "/F.db";
    Store(path, data, dbSize);
    std::remove((dir + "/F.mb").c_str());
    if (memo)
        Store(dir + "/F.mb", memo, memoSize);
    std::remove((dir + "/F.QIX").c_str());

    IdpFieldDesc fields[256];
    IdpIndexDesc indexes[8];
    uint16_t fieldCount = 0, indexCount = 0;
    idpDescribeTable(path.c_str(), fields, 256, &fieldCount, indexes, 8, &indexCount);
    IdpTableProps props;
    idpGetTableProps(path.c_str(), &props);

    IdpCursor c = nullptr;
    IdpStatus status = idpOpenTable(path.c_str(), IDP_OPEN_EXCLUSIVE, &c);
    if (status != IDP_OK)
        return status;
    idpGetFieldCount(c, &fieldCount);
    uint32_t rows = 0;
    idpGetRecordCount(c, &rows);
    for (IdpStatus s = idpFirst(c); s == IDP_OK; s = idpNext(c))
        ReadRow(c, fieldCount);
    for (IdpStatus s = idpLast(c); s == IDP_OK; s = idpPrior(c))
        ;
    for (uint16_t i = 0; i < indexCount && i < 8; ++i) {
        if (idpSetIndexByName(c, indexes[i].name) != IDP_OK)
            continue;
        for (IdpStatus s = idpFirst(c); s == IDP_OK; s = idpNext(c))
            ;
    }
    idpSetIndexByName(c, "");
    if (idpFirst(c) == IDP_OK && idpSetKey(c) == IDP_OK) {
        idpSetString(c, 1, "key");
        uint16_t found = 0;
        idpGotoKey(c, &found);
    }
    // A change on top: refused on a damaged table, written otherwise.
    if (idpAppend(c) == IDP_OK) {
        for (uint16_t f = 1; f <= fieldCount; ++f) {
            idpSetString(c, f, "fuzz");
            idpSetInteger(c, f, 7);
        }
        if (idpPost(c) != IDP_OK)
            idpCancel(c);
    }
    if (idpFirst(c) == IDP_OK)
        idpDelete(c);
    idpCloseTable(c);
    return status;
}

} // namespace idpfuzz
