// The rotation rules built natively: the random pick's generator, the variables expanded
// as whole words, and the draft with the tagline below or on top.
#include "framework/rules/RandomPick.h"
#include "framework/rules/SignatureRules.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(RandomPick, TheGeneratorIsTheClockSeededLinearCongruence) {
    EXPECT_EQ(rules::RandomSeed(12, 34, 56, 789), 45296789u);
    EXPECT_EQ(rules::RandomSeed(23, 59, 59, 999), 86399999u);
    std::uint32_t seed = 0;
    EXPECT_EQ(rules::RandomDraw(seed, 100), 1);
    EXPECT_EQ(seed, 1u);
    EXPECT_EQ(rules::RandomDraw(seed, 100), 4); // seed 134775814: 13477581400 >> 32 = 3
    EXPECT_EQ(seed, 134775814u);
    seed = 0xFFFFFFFFu; // wraps modulo 2^32
    rules::RandomDraw(seed, 10);
    EXPECT_EQ(seed, static_cast<std::uint32_t>(0xFFFFFFFFull * 134775813ull + 1));
}

TEST(SignatureRules, OnlyWholeWordsInTheirOwnCaseAreExpanded) {
    rules::TBlankSplitter words;
    EXPECT_EQ(rules::ExpandWords("On #DATE# at #TIME#\nbye", "Dec 06, 26", "10:00", words),
              "On Dec 06, 26 at 10:00\r\nbye\r\n");
    EXPECT_EQ(rules::ExpandWords("#DATE#. #date#  #TIME#", "D", "T", words),
              "#DATE#. #date#  T\r\n")
        << "a full stop, lower case and a double blank are kept as they are";
    EXPECT_EQ(rules::ExpandWords("", "D", "T", words), "");
}

TEST(SignatureRules, TheDraftPutsTheTaglineBelowOrOnTop) {
    EXPECT_EQ(rules::ComposeDraft("Jane\r\n", "A tagline", false), "Jane\r\nA tagline");
    EXPECT_EQ(rules::ComposeDraft("Jane\r\n", "A tagline", true), "A tagline\r\nJane\r\n");
    EXPECT_EQ(rules::ComposeDraft("", "A tagline", true), "A tagline\r\n");
}

TEST(SignatureRules, TheVariableListKeepsItsNamesAndGainsTheTwoBuiltIns) {
    EXPECT_EQ(rules::VariableNames(""), (std::vector<std::string>{"#DATE#", "#TIME#"}));
    EXPECT_EQ(rules::VariableNames("#NAME#\r#TIME#"),
              (std::vector<std::string>{"#NAME#", "#TIME#", "#DATE#"}));
    EXPECT_EQ(rules::VariableListText({"#A#", "#B#"}), "#A#\r\n#B#\r\n");
}

} // namespace
