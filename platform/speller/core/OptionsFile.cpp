// The checker's options kept per user: one "Name=0|1" line each, read leniently (a damaged
// file gives the defaults) and replaced whole when saved.
#include "platform/speller/core/Speller.h"
#include "platform/speller/core/TextFile.h"

#include <fstream>
#include <iterator>

namespace spell {

namespace {

struct Entry {
    const char* name;
    bool Options::*flag;
};
constexpr Entry kEntries[] = {
    {"IgnoreUppercase", &Options::ignoreUppercase},
    {"IgnoreNumbers", &Options::ignoreNumbers},
    {"IgnoreAddresses", &Options::ignoreAddresses},
    {"SuggestSplitWords", &Options::suggestSplit},
};
// Far above any file we write: a bigger one is not ours.
constexpr std::streamsize kMaxSize = 4096;

} // namespace

Options LoadOptions(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(kMaxSize + 1, '\0');
    in.read(text.data(), kMaxSize + 1);
    if (in.gcount() > kMaxSize)
        return {};
    text.resize(static_cast<size_t>(in.gcount()));
    Options options;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const size_t eq = line.find('=');
        const std::string_view value = eq == std::string_view::npos ? "" : line.substr(eq + 1);
        if (value != "0" && value != "1")
            return {};
        // Names of options this version does not know are passed over, for newer files.
        for (const Entry& e : kEntries)
            if (line.substr(0, eq) == e.name)
                options.*e.flag = value == "1";
    }
    return options;
}

void SaveOptions(const std::string& path, const Options& options) {
    std::string text;
    for (const Entry& e : kEntries)
        text += std::string(e.name) + "=" + (options.*e.flag ? "1" : "0") + "\r\n";
    WriteText(path, text, false, "The spell-checking options file");
}

} // namespace spell
