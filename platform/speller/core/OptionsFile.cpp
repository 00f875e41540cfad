// The checker's options kept per user: one "Name=0|1" line each, read leniently (a damaged
// file gives the defaults) and replaced whole when saved.
#include "platform/speller/core/Speller.h"
#include "platform/speller/core/TextFile.h"

#include <algorithm>
#include <fstream>

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

std::string OptionsText(const Options& options) {
    std::string text;
    for (const Entry& e : kEntries)
        text += std::string(e.name) + "=" + (options.*e.flag ? "1" : "0") + "\r\n";
    return text;
}

bool ReadOptions(std::string_view text, Options& options) {
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const size_t eq = line.find('=');
        const std::string_view value = eq == std::string_view::npos ? "" : line.substr(eq + 1);
        if (value != "0" && value != "1")
            return false;
        for (const Entry& e : kEntries)
            if (line.substr(0, eq) == e.name)
                options.*e.flag = value == "1";
    }
    return true;
}

Options LoadOptions(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(kMaxSize + 1, '\0');
    in.read(text.data(), kMaxSize + 1);
    Options options;
    if (in.gcount() > kMaxSize ||
        !ReadOptions(std::string_view(text.data(), static_cast<size_t>(in.gcount())), options))
        return {};
    return options;
}

void SaveOptions(const std::string& path, const Options& options) {
    WriteText(path, OptionsText(options), false, "The spell-checking options file");
}

} // namespace spell
