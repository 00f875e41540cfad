// qtdb import: taglines from text files (one a line, or fortune files) into a tagline
// table, by the rules of the program's Import Text File: cut to 255 characters, leading
// blanks kept, a tagline already there replaced by its twin.
#include "qtdb/Commands.h"
#include "qtdb/Engine.h"
#include "qtdb/Progress.h"

#include "framework/text/TextLines.h"
#include "taglinedb/TaglineSchema.h"

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

// Fortune entries: the lines between lines holding only "%", joined with CR LF.
std::vector<std::string> FortuneEntries(const std::string& text) {
    std::vector<std::string> entries;
    std::string entry;
    bool open = false;
    for (const std::string& line : fw::SplitLines(text)) {
        if (line == "%") {
            entries.push_back(entry);
            entry.clear();
            open = false;
            continue;
        }
        entry += (open ? "\r\n" : "") + line;
        open = true;
    }
    if (open)
        entries.push_back(entry);
    return entries;
}

// The taglines of one file, counted as read, too long or empty.
void Gather(const Options& o, const std::string& file, std::vector<std::string>& tags,
            Counts& counts) {
    std::vector<std::string> entries;
    {
        const std::string text = InputText(ReadInput(file), o.encoding, file);
        entries = o.fortune ? FortuneEntries(text) : fw::SplitLines(text);
    }
    // Each entry becomes its tagline in place, so the lines are held once.
    for (std::string& entry : entries) {
        ++counts.read;
        std::string tag = o.fortune ? std::move(entry) : UnescapeLineBreaks(entry);
        entry = std::string();
        if (tag.empty()) {
            ++counts.empty;
            continue;
        }
        if (tag.size() > kTagLength) {
            ++counts.tooLong;
            // A fortune is a whole saying: cut, it would no longer be one.
            if (o.fortune)
                continue;
            tag.resize(kTagLength);
        }
        tags.push_back(std::move(tag));
    }
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
    std::vector<std::string> tags;
    Counts counts;
    // Every file is read before the table is touched: one that cannot be read, or is no
    // text, changes nothing.
    for (size_t i = 1; i < o.operands.size(); ++i)
        Gather(o, o.operands[i], tags, counts);
    if (!std::filesystem::exists(table))
        CreateTaglineTable(table);

    Scratch scratch;
    {
        Cursor rows(scratch.Path(), true);
        uint16_t field = 0;
        rows.Check(idpFindField(rows.Handle(), "TagText", &field));
        Progress bar("importing", tags.size());
        for (size_t i = 0; i < tags.size(); ++i) {
            rows.Check(idpAppend(rows.Handle()));
            rows.Check(idpSetString(rows.Handle(), field, tags[i].c_str()));
            rows.Check(idpPost(rows.Handle()));
            bar.Step(i + 1);
        }
        rows.Close();
    }
    std::vector<std::string>().swap(tags); // in the scratch table now
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
