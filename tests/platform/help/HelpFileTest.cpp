// The help file format: parsing, text layout, the keyword index, every rule's error
// message, hostile input, and the help file we ship.
#include "platform/help/HelpFile.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using help::HelpError;
using help::HelpFile;

namespace {

const std::string Header = "QUIPTIDE HELP 1\n";

std::string ErrorOf(const std::string& source) {
    try {
        HelpFile::Parse(source);
    } catch (const HelpError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(HelpFile, TopicsWithTheirDirectives) {
    HelpFile file = HelpFile::Parse(Header + "; comment\r\n"
                                             ".topic first\r\n"
                                             ".title First Topic\r\n"
                                             ".context 5\r\n"
                                             ".context 4294967295\r\n"
                                             ".keywords alpha; Beta ;; \r\n"
                                             "Body.\r\n"
                                             ".topic second-2_b\n"
                                             ".title  Second  \n"
                                             ".keywords alpha\n");
    ASSERT_EQ(file.Topics().size(), 2u);
    const help::Topic& first = file.Contents();
    EXPECT_EQ(first.id, "first");
    EXPECT_EQ(first.title, "First Topic");
    EXPECT_EQ(first.contexts, (std::vector<std::uint32_t>{5, 4294967295u}));
    EXPECT_EQ(first.keywords, (std::vector<std::string>{"alpha", "Beta"}));
    EXPECT_EQ(first.text, "Body.");
    EXPECT_EQ(file.Topics()[1].title, "Second");
    EXPECT_EQ(file.Topics()[1].text, "");
    EXPECT_EQ(file.FindContext(5), 0u);
    EXPECT_EQ(file.FindContext(4294967295u), 0u);
    EXPECT_FALSE(file.FindContext(6).has_value());
}

TEST(HelpFile, BodyLayout) {
    HelpFile file = HelpFile::Parse(Header + ".topic t\n.title T\n"
                                             "\n"
                                             "One paragraph\n"
                                             "  written on two lines.\n"
                                             "\n\n\n"
                                             "Next paragraph.\n"
                                             "- item one\n"
                                             "continued\n"
                                             "- item two\n"
                                             "  kept   as is\n"
                                             "\n");
    EXPECT_EQ(file.Contents().text, "One paragraph\r\n"
                                    "  written on two lines.\r\n"
                                    "\r\n"
                                    "Next paragraph.\r\n"
                                    "- item one continued\r\n"
                                    "- item two\r\n"
                                    "  kept   as is");
}

TEST(HelpFile, SearchByPartialKey) {
    HelpFile file = HelpFile::Parse(Header + ".topic a\n.title A\n.keywords Tray icon; timer\n"
                                             ".topic b\n.title B\n.keywords tray; TIMER; Timer\n"
                                             ".topic c\n.title C\n.keywords table\n");
    auto keys = [](const std::vector<help::IndexEntry>& entries) {
        std::string out;
        for (const auto& e : entries)
            out += e.keyword + "@" + std::to_string(e.topic) + " ";
        return out;
    };
    EXPECT_EQ(keys(file.Search("")), "table@2 timer@0 TIMER@1 tray@1 Tray icon@0 ");
    EXPECT_EQ(keys(file.Search("TR")), "tray@1 Tray icon@0 ");
    EXPECT_EQ(keys(file.Search("  tray ")), "tray@1 Tray icon@0 ");
    EXPECT_EQ(keys(file.Search("tray i")), "Tray icon@0 ");
    EXPECT_EQ(keys(file.Search("x")), "");
    EXPECT_EQ(keys(file.Search("timers")), "");
}

TEST(HelpFile, EveryRuleHasItsMessage) {
    std::string topic = ".topic t\n.title T\n";
    EXPECT_EQ(ErrorOf(""), "line 1: not a Quiptide help file");
    EXPECT_EQ(ErrorOf("QUIPTIDE HELP 2\n"), "line 1: not a Quiptide help file");
    EXPECT_EQ(ErrorOf(Header), "the help file has no topics");
    EXPECT_EQ(ErrorOf(Header + "text\n"), "line 2: text outside a topic");
    EXPECT_EQ(ErrorOf(Header + ".title T\n"), "line 2: .title outside a topic");
    EXPECT_EQ(ErrorOf(Header + ".topic\n"),
              "line 2: a topic id is made of letters, digits, '-' and '_'");
    EXPECT_EQ(ErrorOf(Header + ".topic a b\n"),
              "line 2: a topic id is made of letters, digits, '-' and '_'");
    EXPECT_EQ(ErrorOf(Header + topic + topic), "line 4: topic t is defined twice");
    EXPECT_EQ(ErrorOf(Header + ".topic t\ntext\n.topic u\n.title U\n"),
              "line 2: topic t has no title");
    EXPECT_EQ(ErrorOf(Header + ".topic t\ntext\n"), "line 2: topic t has no title");
    EXPECT_EQ(ErrorOf(Header + topic + ".title Again\n"), "line 4: topic t has two titles");
    EXPECT_EQ(ErrorOf(Header + ".topic t\n.title\n"), "line 3: empty title");
    for (const char* bad : {"", "-1", "12a", "4294967296", "99999999999", " "})
        EXPECT_EQ(ErrorOf(Header + topic + ".context " + bad + "\n"),
                  "line 4: a context number is a whole number from 0 to 4294967295")
            << bad;
    EXPECT_EQ(ErrorOf(Header + topic + ".context 7\n.topic u\n.title U\n.context 7\n"),
              "line 7: context number 7 is used twice");
    EXPECT_EQ(ErrorOf(Header + topic + ".link x\n"), "line 4: unknown directive .link");
    EXPECT_EQ(ErrorOf(Header + topic + std::string("a\0b\n", 4)),
              "line 4: control character in the text");
    EXPECT_EQ(ErrorOf(Header + topic + std::string(HelpFile::MaxFileSize, 'x')),
              "the help file is larger than 1 MiB");
}

TEST(HelpFile, LoadReportsUnreadableFiles) {
    try {
        HelpFile::Load("/nonexistent/Quiptide.hlp");
        FAIL() << "no error";
    } catch (const HelpError& e) {
        EXPECT_STREQ(e.what(), "the help file cannot be opened");
    }
}

// Random damage to a valid file: every result is a parsed file or a HelpError, never a
// crash (the native build runs this under the address and undefined-behaviour checks).
TEST(HelpFile, DamagedInputFailsCleanly) {
    std::string valid = Header + ".topic t\n.title T\n.context 12\n.keywords a; b\n"
                                 "Some text\n- item\n  pre\n.topic u\n.title U\ntext\n";
    std::mt19937 random(20240601);
    const char alphabet[] = ".;\n\r -\t0123456789abctopicontextkeywords\xff";
    int parsed = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = valid;
        int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits; ++e) {
            std::size_t at = random() % (damaged.size() + 1);
            char c = alphabet[random() % (sizeof alphabet - 1)];
            switch (random() % 3) {
            case 0:
                damaged.insert(at, 1, c);
                break;
            case 1:
                if (at < damaged.size())
                    damaged.erase(at, 1);
                break;
            default:
                if (at < damaged.size())
                    damaged[at] = c;
            }
        }
        try {
            HelpFile file = HelpFile::Parse(damaged);
            ASSERT_FALSE(file.Topics().empty());
            for (const auto& topic : file.Topics())
                ASSERT_FALSE(topic.title.empty());
            ++parsed;
        } catch (const HelpError&) {
        }
    }
    EXPECT_GT(parsed, 0) << "some damage leaves a valid file";
}

TEST(ShippedHelp, HasATopicForEveryContextTheProgramUses) {
    HelpFile file = HelpFile::Load(QUIPTIDE_HELP_FILE);
    EXPECT_EQ(file.Contents().id, "contents");
    for (std::uint32_t context :
         {5u, 121u, 122u, 201u, 203u, 204u, 205u, 206u, 207u, 208u, 301u, 303u, 502u, 505u})
        EXPECT_TRUE(file.FindContext(context).has_value()) << "context " << context;
    EXPECT_EQ(file.Topics()[*file.FindContext(5)].title, "Revision History");
    std::set<std::string> titles;
    for (const auto& topic : file.Topics()) {
        EXPECT_FALSE(topic.text.empty()) << topic.id;
        EXPECT_FALSE(topic.keywords.empty()) << topic.id << " is reachable by search";
        EXPECT_TRUE(titles.insert(topic.title).second) << "two topics titled " << topic.title;
    }
}
