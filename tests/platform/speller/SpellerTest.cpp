// The spell checker's core against the real "american.vtd": lookups and case rules, the
// words the checker passes over, the user's list across a reload, damaged dictionaries, and
// suggestions for typical slips ranked where a writer expects them.
#include "platform/speller/core/Speller.h"
#include "platform/speller/core/VtdFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const spell::Dictionary& American() {
    static const spell::Dictionary d = spell::Dictionary::Load(SPELL_DICTIONARY);
    return d;
}

class SpellerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("speller-test-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // The misspelt words of `text`, in order.
    static std::vector<std::string> Unknown(const spell::Checker& c, std::string_view text) {
        std::vector<std::string> out;
        size_t from = 0;
        while (const auto m = c.NextMisspelling(text, from)) {
            out.emplace_back(text.substr(m->offset, m->length));
            from = m->offset + m->length;
        }
        return out;
    }

    fs::path dir;
};

TEST_F(SpellerTest, LooksUpWordsByTheirCaseRules) {
    const spell::Dictionary& d = American();
    for (const char* w : {"the", "The", "THE", "receive", "accommodate", "Paris", "PARIS",
                          "McDonald", "MCDONALD", "iPod", "a", "I"})
        EXPECT_TRUE(d.Contains(w)) << w;
    // A name needs its capital; a word in mixed case is no way of writing it.
    for (const char* w : {"paris", "mcdonald", "Mcdonald", "tHe", "ThE", "recieve", "teh", ""})
        EXPECT_FALSE(d.Contains(w)) << w;
    // Accented letters are Windows-1252 bytes, folded in capitals.
    EXPECT_TRUE(d.Contains("caf\xE9"));
    EXPECT_TRUE(d.Contains("CAF\xC9"));
    EXPECT_TRUE(d.Contains("Z\xFCrich"));
    EXPECT_FALSE(d.Contains("cafe\xE9"));
}

TEST_F(SpellerTest, KnowsApostrophesAndPossessives) {
    const spell::Dictionary& d = American();
    for (const char* w : {"don't", "Don't", "DON'T", "o'clock", "O'Brien", "dog's", "dogs'",
                          "Paris's", "James'", "children's", "don\x92t", "dog\x92s"})
        EXPECT_TRUE(d.Contains(w)) << w;
    for (const char* w : {"dont'", "do'nt", "dgo's", "dog'", "'s", "paris's", "dog''s"})
        EXPECT_FALSE(d.Contains(w)) << w;
}

TEST_F(SpellerTest, FindsUnknownWordsAndPassesOverNumbersAndAddresses) {
    spell::UserWords user((dir / "words.txt").string());
    spell::Checker c(American(), user);
    EXPECT_EQ(Unknown(c, "Teh cat's hat, at 10:30 on 2nd May, costs $4.50 - see "
                         "http://exmaple.com/pgae or www.exmaple.org, mail jon@exmaple.net "
                         "or <mailto:jon@exmaple.net>. Well-konwn wrods!"),
              (std::vector<std::string>{"Teh", "konwn", "wrods"}));
    // Byte ranges, and a start in the middle of a text.
    const std::string text = "A seperate \x93qoute\x94 here";
    auto m = c.NextMisspelling(text, 0);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->offset, 2u);
    EXPECT_EQ(m->length, 8u);
    m = c.NextMisspelling(text, m->offset + m->length);
    ASSERT_TRUE(m);
    EXPECT_EQ(text.substr(m->offset, m->length), "qoute");
    EXPECT_FALSE(c.NextMisspelling(text, m->offset + m->length));
    // A start inside an address still sees the address whole.
    EXPECT_FALSE(c.NextMisspelling("go to www.exmaple.com", 11));
    EXPECT_FALSE(c.NextMisspelling(text, text.size() + 5));
    EXPECT_FALSE(c.NextMisspelling("", 0));
}

TEST_F(SpellerTest, OptionsChangeWhatIsPassedOverAndWhatIsOffered) {
    spell::UserWords user((dir / "words.txt").string());
    spell::Checker c(American(), user);
    const std::string text = "QXZT sent teh mp3 at 10:30 to jon@exmaple.net";
    EXPECT_EQ(Unknown(c, text), (std::vector<std::string>{"QXZT", "teh"}));
    spell::Options o;
    o.ignoreUppercase = true;
    o.ignoreNumbers = false;
    o.ignoreAddresses = false;
    c.SetOptions(o);
    // Plain numbers are never words; an address is then words like any others.
    EXPECT_EQ(Unknown(c, text), (std::vector<std::string>{"teh", "mp3", "jon", "exmaple"}));
    EXPECT_EQ(spell::WordsOf("a 2nd b@c.de", o).size(), 5u);
    EXPECT_EQ(spell::WordsOf("a 2nd b@c.de").size(), 1u);

    auto offered = [&](const char* word, const char* split) {
        const auto s = c.Suggest(word);
        return std::find(s.begin(), s.end(), split) != s.end();
    };
    EXPECT_TRUE(offered("alot", "a lot"));
    o.suggestSplit = false;
    c.SetOptions(o);
    EXPECT_FALSE(offered("alot", "a lot"));
    EXPECT_FALSE(offered("thankyou", "thank you"));
}

TEST_F(SpellerTest, UserWordsAndIgnoredWordsAreKnown) {
    const fs::path file = dir / "sub" / "words.txt";
    {
        spell::UserWords user(file.string());
        spell::Checker c(American(), user);
        EXPECT_EQ(Unknown(c, "Quiptide rotates zorblats; frobnicate"),
                  (std::vector<std::string>{"Quiptide", "zorblats", "frobnicate"}));
        c.AddToUserWords("Quiptide");
        c.AddToUserWords("zorblat");
        c.AddToUserWords("Quiptide"); // once only
        c.IgnoreAll("frobnicate");
        EXPECT_EQ(Unknown(c, "QUIPTIDE rotates zorblat's zorblats; Frobnicate"),
                  (std::vector<std::string>{"zorblats"}));
        c.ClearIgnored();
        EXPECT_EQ(Unknown(c, "frobnicate"), (std::vector<std::string>{"frobnicate"}));
        EXPECT_THROW(user.Add("two\nlines"), spell::Error);
    }
    // The list survives a restart, one word a line, and ignored words do not.
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "Quiptide\r\nzorblat\r\n");
    spell::UserWords again(file.string());
    spell::Checker c(American(), again);
    EXPECT_EQ(Unknown(c, "Quiptide quiptide zorblat frobnicate"),
              (std::vector<std::string>{"quiptide", "frobnicate"}));
    EXPECT_TRUE(spell::UserWords((dir / "missing.txt").string()).Words().empty());
}

TEST_F(SpellerTest, OptionsAndWordsFilesSurviveARestartAndFailWithTheirName) {
    const std::string file = (dir / "sub" / "SpellOptions.txt").string();
    EXPECT_EQ(spell::LoadOptions(file), spell::Options{});
    spell::Options o;
    o.ignoreUppercase = true;
    o.suggestSplit = false;
    spell::SaveOptions(file, o);
    EXPECT_EQ(spell::LoadOptions(file), o);
    o.ignoreUppercase = false;
    spell::SaveOptions(file, o); // replaces the file whole
    EXPECT_EQ(spell::LoadOptions(file), o);
    // Damage of any kind gives the defaults; a newer file's own names are passed over.
    auto load = [&](const std::string& bytes) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        return spell::LoadOptions(file);
    };
    EXPECT_TRUE(load("IgnoreUppercase=1\r\nSpeakAloud=1\r\n").ignoreUppercase);
    for (const std::string& bad : std::vector<std::string>{
             "IgnoreUppercase=1\r\nIgnoreNumbers=yes\r\n", "IgnoreUppercase=1\r\ngarbage",
             std::string("\0\xff", 2), "IgnoreUppercase=1\n" + std::string(5000, '\n')})
        EXPECT_EQ(load(bad), spell::Options{}) << bad;

    // A file that cannot be written: the reason with its name, and the word still known.
    const fs::path words = dir / "UserWords.txt";
    fs::create_directories(words); // a folder where the list belongs
    spell::UserWords user(words.string());
    try {
        user.Add("zorblat");
        ADD_FAILURE() << "a folder was written as a file";
    } catch (const spell::Error& e) {
        EXPECT_NE(std::string(e.what()).find(words.string()), std::string::npos) << e.what();
    }
    EXPECT_TRUE(user.Contains("zorblat"));
    std::ofstream(dir / "plain") << "a file, not a folder";
    EXPECT_THROW(spell::SaveOptions((dir / "plain" / "SpellOptions.txt").string(), o),
                 spell::Error);
    // Once the file can be written, the next addition saves the word left behind too.
    fs::remove(words);
    user.Add("frobnic");
    EXPECT_EQ(spell::UserWords(words.string()).Words(),
              (std::vector<std::string>{"zorblat", "frobnic"}));
}

TEST_F(SpellerTest, DamagedDictionariesAreRefusedWithTheirName) {
    EXPECT_THROW(spell::Dictionary::Load((dir / "none.vtd").string()), spell::Error);
    spell::WordTable t;
    t.Append("apple", spell::kCommon);
    t.Append("banana", spell::kUsual);
    const std::string good = spell::EncodeVtd(t);
    EXPECT_EQ(spell::DecodeVtd(good, "x").Form(1), "banana");
    auto refused = [&](const std::string& bytes) {
        const fs::path f = dir / "bad.vtd";
        std::ofstream(f, std::ios::binary | std::ios::trunc) << bytes;
        try {
            spell::Dictionary::Load(f.string());
        } catch (const spell::Error& e) {
            return std::string(e.what()).find("bad.vtd") != std::string::npos;
        }
        return false;
    };
    for (size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_TRUE(refused(good.substr(0, cut))) << cut;
    EXPECT_TRUE(refused(good + "x"));
    std::string shared = good;
    shared[12] = 9; // shares more than the word before has
    EXPECT_TRUE(refused(shared));
    spell::WordTable backwards;
    backwards.Append("banana", spell::kUsual);
    backwards.Append("apple", spell::kCommon);
    EXPECT_TRUE(refused(spell::EncodeVtd(backwards)));
    std::string rank = good;
    rank[12 + 2 + 5] = 7;
    EXPECT_TRUE(refused(rank));
}

TEST_F(SpellerTest, SuggestsTheMeantWordFirstForCommonSlips) {
    spell::UserWords user((dir / "words.txt").string());
    spell::Checker c(American(), user);
    const std::pair<const char*, const char*> firsts[] = {
        {"teh", "the"},
        {"hte", "the"},
        {"recieve", "receive"},
        {"definately", "definitely"},
        {"seperate", "separate"},
        {"accomodate", "accommodate"},
        {"wich", "which"},
        {"thier", "their"},
        {"becuase", "because"},
        {"goverment", "government"},
        {"untill", "until"},
        {"occured", "occurred"},
        {"tommorow", "tomorrow"},
        {"wrold", "world"},
        {"thankyou", "thank you"},
        {"Teh", "The"},
        {"RECIEVE", "RECEIVE"},
        {"dgo's", "dog's"},
    };
    for (const auto& [typed, meant] : firsts) {
        const auto s = c.Suggest(typed);
        ASSERT_FALSE(s.empty()) << typed;
        EXPECT_EQ(s[0], meant) << typed;
    }
    // Among the first few: two edits away, and a name keeps its capital.
    const std::pair<const char*, const char*> near[] = {
        {"helo", "hello"}, {"alot", "a lot"}, {"paris", "Paris"}, {"acheive", "achieve"}};
    for (const auto& [typed, meant] : near) {
        const auto s = c.Suggest(typed, 5);
        EXPECT_NE(std::find(s.begin(), s.end(), meant), s.end()) << typed;
    }
    EXPECT_LE(c.Suggest("teh", 3).size(), 3u);
    EXPECT_TRUE(c.Suggest("").empty());
    // The user's own words are offered too.
    c.AddToUserWords("Quiptide");
    EXPECT_EQ(c.Suggest("Quiptdie").at(0), "Quiptide");
}

TEST_F(SpellerTest, RanksKeyboardSlipsAndApostrophesAheadOfOtherEdits) {
    spell::UserWords user((dir / "words.txt").string());
    spell::Checker c(American(), user);
    auto before = [&](const char* typed, const char* first, const char* second) {
        const auto s = c.Suggest(typed, 20);
        const auto a = std::find(s.begin(), s.end(), first);
        const auto b = std::find(s.begin(), s.end(), second);
        return a != s.end() && (b == s.end() || a < b);
    };
    // "wprd": p is next to o, so "word" beats "ward"; "cst": s is next to a.
    EXPECT_TRUE(before("wprd", "word", "ward"));
    EXPECT_TRUE(before("cst", "cat", "cot"));
    // The apostrophe a writer left out comes first.
    EXPECT_EQ(c.Suggest("dont").at(0), "don't");
    EXPECT_EQ(c.Suggest("thats").at(0), "that's");
    EXPECT_EQ(c.Suggest("Johns").at(0), "John's");
    // A short half is rather a slip within one word than two words run together.
    EXPECT_TRUE(before("tsripped", "stripped", "ts ripped"));
}

TEST_F(SpellerTest, WordsOfListsTheWordsTheCheckerLooksAt) {
    const std::string text = "It's 9am: mail a@b.org, then don\x92t stop-gap!";
    std::vector<std::string> words;
    for (const spell::Misspelling& w : spell::WordsOf(text))
        words.push_back(text.substr(w.offset, w.length));
    EXPECT_EQ(words, (std::vector<std::string>{"It's", "mail", "then", "don\x92t", "stop", "gap"}));
}

} // namespace
