// Reading a text file for Import Text File: its encoding by the byte-order mark, and its
// lines.
#include "taglinedb/TextImport.h"

#include "framework/Exception.h"
#include "framework/Strings.h"
#include "framework/TextFiles.h"

#include <windows.h>

#include <cstring>

namespace {

bool StartsWith(const std::string& bytes, const char* mark, size_t size) {
    return bytes.size() >= size && std::memcmp(bytes.data(), mark, size) == 0;
}

std::wstring Utf16(const std::string& bytes, size_t from, bool bigEndian) {
    std::wstring wide((bytes.size() - from) / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        const auto a = static_cast<unsigned char>(bytes[from + 2 * i]);
        const auto b = static_cast<unsigned char>(bytes[from + 2 * i + 1]);
        wide[i] = static_cast<wchar_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    }
    return wide;
}

std::wstring Utf8(const std::string& bytes, size_t from) {
    const int length = static_cast<int>(bytes.size() - from);
    if (length == 0)
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + from, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data() + from, length, wide.data(), n);
    return wide;
}

} // namespace

TImportText ReadImportLines(const std::string& fileName) {
    const std::string bytes = fw::ReadSharedFile(fileName, kMaxImportFile);
    TImportText result;
    std::string text;
    if (StartsWith(bytes, "\xEF\xBB\xBF", 3))
        text = fw::AnsiFromWide(Utf8(bytes, 3), &result.replaced);
    else if (StartsWith(bytes, "\xFF\xFE", 2))
        text = fw::AnsiFromWide(Utf16(bytes, 2, false), &result.replaced);
    else if (StartsWith(bytes, "\xFE\xFF", 2))
        text = fw::AnsiFromWide(Utf16(bytes, 2, true), &result.replaced);
    else
        text = bytes;
    if (text.find('\0') != std::string::npos)
        throw fw::Exception("The file " + fileName +
                            " is not a text file.\r\nNothing was imported.");
    result.lines = fw::SplitLines(text);
    return result;
}
