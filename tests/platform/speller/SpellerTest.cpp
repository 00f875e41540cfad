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

} // namespace
