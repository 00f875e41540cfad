// Exercising a possibly hostile table through the C API (see OpenAndRead.h).
#include "OpenAndRead.h"

#include <algorithm>
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

// A text search in the first alpha field, twice: the second from the row the first found.
void FindText(IdpCursor c) {
    IdpFieldDesc desc;
    for (uint16_t f = 1; idpGetFieldDesc(c, f, &desc) == IDP_OK; ++f)
        if (desc.type == IDP_FLD_ALPHA) {
            uint16_t found = 0;
            idpFindText(c, f, "a", &found);
            idpFindText(c, f, "a", &found);
            return;
        }
}

// Where a marker starts in data from `from` on, or size.
size_t Find(const uint8_t* data, size_t size, size_t from, const char* marker, size_t length) {
    for (size_t i = from; i + length <= size; ++i)
        if (std::memcmp(data + i, marker, length) == 0)
            return i;
    return size;
}

} // namespace

IdpStatus OpenAndRead(const uint8_t* data, size_t size, const std::string& dir) {
    const size_t indexLength = sizeof kIndexMarker - 1, memoLength = sizeof kMemoMarker - 1;
    const size_t index = Find(data, size, 0, kIndexMarker, indexLength);
    const size_t memo =
        Find(data, size, index < size ? index + indexLength : 0, kMemoMarker, memoLength);
    std::string path = dir + "/F.db";
    Store(path, data, std::min(index, memo));
    for (const char* ext : {"/F.px", "/F.mb", "/F.QIX"})
        std::remove((dir + ext).c_str());
    if (index < size) // after the .db, so that it is as new as the data
        Store(dir + "/F.px", data + index + indexLength,
              memo - std::min(memo, index + indexLength));
    if (memo < size)
        Store(dir + "/F.mb", data + memo + memoLength, size - memo - memoLength);

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
    idpGetRowCount(path.c_str(), &rows);
    idpGetRecordCount(c, &rows);
    // Rows by their place in the file: a block at a time, each checked as it is read.
    if (idpSetFileOrder(c) == IDP_OK)
        for (uint32_t at : {1u, rows / 2 + 1, rows})
            if (idpSetSeqNo(c, at) == IDP_OK)
                ReadRow(c, fieldCount);
    for (IdpStatus s = idpFirst(c); s == IDP_OK; s = idpNext(c))
        ReadRow(c, fieldCount);
    for (IdpStatus s = idpLast(c); s == IDP_OK; s = idpPrior(c))
        ;
    for (uint16_t i = 0; i < indexCount && i < 8; ++i) {
        if (idpSetIndexByName(c, indexes[i].name) != IDP_OK)
            continue;
        for (IdpStatus s = idpFirst(c); s == IDP_OK; s = idpNext(c))
            ;
        FindText(c);
    }
    // Text searches in file order, from the middle: blocks read a run at a time.
    if (idpSetFileOrder(c) == IDP_OK && idpSetSeqNo(c, rows / 2 + 1) == IDP_OK)
        FindText(c);
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
