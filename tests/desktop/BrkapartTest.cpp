#include "desktop/Brkapart.h"

#include <gtest/gtest.h>

namespace {

using Pieces = std::vector<std::string>;

Pieces SplitOf(const std::string& text, const std::string& sep, bool allowEmpty) {
    TBrkApart b(nullptr);
    b.BreakString = sep;
    b.AllowEmptyString = allowEmpty;
    b.BaseString = text;
    b.Split();
    return b.StringList();
}

std::string RoundTrip(const std::string& text, const std::string& sep, bool allowEmpty) {
    TBrkApart b(nullptr);
    b.BreakString = sep;
    b.AllowEmptyString = allowEmpty;
    b.BaseString = text;
    b.Split();
    b.BaseString = "stale";
    b.Join();
    return b.BaseString;
}

TEST(Brkapart, EmptyPiecesKeptGiveTheInputBackExactly) {
    EXPECT_EQ(SplitOf("a  b", " ", true), (Pieces{"a", "", "b"}));
    EXPECT_EQ(SplitOf("a ", " ", true), (Pieces{"a", ""}));
    EXPECT_EQ(SplitOf(" a", " ", true), (Pieces{"", "a"}));
    for (const char* line : {"a  b", "a ", " a", "   ", "#DATE#  at  #TIME# ", ""})
        EXPECT_EQ(RoundTrip(line, " ", true), line) << '"' << line << '"';
}

TEST(Brkapart, EmptyPiecesDroppedCollapseSeparators) {
    EXPECT_EQ(SplitOf("a  b", " ", false), (Pieces{"a", "b"}));
    EXPECT_EQ(RoundTrip("a  b", " ", false), "a b");
    EXPECT_EQ(SplitOf("", " ", false), Pieces{});
    EXPECT_EQ(SplitOf("", " ", true), Pieces{""});
}

TEST(Brkapart, SeparatorsAreMatchedExactlyAndCaseSensitively) {
    EXPECT_EQ(SplitOf("one--two--three", "--", true), (Pieces{"one", "two", "three"}));
    EXPECT_EQ(SplitOf("one-two", "--", true), (Pieces{"one-two"}));
    EXPECT_EQ(SplitOf("whole text", "", true), (Pieces{"whole text"}));
    EXPECT_EQ(SplitOf("xAxax", "a", true), (Pieces{"xAx", "x"}));
}

TEST(Brkapart, JoinOfChangedPiecesAndOfEmptyLists) {
    TBrkApart b(nullptr);
    b.BreakString = " ";
    b.AllowEmptyString = true;
    b.BaseString = "Sent  #DATE# ";
    b.Split();
    b.StringList()[2] = "Dec 07, 26";
    b.Join();
    EXPECT_EQ(b.BaseString, "Sent  Dec 07, 26 ");

    b.SetStringList({});
    b.Join();
    EXPECT_EQ(b.BaseString, "");
    b.SetStringList({""});
    b.Join();
    EXPECT_EQ(b.BaseString, "");

    b.AllowEmptyString = false;
    b.SetStringList({"", "a", "", "b"});
    b.Join();
    EXPECT_EQ(b.BaseString, " a b"); // the first piece is always taken
}

} // namespace
