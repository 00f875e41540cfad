// The help viewer window under Wine: what each help command shows, the keyword search
// as it is typed, the error pages, and that there is only ever one viewer.
#include "platform/help/HelpViewer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

std::string Text(HWND window, int id) {
    char text[4096] = "";
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

std::vector<std::string> ListItems(HWND window) {
    std::vector<std::string> items;
    LRESULT n = SendDlgItemMessageA(window, help::idList, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char item[512] = "";
        SendDlgItemMessageA(window, help::idList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
        items.push_back(item);
    }
    return items;
}

int CountViewers() {
    int count = 0;
    for (HWND w = FindWindowExA(nullptr, nullptr, help::ViewerClass, nullptr); w;
         w = FindWindowExA(nullptr, w, help::ViewerClass, nullptr))
        ++count;
    return count;
}

class HelpViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        path = std::string(dir) + "viewer-test.hlp";
        std::ofstream(path, std::ios::binary) << "QUIPTIDE HELP 1\r\n"
                                                 ".topic contents\r\n.title Contents\r\n"
                                                 "Start here.\r\n"
                                                 ".topic tray\r\n.title The Tray Icon\r\n"
                                                 ".context 42\r\n.keywords tray; timer\r\n"
                                                 "Right-click it.\r\n"
                                                 ".topic timer\r\n.title Timer Button\r\n"
                                                 ".keywords timer; table\r\n"
                                                 "Starts cycling.\r\n";
    }
    void TearDown() override {
        help::ShowHelp(nullptr, path, HELP_QUIT, 0);
        EXPECT_EQ(CountViewers(), 0);
        std::remove(path.c_str());
    }
    HWND Viewer() const { return FindWindowA(help::ViewerClass, nullptr); }
    void Select(int index) {
        SendDlgItemMessageA(Viewer(), help::idList, LB_SETCURSEL, index, 0);
        SendMessageA(Viewer(), WM_COMMAND, MAKEWPARAM(help::idList, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(Viewer(), help::idList)));
    }
    std::string path;
};

} // namespace

TEST_F(HelpViewerTest, ContentsListsTheTopicsAndShowsTheFirst) {
    EXPECT_TRUE(help::ShowHelp(nullptr, path, HELP_CONTENTS, 0));
    HWND viewer = Viewer();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(IsWindowVisible(viewer));
    EXPECT_EQ(ListItems(viewer),
              (std::vector<std::string>{"Contents", "The Tray Icon", "Timer Button"}));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(viewer, help::idKey)));
    EXPECT_EQ(Text(viewer, help::idTitle), "Contents");
    EXPECT_EQ(Text(viewer, help::idBody), "Start here.");
    Select(2);
    EXPECT_EQ(Text(viewer, help::idTitle), "Timer Button");
    EXPECT_EQ(Text(viewer, help::idBody), "Starts cycling.");
}

TEST_F(HelpViewerTest, ContextShowsItsTopicOrSaysItIsMissing) {
    EXPECT_TRUE(help::ShowHelp(nullptr, path, HELP_CONTEXT, 42));
    HWND viewer = Viewer();
    EXPECT_EQ(Text(viewer, help::idTitle), "The Tray Icon");
    EXPECT_EQ(SendDlgItemMessageA(viewer, help::idList, LB_GETCURSEL, 0, 0), 1);

    EXPECT_FALSE(help::ShowHelp(nullptr, path, HELP_CONTEXT, 999));
    EXPECT_EQ(Viewer(), viewer) << "the one viewer is reused";
    EXPECT_EQ(CountViewers(), 1);
    EXPECT_EQ(Text(viewer, help::idTitle), "Help Topic Not Found");
    EXPECT_NE(Text(viewer, help::idBody).find("context number 999"), std::string::npos);
}

TEST_F(HelpViewerTest, PartialKeySearchFiltersAsTyped) {
    EXPECT_TRUE(help::ShowHelp(nullptr, path, HELP_PARTIALKEY, reinterpret_cast<uintptr_t>("")));
    HWND viewer = Viewer();
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(viewer, help::idKey)));
    EXPECT_EQ(ListItems(viewer), (std::vector<std::string>{"table", "timer: The Tray Icon",
                                                           "timer: Timer Button", "tray"}));
    SetDlgItemTextA(viewer, help::idKey, "TI");
    EXPECT_EQ(Text(viewer, help::idTitle), "The Tray Icon");
    Select(1);
    EXPECT_EQ(Text(viewer, help::idTitle), "Timer Button");
    SetDlgItemTextA(viewer, help::idKey, "TR");
    EXPECT_EQ(ListItems(viewer), (std::vector<std::string>{"tray"}));

    EXPECT_TRUE(help::ShowHelp(nullptr, path, HELP_PARTIALKEY, reinterpret_cast<uintptr_t>("ta")));
    EXPECT_EQ(Text(viewer, help::idKey), "ta");
    EXPECT_EQ(ListItems(viewer), (std::vector<std::string>{"table"}));
    EXPECT_EQ(Text(viewer, help::idTitle), "Timer Button") << "the first keyword found is shown";
    EXPECT_TRUE(help::ShowHelp(nullptr, path, HELP_PARTIALKEY, 0)) << "a null key is empty";
    EXPECT_EQ(ListItems(viewer).size(), 4u);

    SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(help::idContents, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(viewer, help::idKey)));
    EXPECT_EQ(ListItems(viewer).size(), 3u);
}

TEST_F(HelpViewerTest, UnusableFilesAreExplainedInTheViewer) {
    std::string missing = path + ".missing";
    EXPECT_FALSE(help::ShowHelp(nullptr, missing, HELP_CONTENTS, 0));
    HWND viewer = Viewer();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(Text(viewer, help::idTitle), "Help Unavailable");
    EXPECT_NE(Text(viewer, help::idBody).find(missing), std::string::npos);
    EXPECT_TRUE(ListItems(viewer).empty());

    std::ofstream(path, std::ios::binary | std::ios::trunc) << "QUIPTIDE HELP 1\n.topic x\n";
    EXPECT_FALSE(help::ShowHelp(nullptr, path, HELP_CONTEXT, 42));
    EXPECT_NE(Text(viewer, help::idBody).find("line 2: topic x has no title"), std::string::npos);
}

TEST_F(HelpViewerTest, QuitClosesAndUnknownCommandsAreRefused) {
    EXPECT_FALSE(help::ShowHelp(nullptr, path, 0x0FFF, 0));
    EXPECT_EQ(CountViewers(), 0);
    EXPECT_TRUE(help::ShowHelp(nullptr, path, HELP_CONTENTS, 0));
    EXPECT_TRUE(help::ShowHelp(nullptr, path, HELP_QUIT, 0));
    EXPECT_EQ(CountViewers(), 0);
    // Closed by the user, then asked again: a new viewer comes up.
    EXPECT_TRUE(help::ShowHelp(nullptr, path, HELP_CONTENTS, 0));
    SendMessageA(Viewer(), WM_CLOSE, 0, 0);
    EXPECT_EQ(CountViewers(), 0);
    EXPECT_TRUE(help::ShowHelp(nullptr, path, HELP_CONTENTS, 0));
    EXPECT_EQ(CountViewers(), 1);
}

TEST(ShippedHelpViewer, RevisionHistoryIsContextFive) {
    EXPECT_TRUE(help::ShowHelp(nullptr, QUIPTIDE_HELP_FILE, HELP_CONTEXT, 5));
    HWND viewer = FindWindowA(help::ViewerClass, nullptr);
    EXPECT_EQ(Text(viewer, help::idTitle), "Revision History");
    help::ShowHelp(nullptr, QUIPTIDE_HELP_FILE, HELP_QUIT, 0);
}
