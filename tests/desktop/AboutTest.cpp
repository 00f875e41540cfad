// The about box: its dialog frame, size and place, its texts, the version it shows against
// the program's version resource (both from the build's one version), and OK closing it.
#include "desktop/About.h"
#include "framework/Dialogs.h"
#include "framework/Image.h"
#include "framework/Process.h"
#include "framework/PushButton.h"
#include "tests/desktop/TopLevel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// A value of the version resource of this test program, which links the program's
// resources.
std::string VersionValue(const std::string& name) {
    const std::string file = fw::ProgramFileName();
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeA(file.c_str(), &ignored));
    if (data.empty() ||
        !GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data()))
        return "<no version resource>";
    char* value = nullptr;
    UINT size = 0;
    const std::string path = "\\StringFileInfo\\040904E4\\" + name;
    if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &size))
        return "<no " + name + ">";
    return std::string(value);
}

// Runs `act` on the about box once its modal loop runs.
HWND aboutBox;
void (*pending)(HWND);
void CALLBACK Act(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    pending(aboutBox);
}

class AboutTest : public ::testing::Test {
  protected:
    AboutTest() {
        owner.Build("object Owner: TForm\nend", {});
        owner.Show();
        box = std::make_unique<TAboutBox>(&owner);
    }
    std::string Text(const char* name) {
        auto* c = dynamic_cast<fw::TWinControl*>(box->FindComponent(name));
        return c ? c->Caption() : "<no " + std::string(name) + ">";
    }
    int RunModal(void (*act)(HWND)) {
        aboutBox = box->Handle();
        pending = act;
        SetTimer(nullptr, 0, 50, Act);
        return box->ShowModal();
    }

    fw::TForm owner{nullptr};
    std::unique_ptr<TAboutBox> box;
};

TEST_F(AboutTest, ADialogFramedWindowOf257By132CentredOnTheScreen) {
    HWND h = box->Handle();
    EXPECT_EQ(box->Caption(), "About Quiptide");
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    ExpectCentredWithClient(h, 257, 132);
}

TEST_F(AboutTest, ShowsTheProductTheBuildsVersionTheCompanyAndWhereToReportProblems) {
    EXPECT_EQ(Text("ProductName"), "Quiptide");
    EXPECT_EQ(VersionValue("ProductName"), "Quiptide");
    const std::string version = VersionValue("ProductVersion");
    EXPECT_EQ(Text("Label1"), "Version " + version);
    EXPECT_EQ(VersionValue("FileVersion"), version);
    EXPECT_EQ(std::count(version.begin(), version.end(), '.'), 2) << version;
    EXPECT_NE(Text("Copyright").find("2026 Brindlex"), std::string::npos);
    EXPECT_EQ(Text("Label3"), "Brindlex");
    // Problem reports by e-mail, and the latest version from the web: two lines.
    EXPECT_NE(Text("Comments").find("E-mail quiptide@example.org"), std::string::npos);
    EXPECT_NE(Text("Label2").find("https://quiptide.example.org"), std::string::npos);
    auto* icon = dynamic_cast<fw::TImage*>(box->FindComponent("ProgramIcon"));
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->Icon().Empty());
}

TEST_F(AboutTest, EachTextLineFitsOnOneLineBelowTheIconAndClearOfThePanelsFrame) {
    auto* panel = dynamic_cast<fw::TWinControl*>(box->FindComponent("Panel1"));
    auto* icon = dynamic_cast<fw::TWinControl*>(box->FindComponent("ProgramIcon"));
    ASSERT_TRUE(panel && icon);
    const int frame = 2; // the raised outer and the lowered inner bevel
    int above = icon->Top() + icon->Height();
    HDC dc = GetDC(nullptr);
    for (const char* name : {"Copyright", "Label3", "Comments", "Label2"}) {
        auto* label = dynamic_cast<fw::TWinControl*>(box->FindComponent(name));
        ASSERT_NE(label, nullptr) << name;
        const std::string text = label->Caption();
        HGDIOBJ old = SelectObject(dc, label->FontHandle());
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        EXPECT_LE(size.cx, label->Width()) << name << " wraps: " << size.cx;
        EXPECT_LE(size.cy, label->Height()) << name << " loses its descenders";
        EXPECT_GE(label->Top(), above) << name << " overlaps what is above it";
        EXPECT_GT(label->Left(), frame);
        EXPECT_LT(label->Left() + label->Width(), panel->Width() - frame);
        EXPECT_LE(label->Top() + label->Height(), panel->Height() - frame - 2)
            << name << " touches the frame";
        above = label->Top() + label->Height();
    }
    ReleaseDC(nullptr, dc);
}

TEST_F(AboutTest, OKClosesWithMrOk) {
    auto* ok = dynamic_cast<fw::TButton*>(box->FindComponent("btnOK"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->Caption(), "OK");
    EXPECT_TRUE(ok->IsDefault());
    EXPECT_EQ(RunModal([](HWND dialog) {
                  SendMessageA(FindWindowExA(dialog, nullptr, "BUTTON", "OK"), BM_CLICK, 0, 0);
              }),
              fw::mrOk);
    EXPECT_FALSE(IsWindowVisible(box->Handle()));
    EXPECT_TRUE(IsWindowEnabled(owner.Handle())) << "the owner is given back";
}

TEST_F(AboutTest, ReturnPressesTheFocusedOKButton) {
    EXPECT_EQ(RunModal([](HWND dialog) {
                  EXPECT_EQ(GetFocus(), FindWindowExA(dialog, nullptr, "BUTTON", "OK"));
                  PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
              }),
              fw::mrOk);
}

} // namespace
