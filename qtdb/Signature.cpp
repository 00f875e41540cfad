// qtdb random and sign: a tagline drawn as the program's random change draws it, and the
// signature composed from a body file as the program composes it, for mail readers that
// run a command for their signature.
#include "qtdb/Commands.h"
#include "qtdb/Engine.h"
#include "qtdb/Shuffle.h"

#include "framework/text/DateLetters.h"
#include "framework/rules/SignatureRules.h"

#include <chrono>
#include <clocale>
#include <ctime>
#include <iostream>

namespace qtdb {

namespace {

// Line breaks as this system writes them.
std::string SystemLines(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += kEol;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Strftime(const char* format, const std::tm& t) {
    char text[128] = {};
    return std::strftime(text, sizeof text, format, &t) > 0 ? text : "";
}

// Month names and time texts from the C library, in the user's locale.
fw::TDateNames LocaleNames() {
    std::setlocale(LC_TIME, "");
    fw::TDateNames names;
    std::tm t{};
    t.tm_mday = 1;
    t.tm_year = 126;
    for (int m = 0; m < 12; ++m) {
        t.tm_mon = m;
        names.shortMonths[m] = Strftime("%b", t);
        names.longMonths[m] = Strftime("%B", t);
    }
    auto tm = [](const fw::TDateParts& p) {
        std::tm v{};
        v.tm_hour = p.hour;
        v.tm_min = p.minute;
        v.tm_sec = p.second;
        return v;
    };
    names.shortTime = [tm](const fw::TDateParts& p) { return Strftime("%H:%M", tm(p)); };
    names.longTime = [tm](const fw::TDateParts& p) { return Strftime("%X", tm(p)); };
    return names;
}

// A random tagline of the table, or the next of its shuffle's round, drawn from the UTC
// time of day in milliseconds. The plain draw reads one block; the round walks the table.
std::string DrawTagline(const std::string& table, bool shuffle) {
    using namespace std::chrono;
    const auto now = system_clock::now().time_since_epoch();
    const auto ms = duration_cast<milliseconds>(now).count() % (24 * 60 * 60 * 1000);
    const auto seed = static_cast<std::uint32_t>(ms);
    if (!shuffle)
        return RandomTagline(table, seed);
    Cursor rows(table, false);
    if (rows.RecordCount() == 0)
        throw Error(table + ": holds no taglines");
    ShuffleTo(rows, seed);
    return rows.TagText();
}

} // namespace

int Random(const Options& o) {
    if (o.operands.size() != 1)
        throw Error("random: needs one TABLE");
    std::cout << SystemLines(OutputText(DrawTagline(o.operands[0], o.shuffle), o.encoding)) << kEol;
    return 0;
}

int Sign(const Options& o) {
    if (o.operands.size() != 2)
        throw Error("sign: needs a BODY file and a TABLE");
    const std::string body = InputText(ReadInput(o.operands[0]), o.encoding, o.operands[0]);
    const std::string tagline = DrawTagline(o.operands[1], o.shuffle);
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    const fw::TDateParts parts{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                               local.tm_hour,        local.tm_min,     local.tm_sec};
    const fw::TDateNames names = LocaleNames();
    rules::TBlankSplitter words;
    const std::string expanded =
        rules::ExpandWords(body, fw::FormatLetters(o.dateFormat, parts, names),
                           fw::FormatLetters(o.timeFormat, parts, names), words);
    const std::string signature =
        SystemLines(OutputText(rules::ComposeDraft(expanded, tagline, o.top), o.encoding));
    // The draft ends at its tagline; a final line break keeps the terminal's prompt apart.
    std::cout << signature << (signature.size() >= 1 && signature.back() == '\n' ? "" : kEol);
    return 0;
}

} // namespace qtdb
