// TTrayIcon: the records handed to the shell (recorded through the replaceable call),
// the callbacks of the hidden window, the right-click order, and one run through the
// real shell under Wine.
#include "desktop/TrayIcon.h"
#include "framework/Exception.h"
#include "framework/Menus.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct ShellCall {
    DWORD message;
    NOTIFYICONDATAA data;
    std::string tip() const { return data.szTip; }
};

// A 16 x 16 icon of our own, owned by the returned TIcon.
fw::TIcon MakeIcon() {
    std::vector<BYTE> andMask(16 * 16 / 8, 0x00), xorMask(16 * 16 / 8, 0xFF);
    return fw::TIcon(
        CreateIcon(GetModuleHandleA(nullptr), 16, 16, 1, 1, andMask.data(), xorMask.data()));
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

// The menu runs its own modal loop; this timer, run inside it, notes that the menu is
// open and closes it.
std::vector<std::string>* menuOrder;
void CALLBACK NoteMenuAndClose(HWND, UINT, UINT_PTR, DWORD) {
    if (menuOrder->empty()) {
        menuOrder->push_back("menu");
        EndMenu();
    }
}

class TrayIconTest : public ::testing::Test {
  protected:
    TrayIconTest() {
        tray->ShellNotifyIcon = [this](DWORD message, NOTIFYICONDATAA* data) {
            calls.push_back({message, *data});
            return TRUE;
        };
    }
    std::vector<DWORD> Messages() const {
        std::vector<DWORD> m;
        for (const ShellCall& c : calls)
            m.push_back(c.message);
        return m;
    }
    LRESULT Callback(LPARAM mouse) { return SendMessageA(tray->Handle(), 1025, 0, mouse); }

    std::vector<ShellCall> calls;
    std::unique_ptr<TTrayIcon> tray = std::make_unique<TTrayIcon>(nullptr);
};

} // namespace

TEST_F(TrayIconTest, RecordHandedToTheShell) {
    fw::TIcon icon = MakeIcon();
    tray->SetIcon(icon);
    tray->SetToolTip("Quiptide is idle.");
    tray->SetActive(true);
    ASSERT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD}));
    const NOTIFYICONDATAA& d = calls[0].data;
    EXPECT_EQ(d.cbSize, DWORD(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(d.cbSize, sizeof(void*) == 4 ? 88u : 104u);
    EXPECT_EQ(d.hWnd, tray->Handle());
    EXPECT_TRUE(IsWindow(d.hWnd));
    EXPECT_EQ(d.uID, 0u);
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.uCallbackMessage, 1025u);
    EXPECT_EQ(d.hIcon, tray->Icon().Handle());
    EXPECT_NE(d.hIcon, icon.Handle()) << "the component holds its own copy";
    EXPECT_EQ(calls[0].tip(), "Quiptide is idle.");
}

TEST_F(TrayIconTest, ActiveAddsOnceAndRemoves) {
    EXPECT_FALSE(tray->Active());
    tray->SetToolTip("tip");
    tray->SetActive(true);
    tray->SetActive(true);
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD}));
    tray->SetActive(false);
    tray->SetActive(false);
    tray->SetActive(true);
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE, NIM_ADD}));
    EXPECT_EQ(calls[1].data.hWnd, tray->Handle());
    EXPECT_EQ(calls[1].data.uID, 0u);
}

TEST_F(TrayIconTest, ToolTipIsCutTo62Characters) {
    tray->SetToolTip(std::string(70, 'x'));
    EXPECT_EQ(tray->ToolTip(), std::string(62, 'x'));
    EXPECT_TRUE(calls.empty()) << "no shell call while not shown";
    tray->SetActive(true);
    EXPECT_EQ(calls.back().tip(), std::string(62, 'x'));
    std::string exact(62, 'y');
    tray->SetToolTip(exact);
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
    EXPECT_EQ(calls.back().tip(), exact);
    EXPECT_EQ(calls.back().data.szTip[62], '\0');
}

TEST_F(TrayIconTest, ChangesWhileHiddenWaitForTheNextShow) {
    tray->SetToolTip("later");
    fw::TIcon icon = MakeIcon();
    tray->SetIcon(icon);
    EXPECT_TRUE(calls.empty());
    tray->SetActive(true);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].tip(), "later");
    EXPECT_EQ(calls[0].data.hIcon, tray->Icon().Handle());
}

TEST_F(TrayIconTest, PictureIsCopied) {
    tray->SetActive(true);
    {
        fw::TIcon icon = MakeIcon();
        tray->SetIcon(icon);
    } // the caller's picture is gone; the component's copy stays usable
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(tray->Icon().Handle(), &info));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_EQ(calls.back().message, DWORD(NIM_MODIFY));
    EXPECT_EQ(calls.back().data.hIcon, tray->Icon().Handle());
}

TEST_F(TrayIconTest, EmptyToolTipIsRefreshedOnce) {
    tray->SetActive(true);
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD}));
    PumpMessages();
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
    EXPECT_EQ(calls.back().tip(), "");
    PumpMessages();
    EXPECT_EQ(calls.size(), 2u);

    // A tooltip set before the refresh arrives is the one the refresh shows.
    tray->SetActive(false);
    tray->SetToolTip("");
    calls.clear();
    tray->SetActive(true);
    tray->SetToolTip("Quiptide is cycling Taglines!");
    PumpMessages();
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_MODIFY}));
    EXPECT_EQ(calls.back().tip(), "Quiptide is cycling Taglines!");

    // With a tooltip there is nothing to refresh.
    tray->SetActive(false);
    calls.clear();
    tray->SetActive(true);
    PumpMessages();
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD}));
}

TEST_F(TrayIconTest, MouseMessagesBecomeEvents) {
    std::vector<std::string> events;
    tray->OnClick = [&](fw::TComponent* sender) {
        EXPECT_EQ(sender, tray.get());
        events.push_back("click");
    };
    tray->OnDblClick = [&](fw::TComponent* sender) {
        EXPECT_EQ(sender, tray.get());
        events.push_back("double");
    };
    // A double click: first release, double click, second release.
    EXPECT_EQ(Callback(WM_LBUTTONUP), 0);
    EXPECT_EQ(Callback(WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(Callback(WM_LBUTTONUP), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"click", "double", "click"}));

    events.clear();
    for (LPARAM other :
         std::vector<LPARAM>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONUP,
                             0x10000 | WM_LBUTTONUP, WM_RBUTTONUP + 0x20000})
        EXPECT_EQ(Callback(other), 0);
    EXPECT_TRUE(events.empty()) << "the mouse message is compared as a whole";

    TTrayIcon bare(nullptr); // no handlers assigned
    SendMessageA(bare.Handle(), 1025, 0, WM_LBUTTONUP);
    SendMessageA(bare.Handle(), 1025, 0, WM_LBUTTONDBLCLK);
    SendMessageA(bare.Handle(), 1025, 0, WM_RBUTTONUP);
}

TEST_F(TrayIconTest, RightClickReportsTheCursor) {
    SetCursorPos(123, 45);
    POINT at;
    GetCursorPos(&at);
    int calls_ = 0;
    tray->OnRightClick = [&](fw::TComponent* sender, fw::TMouseButton button, fw::TShiftState shift,
                             int x, int y) {
        ++calls_;
        EXPECT_EQ(sender, tray.get());
        EXPECT_EQ(button, fw::TMouseButton::mbRight);
        EXPECT_TRUE(shift.empty());
        EXPECT_EQ(x, at.x);
        EXPECT_EQ(y, at.y);
    };
    EXPECT_EQ(Callback(WM_RBUTTONUP), 0);
    EXPECT_EQ(calls_, 1);
}

TEST_F(TrayIconTest, RightClickOpensTheMenuBeforeTheEvent) {
    fw::TPopupMenu menu(nullptr);
    auto* item = new fw::TMenuItem(&menu);
    item->SetCaption("Restore");
    menu.Add(item);
    tray->SetPopupMenu(&menu);
    std::vector<std::string> seen;
    menuOrder = &seen;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, NoteMenuAndClose);
    tray->OnRightClick = [&](fw::TComponent*, fw::TMouseButton, fw::TShiftState, int, int) {
        seen.push_back("event");
    };
    Callback(WM_RBUTTONUP);
    KillTimer(nullptr, timer);
    EXPECT_EQ(seen, (std::vector<std::string>{"menu", "event"}));
}

TEST_F(TrayIconTest, HandlerErrorsGoToTheErrorDisplay) {
    fw::TScriptedDialogs dialogs;
    tray->OnClick = [](fw::TComponent*) { throw fw::Exception("Tagline not found!"); };
    EXPECT_EQ(Callback(WM_LBUTTONUP), 0);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Text, "Tagline not found!");
    EXPECT_EQ(dialogs.Last().Kind, fw::TMsgDlgType::mtError);
}

TEST_F(TrayIconTest, DestructionRemovesAShownIcon) {
    HWND window = tray->Handle();
    tray->SetToolTip("tip");
    tray->SetActive(true);
    tray.reset();
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
    EXPECT_EQ(calls.back().data.hWnd, window);
    EXPECT_FALSE(IsWindow(window)) << "the hidden window goes with the component";

    tray = std::make_unique<TTrayIcon>(nullptr);
    tray->ShellNotifyIcon = [this](DWORD message, NOTIFYICONDATAA* data) {
        calls.push_back({message, *data});
        return TRUE;
    };
    calls.clear();
    tray.reset();
    EXPECT_TRUE(calls.empty()) << "an icon never shown is not removed";
}

TEST_F(TrayIconTest, RestartedShellGetsTheIconAgain) {
    SendMessageA(tray->Handle(), TTrayIcon::TaskbarCreated(), 0, 0);
    EXPECT_TRUE(calls.empty()) << "nothing to show";
    tray->SetToolTip("tip");
    tray->SetActive(true);
    SendMessageA(tray->Handle(), TTrayIcon::TaskbarCreated(), 0, 0);
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_ADD}));
    EXPECT_EQ(calls.back().tip(), "tip");
}

TEST_F(TrayIconTest, ShellRefusalChangesNothing) {
    tray->ShellNotifyIcon = [this](DWORD message, NOTIFYICONDATAA* data) {
        calls.push_back({message, *data});
        return FALSE;
    };
    tray->SetToolTip("tip");
    tray->SetActive(true);
    EXPECT_TRUE(tray->Active());
    tray->SetActive(true);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(TrayIconTest, OwnerDestroysTheComponent) {
    tray.reset();
    auto owner = std::make_unique<fw::TComponent>(nullptr);
    auto* owned = new TTrayIcon(owner.get());
    owned->ShellNotifyIcon = [this](DWORD message, NOTIFYICONDATAA* data) {
        calls.push_back({message, *data});
        return TRUE;
    };
    owned->SetActive(true);
    owned->SetShowDesigning(true);
    EXPECT_FALSE(owned->ShowDesigning()) << "ignored while the program runs";
    owner.reset();
    EXPECT_EQ(Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
}

TEST(TrayIconShell, RealNotificationArea) {
    std::vector<BOOL> results;
    {
        TTrayIcon tray(nullptr);
        tray.ShellNotifyIcon = [&](DWORD message, NOTIFYICONDATAA* data) {
            BOOL ok = Shell_NotifyIconA(message, data);
            results.push_back(ok);
            return ok;
        };
        tray.SetIcon(MakeIcon());
        tray.SetToolTip("Quiptide is idle.");
        tray.SetActive(true);
        tray.SetToolTip("Quiptide is cycling Taglines!");
    }
    EXPECT_EQ(results, (std::vector<BOOL>{TRUE, TRUE, TRUE})) << "added, modified, deleted";
}
