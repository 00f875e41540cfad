// The table utility's naming rules, on plain strings.
#include "tableutil/TableNames.h"

namespace tablenames {

std::string DirectoryPart(const std::string& name) {
    const size_t at = name.find_last_of(":\\");
    return at == std::string::npos ? std::string() : name.substr(0, at + 1);
}

std::string FilePart(const std::string& name) {
    return name.substr(DirectoryPart(name).size());
}

std::string StripExtension(const std::string& name) {
    const std::string file = FilePart(name);
    return DirectoryPart(name) + file.substr(0, file.find('.'));
}

std::string UnderscoreName(const std::string& name) {
    if (name.size() < 8)
        return name + "_";
    std::string marked = name;
    for (size_t i = 8; i >= 1; --i)
        if (marked[i - 1] != '_') {
            marked[i - 1] = '_';
            break;
        }
    return marked;
}

std::string WithBackslash(const std::string& directory) {
    if (!directory.empty() && directory.back() == '\\')
        return directory;
    return directory + "\\";
}

} // namespace tablenames
