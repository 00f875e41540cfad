// The splash window: its frame, size and place, what its layout shows, that it is painted
// before any message is read, and its life from ShowSplashScreen to FreeSplashScreen.
#include "desktop/RzLabel.h"
#include "desktop/SplashForm.h"
#include "framework/Application.h"
#include "framework/Image.h"
#include "framework/Panel.h"
#include "tests/desktop/Picture.h"
#include "tests/desktop/TopLevel.h"

#include <gtest/gtest.h>

namespace {

BOOL CALLBACK CollectWindow(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

class SplashFormTest : public ::testing::Test {
  protected:
    void TearDown() override { FreeSplashScreen(); }
    template <typename T> T& Get(const char* name) {
        T* c = dynamic_cast<T*>(SplashScreen()->FindComponent(name));
        if (!c)
            throw std::runtime_error(std::string("no ") + name);
        return *c;
    }
};

TEST_F(SplashFormTest, ABorderlessTopmostWindowOf347By130CentredOnTheScreen) {
    ShowSplashScreen();
    ASSERT_NE(SplashScreen(), nullptr);
    HWND h = SplashScreen()->Handle();
    EXPECT_TRUE(IsWindowVisible(h));
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_DLGFRAME | WS_SYSMENU));
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ExpectCentredWithClient(h, 347, 130);
    RECT window;
    GetWindowRect(h, &window);
    EXPECT_EQ(window.right - window.left, 347) << "no frame around the client area";
    EXPECT_NE(GetActiveWindow(), h) << "shown without taking the activation";
    EXPECT_NE(fw::Application().MainForm(), SplashScreen());
}

TEST_F(SplashFormTest, EveryPartIsPaintedBeforeAnyMessageIsRead) {
    ShowSplashScreen();
    std::vector<HWND> windows{SplashScreen()->Handle()};
    EnumChildWindows(windows[0], CollectWindow, reinterpret_cast<LPARAM>(&windows));
    EXPECT_GE(windows.size(), 6u); // the form and its panels, which paint the rest
    for (HWND w : windows)
        EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE)) << "a part waits for its paint";
}

TEST_F(SplashFormTest, LayoutHoldsTheLogoTheNamesAndTheCopyrightInLoweredBevels) {
    ShowSplashScreen();
    auto& logo = Get<fw::TImage>("LogoImage");
    EXPECT_EQ(logo.PictureSize().cx, 96);
    EXPECT_TRUE(logo.Stretch() && logo.Center());
    EXPECT_EQ(Get<fw::TImage>("Image1").PictureSize().cx, 32);
    EXPECT_EQ(Get<TRzLabel>("lblCompany").TextStyle(), TTextStyle::tsShadow);
    EXPECT_EQ(Get<TRzLabel>("lblProduct").TextStyle(), TTextStyle::tsRaised);

    // The outer bevel raised, the inner lowered, on a yellow face.
    TPicture p(Get<fw::TPanel>("Panel3").Handle());
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const int r = p.Width() - 1, b = p.Height() - 1;
    EXPECT_EQ(p.At(0, 0), highlight);
    EXPECT_EQ(p.At(r, b), shadow);
    EXPECT_EQ(p.At(1, 1), shadow);
    EXPECT_EQ(p.At(r - 1, b - 1), highlight);
    EXPECT_EQ(p.At(2, 2), RGB(255, 255, 0));
    EXPECT_EQ(p.Width(), 237);
    EXPECT_EQ(p.Height(), 50);
}

TEST_F(SplashFormTest, FreedOnceAndGoneForLaterCalls) {
    ShowSplashScreen();
    TSplashScreen* first = SplashScreen();
    ShowSplashScreen();
    EXPECT_EQ(SplashScreen(), first) << "one splash window at a time";
    const size_t owned = fw::Application().Components().size();
    HWND h = first->Handle();
    FreeSplashScreen();
    EXPECT_EQ(SplashScreen(), nullptr);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(fw::Application().Components().size(), owned - 1);
    FreeSplashScreen();
    EXPECT_EQ(SplashScreen(), nullptr);
}

} // namespace
