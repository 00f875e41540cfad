// Forms built from stored layouts: the reader's syntax and errors, event binding,
// alignment, menus and the status bar's batch update, all on real windows.
#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Forms.h"
#include "framework/GroupBox.h"
#include "framework/Memo.h"
#include "framework/Menus.h"
#include "framework/Panel.h"
#include "framework/PushButton.h"
#include "framework/StatusBar.h"
#include "framework/Timer.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <vector>

namespace {

class TProbe : public fw::TForm {
  public:
    using TForm::TForm;
    template <typename T> T& Get(const std::string& name) {
        T* c = dynamic_cast<T*>(FindComponent(name));
        if (!c)
            throw std::runtime_error("no " + name);
        return *c;
    }
};

const char* const kLayout = R"(// a test window
object Probe: TForm
  Caption = 'It''s a probe'
  ClientWidth = 300
  Height = 240
  Menu = Menu1
  OnCreate = Created
  object Bar: TPanel
    Align = alTop
    Height = 30
  end
  object Box: TGroupBox
    Align = alClient
    Margin = 3
    Caption = 'Box'
    Font.Color = clNavy
    object Memo1: TMemo
      Left = 8
      Top = 18
      Width = 100
      Height = 40
      Text = 'line 1'#13#10'line 2'
      Hint = 'A Green'#13#10'Check'
      HelpContext = 201
    end
    object Go: TButton
      Left = 120
      Top = 18
      Width = 80
      Height = 22
      Caption = '&Go'
      OnClick = GoClick
    end
  end
  object Status: TStatusBar
    Align = alBottom
    Height = 19
    Panels.Widths = (100 50)
    Panels.Alignments = (taLeftJustify taCenter)
  end
  object Menu1: TMainMenu
    object mnuFile: TMenuItem
      Caption = '&File'
      object mnuOpen: TMenuItem
        Caption = '&Open'
        Hint = 'Open a file'
        HelpContext = 121
        OnClick = GoClick
      end
      object N1: TMenuItem
        Caption = '-'
      end
    end
  end
end
)";

class LayoutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fw::Application().Initialize();
        events.Add("GoClick",
                   fw::TNotifyEvent([this](fw::TComponent* s) { clicked.push_back(s); }));
        events.Add("Created", fw::TNotifyEvent([this](fw::TComponent*) { ++created; }));
    }
    void Build(const std::string& text) { form.Build(text, events); }

    fw::TEventTable events;
    std::vector<fw::TComponent*> clicked;
    int created = 0;
    TProbe form{nullptr};
};

TEST_F(LayoutTest, PropertiesNestingAndEventsAreReadIntoRealWindows) {
    Build(kLayout);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(form.Name(), "Probe");
    EXPECT_EQ(form.Caption(), "It's a probe");
    EXPECT_EQ(form.ClientWidth(), 300);
    auto& memo = form.Get<fw::TMemo>("Memo1");
    EXPECT_EQ(memo.Text(), "line 1\r\nline 2");
    EXPECT_EQ(memo.Hint(), "A Green\r\nCheck");
    EXPECT_EQ(memo.Parent(), &form.Get<fw::TGroupBox>("Box"));
    EXPECT_EQ(form.Get<fw::TGroupBox>("Box").CaptionColor(), RGB(0, 0, 128));
    EXPECT_EQ(GetParent(memo.Handle()), form.Get<fw::TGroupBox>("Box").Handle());

    auto& go = form.Get<fw::TButton>("Go");
    SendMessageA(go.Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], &go);
}

TEST_F(LayoutTest, AlignedControlsFillTheClientAreaInOrder) {
    Build(kLayout);
    RECT client;
    GetClientRect(form.Handle(), &client);
    auto& bar = form.Get<fw::TPanel>("Bar");
    auto& box = form.Get<fw::TGroupBox>("Box");
    auto& status = form.Get<fw::TStatusBar>("Status");
    EXPECT_EQ(bar.Top(), 0);
    EXPECT_EQ(bar.Width(), client.right);
    EXPECT_EQ(status.Top(), client.bottom - 19);
    EXPECT_EQ(box.Top(), 30 + 3);
    EXPECT_EQ(box.Left(), 3);
    EXPECT_EQ(box.Height(), client.bottom - 19 - 30 - 6);
    RECT r;
    GetWindowRect(box.Handle(), &r);
    EXPECT_EQ(r.right - r.left, client.right - 6);

    bar.Hide(); // the box moves up into the freed space
    EXPECT_EQ(box.Top(), 3);
    EXPECT_EQ(box.Height(), client.bottom - 19 - 6);
}

TEST_F(LayoutTest, MenusCarryCaptionsHintsContextsAndDispatchCommands) {
    Build(kLayout);
    auto& open = form.Get<fw::TMenuItem>("mnuOpen");
    EXPECT_EQ(open.Hint(), "Open a file");
    EXPECT_EQ(open.HelpContext(), 121);
    EXPECT_TRUE(form.Get<fw::TMenuItem>("N1").IsSeparator());
    EXPECT_EQ(form.Menu()->FindItem("&Open"), &open);

    HMENU bar = GetMenu(form.Handle());
    ASSERT_NE(bar, nullptr);
    char text[64];
    GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&File");
    HMENU file = GetSubMenu(bar, 0);
    EXPECT_EQ(GetMenuItemCount(file), 2);
    EXPECT_EQ(GetMenuItemID(file, 0), open.Command());

    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(open.Command(), 0), 0);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], &open);

    // A changed caption or state reaches the window's menu.
    open.SetCaption("&Open...");
    open.SetEnabled(false);
    open.SetChecked(true);
    file = GetSubMenu(bar, 0);
    GetMenuStringA(file, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Open...");
    EXPECT_TRUE(GetMenuState(file, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(file, 0, MF_BYPOSITION) & MF_CHECKED);
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(open.Command(), 0), 0);
    EXPECT_EQ(clicked.size(), 1u); // a disabled item does not click

    // In nested batches the window's menu changes once, when the outermost one ends.
    const auto shown = [&] {
        GetMenuStringA(GetSubMenu(bar, 0), 0, text, sizeof text, MF_BYPOSITION);
        return std::string(text);
    };
    {
        fw::TMenuUpdate outer(open.Menu());
        {
            fw::TMenuUpdate inner(open.Menu());
            open.SetCaption("&Open a file");
        }
        EXPECT_EQ(shown(), "&Open...");
        open.SetEnabled(true);
    }
    EXPECT_EQ(shown(), "&Open a file");
    EXPECT_FALSE(GetMenuState(GetSubMenu(bar, 0), 0, MF_BYPOSITION) & MF_GRAYED);
}

TEST_F(LayoutTest, StatusPanelsChangeTogetherAtTheEndOfABatch) {
    Build(kLayout);
    auto& status = form.Get<fw::TStatusBar>("Status");
    ASSERT_EQ(status.PanelCount(), 2u);
    EXPECT_EQ(status.Panel(0).Width(), 100);
    EXPECT_EQ(status.Panel(1).Alignment(), fw::TAlignment::taCenter);
    EXPECT_EQ(SendMessageA(status.Handle(), SB_GETPARTS, 0, 0), 2);

    status.BeginUpdate();
    status.Panel(0).SetText("Sig File is: C:\\x.pce");
    status.Panel(1).SetText("Random");
    EXPECT_EQ(status.ShownText(0), ""); // held back
    status.EndUpdate();
    EXPECT_EQ(status.ShownText(0), "Sig File is: C:\\x.pce");
    EXPECT_EQ(status.ShownText(1), "Random");

    status.Panel(1).SetText("Daily"); // outside a batch: at once
    EXPECT_EQ(status.ShownText(1), "Daily");
}

TEST_F(LayoutTest, ChangedCaptionAndVisibilityReachTheWindow) {
    Build(kLayout);
    auto& go = form.Get<fw::TButton>("Go");
    go.SetCaption("Stop &Timer");
    char text[32];
    GetWindowTextA(go.Handle(), text, sizeof text);
    EXPECT_STREQ(text, "Stop &Timer");
    go.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(go.Handle()));
    auto& memo = form.Get<fw::TMemo>("Memo1");
    SetWindowTextA(memo.Handle(), "typed by the user");
    EXPECT_EQ(memo.Text(), "typed by the user");
    memo.Clear();
    EXPECT_EQ(GetWindowTextLengthA(memo.Handle()), 0);
}

TEST_F(LayoutTest, MemoTextSetOffScreenReachesTheWindowWhenItAppears) {
    Build(kLayout);
    auto& memo = form.Get<fw::TMemo>("Memo1");
    const HWND window = static_cast<fw::TWinControl&>(memo).Handle(); // does not bring it up
    auto windowText = [window] {
        char text[64] = {};
        GetWindowTextA(window, text, sizeof text);
        return std::string(text);
    };
    memo.SetText("while hidden");
    EXPECT_EQ(memo.Text(), "while hidden");
    EXPECT_EQ(windowText(), "line 1\r\nline 2");
    form.Show();
    EXPECT_EQ(windowText(), "while hidden");
    memo.SetText("on screen");
    EXPECT_EQ(windowText(), "on screen");

    // A memo hidden by itself, and one whose window is asked for.
    memo.Hide();
    memo.SetText("shown again");
    memo.Show();
    EXPECT_EQ(windowText(), "shown again");
    memo.Hide();
    memo.SetText("asked for");
    EXPECT_EQ(GetWindowTextLengthA(memo.Handle()), 9);
}

TEST_F(LayoutTest, HintsComeFromMouseMessagesTheLoopsRelay) {
    Build(kLayout);
    form.SetShowHint(true);
    form.Show();
    auto& memo = form.Get<fw::TMemo>("Memo1");
    RECT r;
    GetWindowRect(memo.Handle(), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(memo.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    bool shown = false;
    for (int i = 0; i < 100 && !shown; ++i) {
        fw::Application().ProcessMessages();
        shown = IsWindowVisible(form.HintWindow());
        Sleep(20);
    }
    EXPECT_TRUE(shown);
}

TEST_F(LayoutTest, TheHourglassHoldsOverEveryControlWhileAWaitLasts) {
    Build(kLayout);
    const HWND memo = form.Get<fw::TMemo>("Memo1").Handle();
    const HCURSOR hourglass = LoadCursorA(nullptr, IDC_WAIT);
    auto pointerOverMemo = [memo] {
        SendMessageA(memo, WM_SETCURSOR, reinterpret_cast<WPARAM>(memo),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    {
        fw::TWaitCursor outer;
        { fw::TWaitCursor inner; }
        SetCursor(LoadCursorA(nullptr, IDC_ARROW)); // as a box closing in between does
        EXPECT_EQ(pointerOverMemo(), hourglass);
    }
    EXPECT_NE(pointerOverMemo(), hourglass);
}

TEST_F(LayoutTest, TheActiveControlHasTheFocusFirstAndTheLastFocusComesBack) {
    std::string layout = kLayout;
    layout.replace(layout.find("  Menu = Menu1"), 0, "  ActiveControl = Memo1\n");
    Build(layout);
    form.Show();
    SetForegroundWindow(form.Handle());
    EXPECT_EQ(GetFocus(), form.Get<fw::TMemo>("Memo1").Handle());

    const HWND go = form.Get<fw::TButton>("Go").Handle();
    SetFocus(go);
    TProbe other{nullptr};
    other.Build("object Other: TForm\n  Width = 100\n  Height = 80\nend", events);
    other.Show();
    SetForegroundWindow(other.Handle());
    SetForegroundWindow(form.Handle());
    EXPECT_EQ(GetFocus(), go);
}

TEST_F(LayoutTest, AWindowDestroyedBehindTheControlsBackIsForgotten) {
    Build(kLayout);
    auto& bar = form.Get<fw::TPanel>("Bar");
    const HWND window = bar.Handle();
    ASSERT_EQ(fw::TWinControl::FromHandle(window), &bar);
    DestroyWindow(window);
    EXPECT_EQ(fw::TWinControl::FromHandle(window), nullptr);
    EXPECT_FALSE(bar.HandleAllocated());
}

// The controls of the watched window destroyed in all, and while it was still shown.
HWND watched;
int destroyed, destroyedWhileShown;
LRESULT CALLBACK NoteDestroy(int code, WPARAM window, LPARAM info) {
    const HWND h = reinterpret_cast<HWND>(window);
    if (code == HCBT_DESTROYWND && h != watched && GetAncestor(h, GA_ROOT) == watched)
        ++destroyed, destroyedWhileShown += IsWindowVisible(watched);
    return CallNextHookEx(nullptr, code, window, info);
}

TEST_F(LayoutTest, AShownWindowIsHiddenBeforeItsControlsGo) {
    auto probe = std::make_unique<TProbe>(nullptr); // else each control's end repaints it
    probe->Build(kLayout, events);
    probe->Show();
    watched = probe->Handle();
    HHOOK hook = SetWindowsHookExA(WH_CBT, NoteDestroy, nullptr, GetCurrentThreadId());
    probe.reset();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(destroyed, 5) << "bar, box, memo, button and status bar";
    EXPECT_EQ(destroyedWhileShown, 0);
}

struct BadLayout {
    const char* text;
    const char* message;
};

class LayoutErrors : public LayoutTest, public ::testing::WithParamInterface<BadLayout> {};

TEST_P(LayoutErrors, AreReportedWithTheirLine) {
    try {
        Build(GetParam().text);
        ADD_FAILURE() << "accepted";
    } catch (const fw::Exception& e) {
        EXPECT_EQ(e.Message(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reader, LayoutErrors,
    ::testing::Values(
        BadLayout{"object P: TForm\n  Colour = 3\nend", "Layout error at line 2: property Colour "
                                                        "does not exist in P"},
        BadLayout{"object P: TForm\n  object X: TWidget\n  end\nend", "Class TWidget not found"},
        BadLayout{"object P: TForm\n  OnCreate = Missing\nend", "Handler Missing not found"},
        BadLayout{"object P: TForm\n  Caption = 'open\nend", "Layout error at line 2: "
                                                             "unterminated text"},
        BadLayout{"object P: TForm\nend\nextra", "Layout error at line 3: text after the end of "
                                                 "the layout"},
        BadLayout{"object P: TForm\n  Menu = Nothing\nend", "Component Nothing not found"},
        BadLayout{"object P: TForm\n  Caption = #300\nend", "Layout error at line 2: character "
                                                            "code out of range"},
        BadLayout{"object P: TForm\n  object B: TButton\n    ModalResult = mrMaybe\n  end\nend",
                  "Unknown modal result mrMaybe"}));

TEST(Timer, TicksWhileEnabledAndStopsWhenDisabled) {
    fw::TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](fw::TComponent*) {
        if (++ticks == 2)
            timer.SetEnabled(false);
    };
    timer.SetInterval(10);
    DWORD until = GetTickCount() + 3000;
    while (GetTickCount() < until && ticks < 2) {
        fw::Application().ProcessMessages();
        Sleep(5);
    }
    EXPECT_EQ(ticks, 2);
    Sleep(50);
    fw::Application().ProcessMessages();
    EXPECT_EQ(ticks, 2);
}

} // namespace
