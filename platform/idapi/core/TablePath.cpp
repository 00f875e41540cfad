// Path handling for table files, on both separator conventions.
#include "TablePath.h"

#include <cctype>

#include "Os.h"
#include "TextFold.h"

namespace idp {

namespace {

size_t FileStart(const std::string& path) {
    for (size_t i = path.size(); i > 0; --i)
        if (os::IsSeparator(path[i - 1]))
            return i;
    return 0;
}

size_t ExtensionDot(const std::string& path) {
    size_t start = FileStart(path);
    size_t dot = path.find_last_of('.');
    return dot != std::string::npos && dot >= start ? dot : std::string::npos;
}

bool IsLower(const std::string& s) {
    for (char c : s)
        if (std::isupper(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::string DirectoryOf(const std::string& path) {
    return path.substr(0, FileStart(path));
}

std::string FileOf(const std::string& path) {
    return path.substr(FileStart(path));
}

bool HasExtension(const std::string& path) {
    return ExtensionDot(path) != std::string::npos;
}

std::string TableFilePath(const std::string& path) {
    if (HasExtension(path))
        return path;
    if (!os::FileExists(path + ".db") && os::FileExists(path + ".DB"))
        return path + ".DB";
    return path + ".db";
}

std::string CompanionPath(const std::string& dbPath, const std::string& ext) {
    size_t dot = ExtensionDot(dbPath);
    std::string base = dot == std::string::npos ? dbPath : dbPath.substr(0, dot);
    std::string dbExt = dot == std::string::npos ? "" : dbPath.substr(dot + 1);
    std::string lower = base + "." + Lower(ext), upper = base + "." + Upper(ext);
    if (os::FileExists(lower))
        return lower;
    if (os::FileExists(upper))
        return upper;
    return IsLower(dbExt) ? lower : upper;
}

std::vector<std::string> ExistingCompanions(const std::string& dbPath) {
    std::vector<std::string> found;
    std::string dir = DirectoryOf(dbPath);
    std::string file = FileOf(dbPath);
    size_t dot = file.find_last_of('.');
    std::string stem = FoldCase(dot == std::string::npos ? file : file.substr(0, dot));
    for (const std::string& name : os::ListFiles(dir)) {
        size_t d = name.find_last_of('.');
        if (d == std::string::npos || FoldCase(name.substr(0, d)) != stem)
            continue;
        std::string ext = FoldCase(name.substr(d + 1));
        bool secondary = ext.size() == 3 && (ext[0] == 'X' || ext[0] == 'Y') &&
                         std::isxdigit(static_cast<unsigned char>(ext[1])) &&
                         std::isxdigit(static_cast<unsigned char>(ext[2]));
        bool secondaryG = ext.size() == 3 && (ext[0] == 'X' || ext[0] == 'Y') && ext[1] == 'G';
        if (ext == "PX" || ext == "MB" || ext == "QIX" || ext == "VAL" || ext == "TV" ||
            ext == "FAM" || secondary || secondaryG)
            found.push_back(dir + name);
    }
    return found;
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    std::string p = FoldCase(pattern), n = FoldCase(name);
    size_t pi = 0, ni = 0, star = std::string::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

} // namespace idp
