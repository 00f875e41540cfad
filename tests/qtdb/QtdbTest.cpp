// qtdb run as scripts run it, natively: every command's output and exit status, the
// round trips of export and import, fortune files that strfile accepts, and bad input
// that gets one line on standard error and changes nothing.
#include "idapi.h"
#include "QuiptideVersion.h"
#include "qtdb/Engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out, err;
};

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

class QtdbTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("qtdb-test-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs qtdb in the scratch folder; stdin from `input` when given.
    Result Qtdb(const std::string& args, const std::string& input = {}) {
        const fs::path in = dir / "stdin.txt", out = dir / "stdout.txt", err = dir / "stderr.txt";
        Put(in, input);
        // The user's own folder is the scratch folder's, never the real one.
        const std::string command = "cd '" + dir.string() + "' && XDG_CONFIG_HOME='" +
                                    (dir / "config").string() + "' '" QTDB_PATH "' " + args +
                                    " <'" + in.string() + "' >'" + out.string() + "' 2>'" +
                                    err.string() + "'";
        Result r;
        const int status = std::system(command.c_str());
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Slurp(out);
        r.err = Slurp(err);
        return r;
    }
    fs::path dir;
};

TEST_F(QtdbTest, CreateRefusesToReplaceATableUnlessForced) {
    EXPECT_EQ(Qtdb("create tags.db").status, 0);
    Qtdb("import tags.db -", "kept\n");
    Result again = Qtdb("create tags.db");
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err,
              "qtdb: tags.db: already exists; --force replaces it with an empty table\n");
    EXPECT_EQ(Qtdb("export tags.db").out, "kept\n");
    EXPECT_EQ(Qtdb("create --force tags.db").status, 0);
    EXPECT_EQ(Qtdb("export tags.db").out, "");
}

TEST_F(QtdbTest, ImportCountsWhatItReadAddedReplacedCutAndSkipped) {
    Put(dir / "a.txt", "one\rtwo\r\n\nthree\n" + std::string(300, 'x') + "\nno final break");
    Result first = Qtdb("import tags.db a.txt");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "read 6, added 5, replaced 0, too long 1, empty 1\n");
    Result second = Qtdb("import tags.db a.txt -", "one\nfour\n");
    EXPECT_EQ(second.out, "read 8, added 1, replaced 6, too long 1, empty 1\n")
        << "duplicates in the files and against the table replace their twins";
    EXPECT_EQ(Qtdb("export tags.db").out,
              "four\nno final break\none\nthree\ntwo\n" + std::string(255, 'x') + "\n");
}

TEST_F(QtdbTest, ExportAndImportGiveTheSameTaglinesBack) {
    Put(dir / "a.txt", "\xEF\xBB\xBF"
                       "caf\xC3\xA9\nline one\\nline two\nC:\\\\path\n  indented\n");
    ASSERT_EQ(Qtdb("import tags.db a.txt").status, 0);
    Result exported = Qtdb("export tags.db out.txt");
    ASSERT_EQ(exported.status, 0) << exported.err;
    const std::string once = Slurp(dir / "out.txt");
    EXPECT_EQ(once, "  indented\nC:\\\\path\ncaf\xE9\nline one\\nline two\n");
    ASSERT_EQ(Qtdb("import copy.db out.txt").status, 0);
    EXPECT_EQ(Qtdb("export copy.db").out, once);
    EXPECT_EQ(Qtdb("export copy.db --encoding utf-8").out,
              "  indented\nC:\\\\path\ncaf\xC3\xA9\nline one\\nline two\n");
}

TEST_F(QtdbTest, FortuneFilesComeInAndGoOutAsStrfileReadsThem) {
    const fs::path fortunes = "/usr/share/games/fortunes/fortunes";
    ASSERT_TRUE(fs::exists(fortunes)) << "the package fortunes-min";
    Result in = Qtdb("import --fortune tags.db " + fortunes.string() + " --encoding utf-8");
    ASSERT_EQ(in.status, 0) << in.err;
    EXPECT_EQ(in.out.rfind("read ", 0), 0u);
    Result out = Qtdb("export --fortune tags.db out --encoding utf-8");
    ASSERT_EQ(out.status, 0) << out.err;
    const std::string strfile = "strfile -s '" + (dir / "out").string() + "' '" +
                                (dir / "out.dat").string() + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(strfile.c_str()), 0);
    // A multi-line saying stays one tagline and comes out as one entry.
    Put(dir / "two.txt",
        "first line\nsecond line\n%\nshort\n%\n" + std::string(300, 'y') + "\n%\n");
    Result two = Qtdb("import --fortune two.db two.txt");
    EXPECT_EQ(two.out, "read 3, added 2, replaced 0, too long 1, empty 0\n");
    EXPECT_EQ(Qtdb("export two.db").out, "first line\\nsecond line\nshort\n");
    EXPECT_EQ(Qtdb("export --fortune two.db").out, "first line\nsecond line\n%\nshort\n%\n");
}

TEST_F(QtdbTest, RandomAndSignComposeAsTheProgramDoes) {
    Qtdb("import tags.db -", "the only tagline\n");
    EXPECT_EQ(Qtdb("random tags.db").out, "the only tagline\n");
    Put(dir / "body.txt", "Jane Doe\r\n#DATE# #date#\n");
    Result below = Qtdb("sign body.txt tags.db --date-format yyyy");
    ASSERT_EQ(below.status, 0) << below.err;
    const std::string year = below.out.substr(9, 4);
    EXPECT_EQ(below.out, "Jane Doe\n" + year + " #date#\nthe only tagline\n");
    EXPECT_EQ(Qtdb("sign body.txt tags.db --top --date-format yyyy").out,
              "the only tagline\nJane Doe\n" + year + " #date#\n");
    EXPECT_EQ(Qtdb("random empty.db").status, 1);
    Qtdb("create empty.db");
    EXPECT_EQ(Qtdb("random empty.db").err, "qtdb: empty.db: holds no taglines\n");
}

TEST_F(QtdbTest, ShuffleShowsEveryTaglineOnceARoundKeptSafelyAndFindListsTheMatches) {
    const std::set<std::string> all{"Apple pie", "banana split", "Cherry APPLE tart", "plain"};
    Qtdb("import tags.db -", "plain\nCherry APPLE tart\nbanana split\nApple pie\n");
    Put(dir / "body.txt", "Jane Doe\n");
    std::string last;
    for (int round = 0; round < 3; ++round) {
        std::set<std::string> shown;
        for (int i = 0; i < 4; ++i) {
            // sign keeps the same round as random.
            Result r =
                Qtdb(i == 2 ? "sign --shuffle body.txt tags.db" : "random tags.db --shuffle");
            ASSERT_EQ(r.status, 0) << r.err;
            std::string tagline = r.out.substr(i == 2 ? 9 : 0);
            tagline.pop_back();
            if (i == 0) {
                EXPECT_NE(tagline, last) << "a round begins with another tagline";
            }
            shown.insert(last = tagline);
        }
        EXPECT_EQ(shown, all) << "round " << round;
    }
    // Mail readers asking at once: the round is whole afterwards, with nothing left over.
    const fs::path config = dir / "config" / "quiptide";
    std::string at_once = "cd '" + dir.string() +
                          "' && for i in 1 2 3 4 5 6; do XDG_CONFIG_HOME='" +
                          (dir / "config").string() +
                          "' '" QTDB_PATH "' random --shuffle tags.db >/dev/null & done; wait";
    ASSERT_EQ(std::system(at_once.c_str()), 0);
    std::vector<fs::path> kept(fs::directory_iterator(config), {});
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].filename().string().substr(0, 6), "round-");
    EXPECT_EQ(fs::file_size(kept[0]),
              8 + 4 + fs::canonical(dir / "tags.db").string().size() + 4 + 4 + 8 + 4);
    // A damaged round starts a new one, silently.
    Put(kept[0], "damaged");
    Result fresh = Qtdb("random --shuffle tags.db");
    EXPECT_EQ(fresh.status, 0);
    EXPECT_EQ(fresh.err, "");

    struct {
        const char* text;
        const char* out;
        int status;
    } finds[] = {{"apple", "Apple pie\nCherry APPLE tart\n", 0},
                 {"PLAIN", "plain\n", 0},
                 {"a", "Apple pie\nbanana split\nCherry APPLE tart\nplain\n", 0},
                 {"kiwi", "", 1}};
    for (const auto& f : finds) {
        Result r = Qtdb(std::string("find tags.db ") + f.text);
        EXPECT_EQ(r.out, f.out) << f.text;
        EXPECT_EQ(r.status, f.status) << f.text;
    }
    EXPECT_EQ(Qtdb("find tags.db").err, "qtdb: find: needs a TABLE and a TEXT\n");
}

TEST_F(QtdbTest, StatsTellsTheTablesShape) {
    Qtdb("import tags.db -", "a\nb\n");
    const std::string s = Qtdb("stats tags.db").out;
    EXPECT_NE(s.find("rows       2\n"), std::string::npos) << s;
    EXPECT_NE(s.find("fields     2: TagText alpha 255, Record autoincrement\n"), std::string::npos);
    EXPECT_NE(s.find("keyed      yes, on 1 field(s)\n"), std::string::npos);
    EXPECT_NE(s.find("indexes    2: Tag on TagText, RecNo on Record\n"), std::string::npos);
    EXPECT_NE(s.find("code page  cp1252 (1252)\n"), std::string::npos);
    EXPECT_NE(s.find(" tags.db "), std::string::npos);
    // Only the table's own files, not others that share its name.
    Put(dir / "tags.hlp", "help");
    Put(dir / "TAGS.MB", "memo");
    const std::string files = Qtdb("stats tags.db").out;
    const std::string line = files.substr(files.find("files"));
    for (const char* own : {" tags.db ", " tags.px ", " tags.qix ", " TAGS.MB "})
        EXPECT_NE(line.find(own), std::string::npos) << own << " in " << line;
    EXPECT_EQ(line.find("tags.hlp"), std::string::npos) << line;
}

TEST_F(QtdbTest, BadInputGetsOneLineNamingTheFileAndChangesNothing) {
    Qtdb("import tags.db -", "kept\n");
    auto failure = [&](const std::string& args, const std::string& message) {
        Result r = Qtdb(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.err, "qtdb: " + message + "\n") << args;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line";
    };
    Put(dir / "program", std::string("\x7f"
                                     "ELF\0\0\0",
                                     7));
    failure("import tags.db program",
            "program: not a text file (it holds NUL bytes); nothing was imported");
    failure("import tags.db missing.txt",
            "missing.txt: cannot be read (No such file or directory)");
    failure("export tags.db no/such/folder/out.txt",
            "no/such/folder/out.txt: cannot be written (No such file or directory)");
    failure("frobnicate", "frobnicate: unknown command (qtdb --help lists them)");
    failure("export tags.db --colour", "--colour: unknown option (qtdb --help lists them)");
    EXPECT_EQ(Qtdb("export tags.db").out, "kept\n");
    EXPECT_EQ(Qtdb("--version").out.rfind("qtdb ", 0), 0u);
    EXPECT_EQ(Qtdb("--help").status, 0);
}

TEST_F(QtdbTest, ATableHeldByTheProgramIsRefusedAndADamagedOneExportsWhatItCan) {
    std::string many;
    for (int i = 0; i < 3000; ++i)
        many += "tagline number " + std::to_string(i) + "\n";
    Qtdb("import tags.db -", many);
    {
        // The program holds its table exclusively.
        IdpCursor held = nullptr;
        ASSERT_EQ(idpOpenTable((dir / "tags.db").c_str(), IDP_OPEN_EXCLUSIVE, &held), IDP_OK);
        Result r = Qtdb("import tags.db -", "more\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("tags.db: Table is locked"), std::string::npos) << r.err;
        idpCloseTable(held);
    }
    fs::resize_file(dir / "tags.db", fs::file_size(dir / "tags.db") / 3);
    Result r = Qtdb("export tags.db out.txt");
    EXPECT_EQ(r.status, 1);
    const std::string out = Slurp(dir / "out.txt");
    const auto lines = std::count(out.begin(), out.end(), '\n');
    EXPECT_GT(lines, 0);
    EXPECT_LT(lines, 3000);
    EXPECT_EQ(r.err, "qtdb: tags.db: " + std::to_string(3000 - lines) +
                         " of 3000 taglines could not be read; the others were exported\n");
}

// The pick reads one block of the table, and every row still comes up as often as any
// other whatever the blocks hold: a table whose blocks are filled unevenly, drawn from
// consecutive seeds as the clock gives them.
TEST_F(QtdbTest, RandomDrawsEveryRowAlikeFromUnevenBlocks) {
    const std::string table = (dir / "tags.db").string();
    qtdb::CreateTaglineTable(table);
    {
        IdpCursor c = nullptr;
        ASSERT_EQ(idpOpenTable(table.c_str(), IDP_OPEN_EXCLUSIVE, &c), IDP_OK);
        auto add = [c](const std::string& text) {
            idpAppend(c);
            idpSetString(c, 1, text.c_str());
            return idpPost(c);
        };
        for (int i = 10; i < 55; ++i) // three full blocks
            ASSERT_EQ(add(std::string(1, 't').append(std::to_string(i))), IDP_OK);
        ASSERT_EQ(add("t12a"), IDP_OK); // splits the first block
        uint16_t found = 0;
        idpSetKey(c);
        idpSetString(c, 1, "t31");
        ASSERT_EQ(idpGotoKey(c, &found), IDP_OK);
        for (int i = 0; i < 9; ++i) // most of the second block
            ASSERT_EQ(idpDelete(c), IDP_OK);
        ASSERT_EQ(idpCloseTable(c), IDP_OK);
    }
    const std::string db = Slurp(table);
    auto u16 = [&db](size_t at) {
        return static_cast<uint16_t>(uint8_t(db[at]) | uint8_t(db[at + 1]) << 8);
    };
    std::set<int> fills;
    const size_t block = size_t{uint8_t(db[5])} * 1024;
    for (size_t at = u16(2); at + block <= db.size(); at += block)
        fills.insert(static_cast<int16_t>(u16(at + 4)) / u16(0) + 1);
    EXPECT_GE(fills.size(), 3u) << "the blocks are not filled unevenly";
    const int rows = 37, each = 100;
    std::map<std::string, int> drawn;
    for (uint32_t seed = 0; seed < rows * each; ++seed)
        ++drawn[qtdb::RandomTagline(table, seed)];
    EXPECT_EQ(drawn.size(), size_t{rows});
    for (const auto& [text, times] : drawn) {
        EXPECT_GT(times, each * 7 / 10) << text;
        EXPECT_LT(times, each * 13 / 10) << text;
    }
}

TEST_F(QtdbTest, SpellSpeaksIspellsPipeProtocol) {
    // One answer a word, a blank line a line; numbers and addresses are no words.
    Result r = Qtdb("spell -a --personal words.txt", "Teh dog's bone, 3 times www.exmaple.com\n"
                                                     "^*not a command\n"
                                                     "xqzvbnw\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "@(#) International Ispell Version 3.1.20 (but really qtdb " QUIPTIDE_VERSION ")");
    const std::string body = r.out.substr(r.out.find('\n') + 1);
    EXPECT_EQ(body.substr(0, body.find('\n')).rfind("& Teh 10 0: The, ", 0), 0u) << body;
    EXPECT_EQ(body.substr(body.find('\n')), "\n+ dog\n*\n*\n\n*\n*\n*\n\n# xqzvbnw 0\n\n")
        << "\"dog's\" is known as the possessive of \"dog\"; \"^\" makes the rest text";
}

TEST_F(QtdbTest, SpellKeepsTheUsersWordsAndTerseMode) {
    Result add = Qtdb("spell --personal sub/words.txt",
                      "*Quiptide\n&Zorblat\n@frobnicate\n!\nQuiptide zorblat frobnicate wrold\n"
                      "%\nQuiptide\n#\n");
    ASSERT_EQ(add.status, 0) << add.err;
    const std::string body = add.out.substr(add.out.find('\n') + 1);
    EXPECT_EQ(body.substr(0, body.find(':')), "& wrold 10 28") << body;
    EXPECT_EQ(body.substr(body.find("\n\n")), "\n\n*\n\n");
    EXPECT_EQ(Slurp(dir / "sub" / "words.txt"), "Quiptide\r\nzorblat\r\n");
    // The list is there on the next run; the ignored word is not.
    Result again = Qtdb("spell --personal sub/words.txt", "Quiptide frobnicate\n");
    EXPECT_EQ(again.out.substr(again.out.find('\n') + 1, 4), "*\n& ");
    // The UTF-8 of a terminal in, and out again in the suggestions.
    Result utf8 = Qtdb("spell --encoding utf-8", "caf\xC3\xA9s cafr\xC3\xA9\n");
    EXPECT_NE(utf8.out.find("*\n& cafr\xC3\xA9 "), std::string::npos) << utf8.out;
    EXPECT_NE(utf8.out.find("caf\xC3\xA9"), std::string::npos);
    // The options the spell-check control keeps: words with digits checked after all.
    auto answers = [&](const std::string& text) {
        const std::string out = Qtdb("spell", text).out;
        return out.substr(out.find('\n') + 1);
    };
    EXPECT_EQ(answers("b4 me\n"), "*\n\n");
    fs::create_directories(dir / "config" / "quiptide");
    Put(dir / "config" / "quiptide" / "spelloptions.txt", "IgnoreNumbers=0\r\n");
    EXPECT_EQ(answers("b4 me\n").substr(0, 5), "& b4 ");
    Result missing = Qtdb("spell --dictionary none.vtd", "word\n");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "qtdb: none.vtd: the dictionary cannot be opened\n");
}

TEST_F(QtdbTest, VerifyExitsWithTheLevelAndRebuildRepairsKeepingTheBackup) {
    Qtdb("import tags.db -", "a\nb\nc\n");
    Result clean = Qtdb("verify tags.db");
    EXPECT_EQ(0, clean.status);
    EXPECT_EQ("", clean.out);
    std::string db = Slurp(dir / "tags.db");
    db[6] = 9; // the header's record count
    Put(dir / "tags.db", db);
    Result damaged = Qtdb("verify tags.db");
    EXPECT_EQ(1, damaged.status);
    EXPECT_EQ(0u, damaged.out.find("1 101 ")) << damaged.out;
    Result rebuilt = Qtdb("rebuild tags.db");
    EXPECT_EQ(0, rebuilt.status) << rebuilt.err;
    EXPECT_NE(rebuilt.out.find("rows kept       3\n"), std::string::npos) << rebuilt.out;
    EXPECT_EQ(db, Slurp(dir / "tags_.db"));
    EXPECT_EQ(0, Qtdb("verify tags.db").status);
    Put(dir / "junk.db", "not a table at all");
    Result junk = Qtdb("verify junk.db");
    EXPECT_EQ(4, junk.status);
    EXPECT_EQ(1, Qtdb("rebuild junk.db").status); // refused with a message
    EXPECT_EQ("not a table at all", Slurp(dir / "junk.db"));
}

} // namespace
