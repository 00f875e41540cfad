// Benchmarks of the table engine against SQLite on the same machine, in one run:
//   import: 100,000 distinct taglines the way the Import command brings them in (a
//           temporary unkeyed table, then an append-update batch move into a table keyed
//           by TagText), against SQLite inserting the same lines into a table with a
//           UNIQUE text column, both starting from the text file;
//   lookup: opening that table exclusively and finding one tagline by key and one row by
//           Record value, against reading the table's files once (what `cat` does);
//   post_growth, delete_growth, edit_growth: the time of one change of one row through an
//           exclusively opened cursor (as the navigator and the spell check make them) in a
//           keyed tagline table of 100,000 rows, against the same change in one of 1,000.
//   open_browse_memory: the engine's share of the window's memory: a process that opens
//           that table as the window does (exclusively, in TagText order, on its first
//           row), reads a screenful of rows and picks rows as the random change does; its
//           peak resident set, less that of a process that does nothing, over the .db's size.
// Each figure is the median of several runs; lower ratios are better.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "idapi.h"
#include "taglinedb/TaglineSchema.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Check(IdpStatus s, const char* what) {
    if (s == IDP_OK)
        return;
    char text[512];
    idpGetLastError(&s, text, sizeof text);
    std::fprintf(stderr, "%s failed: %s\n", what, text);
    std::exit(1);
}

// Distinct taglines of 3 to 12 words, some with Windows-1252 letters.
std::vector<std::string> MakeTaglines(size_t count) {
    static const char* words[] = {"the",
                                  "cat",
                                  "never",
                                  "sleeps",
                                  "caf\xE9",
                                  "\xFC"
                                  "ber",
                                  "quantum",
                                  "tea",
                                  "\xA3"
                                  "5",
                                  "don\x92t",
                                  "panic",
                                  "always",
                                  "code",
                                  "lunch",
                                  "mail",
                                  "signature",
                                  "rotates",
                                  "slowly",
                                  "under",
                                  "moon"};
    std::mt19937 rng(12345);
    std::vector<std::string> lines;
    lines.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        std::string line;
        int n = 3 + static_cast<int>(rng() % 10);
        for (int w = 0; w < n; ++w)
            line += std::string(words[rng() % 20]) + " ";
        line += std::to_string(i);
        lines.push_back(line);
    }
    std::shuffle(lines.begin(), lines.end(), rng);
    return lines;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void CreateTagTable(const std::string& path, bool keyed) {
    Check(idpCreateTable(path.c_str(), tagline::kFieldCount, tagline::kFields,
                         keyed ? tagline::kIndexCount : 0, tagline::kIndexes),
          "create");
}

// Fills a keyed tagline table the way Import does: the lines appended to a new unkeyed
// scratch table, then one append-update batch move into the new keyed table.
void ImportLines(const std::string& dir, const std::string& tags,
                 const std::vector<std::string>& lines) {
    std::string temp = dir + "/_temp.db";
    CreateTagTable(tags, true);
    CreateTagTable(temp, false);
    IdpCursor t = nullptr;
    Check(idpOpenTable(temp.c_str(), IDP_OPEN_SHARED, &t), "open temp");
    for (const std::string& line : lines) {
        Check(idpAppend(t), "append");
        Check(idpSetString(t, 1, line.c_str()), "set");
        Check(idpPost(t), "post");
    }
    Check(idpCloseTable(t), "close temp");
    IdpCursor src = nullptr, dst = nullptr;
    Check(idpOpenTable(temp.c_str(), IDP_OPEN_SHARED, &src), "open temp");
    Check(idpOpenTable(tags.c_str(), IDP_OPEN_EXCLUSIVE, &dst), "open tags");
    IdpMoveCounts counts{};
    Check(idpBatchMove(src, dst, IDP_MOVE_APPEND_UPDATE, "DuplicateTags", "ProblemTags",
                       "ChangedTags", 0, 0, &counts),
          "batch move");
    Check(idpCloseTable(src), "close");
    Check(idpCloseTable(dst), "close");
}

void EngineImport(const std::string& dir, const std::string& textFile) {
    ImportLines(dir, dir + "/Tags.db", ReadLines(textFile));
}

void SqliteImport(const std::string& dir, const std::string& textFile) {
    std::string path = dir + "/tags.sqlite";
    std::remove(path.c_str());
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE Tags(TagText TEXT UNIQUE, Record INTEGER PRIMARY KEY)", nullptr,
                 nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO Tags(TagText) VALUES(?)", -1, &insert, nullptr);
    for (const std::string& line : ReadLines(textFile)) {
        sqlite3_bind_text(insert, 1, line.data(), static_cast<int>(line.size()), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

size_t ReadOnce(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return 0;
    static std::vector<char> buffer(128 * 1024);
    size_t total = 0;
    for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;)
        total += static_cast<size_t>(n);
    ::close(fd);
    return total;
}

void EngineLookup(const std::string& dir, const std::string& tagline, int32_t record) {
    IdpCursor c = nullptr;
    Check(idpOpenTable((dir + "/Tags.db").c_str(), IDP_OPEN_EXCLUSIVE, &c), "open");
    uint16_t found = 0;
    Check(idpSetIndexByFields(c, "TagText"), "index");
    Check(idpSetKey(c), "key");
    Check(idpSetString(c, 1, tagline.c_str()), "key value");
    Check(idpGotoKey(c, &found), "goto");
    if (!found)
        std::exit(2);
    Check(idpSetIndexByFields(c, "Record"), "index");
    Check(idpSetKey(c), "key");
    Check(idpSetInteger(c, 2, record), "key value");
    Check(idpGotoKey(c, &found), "goto");
    if (!found)
        std::exit(3);
    char text[300];
    Check(idpGetString(c, 1, text, sizeof text, nullptr, nullptr), "read");
    Check(idpCloseTable(c), "close");
}

// The files of a table, for copying a starting table before each run.
void CopyTable(const std::string& from, const std::string& to) {
    namespace fs = std::filesystem;
    for (const char* ext : {".db", ".px", ".qix"})
        fs::copy_file(from + ext, to + ext, fs::copy_options::overwrite_existing);
}

struct Growth {
    double first = 0; // the first change after opening, which builds the key maps
    double each = 0;  // a change after that
};

// Makes `count` changes of one kind on a fresh copy of a starting table, opened
// exclusively; the median of several runs.
Growth MeasureChanges(const std::string& dir, const std::string& start, int count,
                      const std::function<void(IdpCursor, int)>& change) {
    std::vector<double> first, each;
    for (int run = 0; run < 7; ++run) {
        std::string copy = dir + "/Growth";
        CopyTable(start, copy);
        IdpCursor c = nullptr;
        Check(idpOpenTable((copy + ".db").c_str(), IDP_OPEN_EXCLUSIVE, &c), "open");
        first.push_back(Seconds([&] { change(c, 0); }));
        each.push_back(Seconds([&] {
                           for (int i = 1; i < count; ++i)
                               change(c, i);
                       }) /
                       (count - 1));
        Check(idpCloseTable(c), "close");
    }
    return {Median(first), Median(each)};
}

void PostNew(IdpCursor c, int i) {
    Check(idpAppend(c), "append");
    Check(idpSetString(c, 1, ("zz posted tagline " + std::to_string(i)).c_str()), "set");
    Check(idpPost(c), "post");
}

// Goes to a random row of the current order, as a click in the tagline list does.
void GoToSomeRow(IdpCursor c, std::mt19937& rng) {
    uint32_t rows = 0;
    Check(idpGetRecordCount(c, &rows), "count");
    Check(idpSetSeqNo(c, 1 + static_cast<uint32_t>(rng() % rows)), "position");
}

void ReportGrowth(const char* name, const char* what, const Growth& small, const Growth& large) {
    std::printf("%s ratio=%.2f (goal <= 3)  per %s %.1f us at 1,000 rows, %.1f us at 100,000 rows "
                "(the first after opening %.2f ms, %.2f ms)\n",
                name, large.each / small.each, what, small.each * 1e6, large.each * 1e6,
                small.first * 1e3, large.first * 1e3);
}

void ChangeGrowth(const std::string& dir, const std::vector<std::string>& lines) {
    const std::string small = dir + "/Start1k", large = dir + "/Start100k";
    ImportLines(dir, small + ".db", std::vector<std::string>(lines.begin(), lines.begin() + 1000));
    ImportLines(dir, large + ".db", lines);
    const int posts = 2000, deletes = 300, edits = 1000;
    std::mt19937 rng(777);
    auto erase = [&](IdpCursor c, int) {
        GoToSomeRow(c, rng);
        Check(idpDelete(c), "delete");
    };
    auto edit = [&](IdpCursor c, int i) {
        GoToSomeRow(c, rng);
        Check(idpEdit(c), "edit");
        Check(idpSetString(c, 1, ("zz edited tagline " + std::to_string(i)).c_str()), "set");
        Check(idpPost(c), "post");
    };
    // One after the other: arguments of one call may be worked out in any order.
    Growth postSmall = MeasureChanges(dir, small, posts, PostNew);
    Growth postLarge = MeasureChanges(dir, large, posts, PostNew);
    ReportGrowth("post_growth", "post", postSmall, postLarge);
    Growth deleteSmall = MeasureChanges(dir, small, deletes, erase);
    Growth deleteLarge = MeasureChanges(dir, large, deletes, erase);
    ReportGrowth("delete_growth", "delete", deleteSmall, deleteLarge);
    Growth editSmall = MeasureChanges(dir, small, edits, edit);
    Growth editLarge = MeasureChanges(dir, large, edits, edit);
    ReportGrowth("edit_growth", "edit", editSmall, editLarge);
}

// The peak resident set of this process image (VmHWM: it starts afresh at exec, unlike
// the peak the kernel reports to a parent, which counts what the process was forked from).
double PeakBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) * 1024;
    return 0;
}

// Opens a table as the window does and browses it; with no table, does nothing.
void Browse(const char* table) {
    if (!table)
        return;
    IdpCursor c = nullptr;
    Check(idpOpenTable(table, IDP_OPEN_EXCLUSIVE, &c), "open");
    Check(idpSetIndexByFields(c, "TagText"), "index");
    char text[300];
    Check(idpFirst(c), "first");
    for (int i = 0; i < 40 && idpNext(c) == IDP_OK; ++i) // a screenful of the list
        Check(idpGetString(c, 1, text, sizeof text, nullptr, nullptr), "read");
    std::mt19937 rng(99);
    Check(idpSetIndexByFields(c, "Record"), "index");
    for (int i = 0; i < 10; ++i) { // random changes of the tagline
        GoToSomeRow(c, rng);
        Check(idpGetString(c, 1, text, sizeof text, nullptr, nullptr), "read");
    }
    Check(idpCloseTable(c), "close");
}

double ChildPeak(const std::string& self, const std::string& table) {
    FILE* child = ::popen(("'" + self + "' --browse " + table).c_str(), "r");
    double peak = 0;
    if (!child || std::fscanf(child, "%lf", &peak) != 1)
        std::exit(4);
    ::pclose(child);
    return peak;
}

void BrowseMemory(const std::string& self, const std::string& table) {
    std::vector<double> browsing, idle;
    for (int i = 0; i < 3; ++i) {
        browsing.push_back(ChildPeak(self, table));
        idle.push_back(ChildPeak(self, ""));
    }
    const double engine = Median(browsing) - Median(idle);
    const double size = static_cast<double>(std::filesystem::file_size(table));
    std::printf("open_browse_memory ratio=%.2f (the engine's share of the window's figure "
                "memory_100k, goal <= 1.0)  %.1f MB over an idle process, the .db %.1f MB\n",
                engine / size, engine / 1048576, size / 1048576);
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--browse") {
        Browse(argc > 2 ? argv[2] : nullptr);
        std::printf("%.0f\n", PeakBytes());
        return 0;
    }
    std::string dir = argc > 1 ? argv[1] : "build/bench/work";
    std::string textFile = dir + "/taglines.txt";
    {
        std::ofstream out(textFile, std::ios::binary);
        for (const std::string& line : MakeTaglines(100000))
            out << line << "\r\n";
    }
    const int runs = 5;
    std::vector<double> engine, sqlite;
    for (int i = 0; i < runs; ++i) {
        engine.push_back(Seconds([&] { EngineImport(dir, textFile); }));
        sqlite.push_back(Seconds([&] { SqliteImport(dir, textFile); }));
    }
    double e = Median(engine), s = Median(sqlite);
    std::printf("import ratio=%.2f (goal <= 1.0)  engine %.3f s, sqlite3 %.3f s\n", e / s, e, s);

    std::vector<std::string> lines = ReadLines(textFile);
    const std::string& probe = lines[lines.size() / 3];
    std::vector<double> lookup, cat;
    for (int i = 0; i < 9; ++i) {
        cat.push_back(Seconds([&] {
            ReadOnce(dir + "/Tags.db");
            ReadOnce(dir + "/Tags.px");
            ReadOnce(dir + "/Tags.qix"); // the engine names companions in the case of the .db
        }));
        lookup.push_back(Seconds([&] { EngineLookup(dir, probe, 77777); }));
    }
    double l = Median(lookup), c = Median(cat);
    std::printf("lookup ratio=%.2f (goal <= 3.0)  engine %.4f s, reading the files %.4f s\n", l / c,
                l, c);
    BrowseMemory(std::filesystem::canonical("/proc/self/exe").string(), dir + "/Tags.db");
    ChangeGrowth(dir, lines);
    return 0;
}
