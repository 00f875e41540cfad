// qtdb import: taglines from text files (one a line, or fortune files) into a tagline
// table, by the rules of the program's Import Text File: cut to 255 characters, leading
// blanks kept, a tagline already there replaced by its twin.
#include "qtdb/Commands.h"
#include "qtdb/Engine.h"
#include "qtdb/Progress.h"

#include "framework/text/TextLines.h"
#include "taglinedb/TaglineSchema.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#ifdef _WIN32
#include <process.h>
#define QTDB_GETPID _getpid
#else
#include <unistd.h>
#define QTDB_GETPID getpid
#endif

namespace qtdb {

namespace {

constexpr size_t kTagLength = 255;

struct Counts {
    size_t read = 0, tooLong = 0, empty = 0;
};

// The lines of a text, a slice of about a megabyte at a time, each slice ending after a
// line feed so that no CR LF is cut in two: the lines of a large file are never all held
// as strings at once.
template <class F> void ForEachLine(const std::string& text, F f) {
    constexpr size_t kSlice = 1 << 20;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', std::min(at + kSlice, text.size()) - 1);
        end = end == std::string::npos ? text.size() : end + 1;
        for (std::string& line : fw::SplitLines(text.substr(at, end - at)))
            f(line);
        at = end;
    }
}

// Fortune entries: the lines between lines holding only "%", joined with CR LF.
template <class F> void ForEachFortune(const std::string& text, F f) {
    std::string entry;
    bool open = false;
    ForEachLine(text, [&](std::string& line) {
        if (line == "%") {
            f(entry);
            entry.clear();
            open = false;
            return;
        }
        entry += (open ? "\r\n" : "") + line;
        open = true;
    });
    if (open)
        f(entry);
}

// The taglines of one file's text, each handed to f, counted as read, too long or empty.
template <class F>
void ForEachTagline(const Options& o, const std::string& text, Counts& counts, F f) {
    auto take = [&](std::string& entry) {
        ++counts.read;
        std::string tag = o.fortune ? std::move(entry) : UnescapeLineBreaks(entry);
        if (tag.empty()) {
            ++counts.empty;
            return;
        }
        if (tag.size() > kTagLength) {
            ++counts.tooLong;
            // A fortune is a whole saying: cut, it would no longer be one.
            if (o.fortune)
                return;
            tag.resize(kTagLength);
        }
        f(tag);
    };
    if (o.fortune)
        ForEachFortune(text, take);
    else
        ForEachLine(text, take);
}

// A scratch table of this run, deleted with its files however the import ends.
class Scratch {
  public:
    Scratch() : path_(ScratchFolder() + "qtdb-import-" + std::to_string(QTDB_GETPID()) + ".db") {
        Check(idpCreateTable(path_.c_str(), tagline::kFieldCount, tagline::kFields, 0, nullptr),
              path_);
    }
    ~Scratch() { idpDeleteTable(path_.c_str()); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

} // namespace

int Import(const Options& o) {
    if (o.operands.size() < 2)
        throw Error("import: needs a TABLE and at least one FILE (\"-\" for standard input)");
    const std::string& table = o.operands[0];
    // Every file is read before the table is touched: one that cannot be read, or is no
    // text, changes nothing. The texts are kept whole and split as the rows go in, so that
    // their lines are never all held as strings at once.
    std::vector<std::string> texts;
    size_t total = 0;
    for (size_t i = 1; i < o.operands.size(); ++i) {
        texts.push_back(InputText(ReadInput(o.operands[i]), o.encoding, o.operands[i]));
        Counts ignored;
        ForEachTagline(o, texts.back(), ignored, [&](const std::string&) { ++total; });
    }
    if (!std::filesystem::exists(table))
        CreateTaglineTable(table);

    Scratch scratch;
    Counts counts;
    {
        Cursor rows(scratch.Path(), true);
        uint16_t field = 0;
        rows.Check(idpFindField(rows.Handle(), "TagText", &field));
        Progress bar("importing", total);
        size_t done = 0;
        for (const std::string& text : texts)
            ForEachTagline(o, text, counts, [&](const std::string& tag) {
                rows.Check(idpAppend(rows.Handle()));
                rows.Check(idpSetString(rows.Handle(), field, tag.c_str()));
                rows.Check(idpPost(rows.Handle()));
                bar.Step(++done);
            });
        rows.Close();
    }
    std::vector<std::string>().swap(texts); // in the scratch table now
    IdpMoveCounts moved{};
    {
        Cursor source(scratch.Path(), false);
        Cursor destination(table, true);
        destination.Check(idpBatchMove(source.Handle(), destination.Handle(),
                                       IDP_MOVE_APPEND_UPDATE, nullptr, nullptr, nullptr, 0, 0,
                                       &moved));
        destination.Close();
    }
    std::cout << "read " << counts.read << ", added " << moved.moved - moved.changed
              << ", replaced " << moved.changed << ", too long " << counts.tooLong << ", empty "
              << counts.empty;
    if (moved.keyViolations + moved.problems > 0)
        std::cout << ", refused " << moved.keyViolations + moved.problems;
    std::cout << kEol;
    return 0;
}

} // namespace qtdb
