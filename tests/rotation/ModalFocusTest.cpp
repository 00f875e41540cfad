// After each of the program's own modal windows closes, its owner is the foreground window
// again with the focus where it was, and the keys the user types reach it: the main window
// after the signature input form, the options, the about box and the repair window, and
// the repair window after its problem viewer.
#include "DataTestSupport.h"
#include "WindowTest.h"

#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace {

void DrainMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// `window` is the foreground window with the focus inside it, and a key typed on the
// keyboard (which the system gives the foreground window) lands at the end of `edit`.
void ExpectActiveAndTyping(HWND window, fw::TWinControl* edit, const std::string& what) {
    DrainMessages();
    EXPECT_EQ(GetForegroundWindow(), window) << what;
    EXPECT_TRUE(GetFocus() == window || IsChild(window, GetFocus())) << what;
    if (!edit)
        return;
    const std::string before = edit->Caption();
    const auto end = static_cast<WPARAM>(before.size());
    SendMessageA(edit->Handle(), EM_SETSEL, end, static_cast<LPARAM>(end));
    INPUT key[2] = {};
    key[0].type = key[1].type = INPUT_KEYBOARD;
    key[0].ki.wVk = key[1].ki.wVk = 'Q';
    key[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, key, sizeof(INPUT));
    for (int i = 0; i < 10; ++i, Sleep(10))
        DrainMessages();
    EXPECT_EQ(edit->Caption(), before + "q") << what << ": the typed key went elsewhere";
}

// A user's hand on a modal window: once the window with the caption is on screen, its
// buttons are clicked in turn (none: its close box). The window must be active again
// after each button that leaves it open, such as one that opens a modal window over it.
struct TStep {
    const char* caption;
    std::vector<const char*> buttons;
};

// The steps are taken by a timer, each when its window shows; one that opens another
// modal window returns only when that has closed, and the steps behind it run meanwhile.
std::deque<TStep> g_steps;
void CALLBACK TakeStep(HWND, UINT, UINT_PTR, DWORD) {
    HWND w = g_steps.empty() ? nullptr : FindWindowA(nullptr, g_steps.front().caption);
    if (!w || !IsWindowVisible(w))
        return;
    const TStep step = g_steps.front();
    g_steps.pop_front();
    if (step.buttons.empty())
        SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    for (size_t i = 0; i < step.buttons.size(); ++i) {
        HWND button = FindWindowExA(w, nullptr, "BUTTON", step.buttons[i]);
        ASSERT_NE(button, nullptr) << step.buttons[i];
        SendMessageA(button, BM_CLICK, 0, 0);
        if (i + 1 < step.buttons.size())
            ExpectActiveAndTyping(w, nullptr,
                                  std::string(step.caption) + " after " + step.buttons[i]);
    }
}

class ModalFocusTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        // Every "TUTIL32.DLL" of this process is the stand-in, which reports a damaged
        // table so that the problem viewer can be opened.
        static HMODULE standIn = LoadLibraryA("standin\\TUTIL32.DLL");
        ASSERT_NE(standIn, nullptr);
        _putenv("QT_TUTIL_LEVEL=1");
        table = tables.File("Focus.db");
        datatest::MakeTaglineTable(table, datatest::Keys::TagText);
        datatest::AddTaglines(table, {"one", "two", "three"});
        WriteString("DBFile", table);
        WriteString("Warn", "0");
        WriteBytes(sigFile, "Jane Doe\r\n");
    }
    void TearDown() override {
        WindowTest::TearDown();
        _putenv("QT_TUTIL_LEVEL=");
    }
    datatest::TempDir tables;
    std::string table;
};

TEST_F(ModalFocusTest, OwnerIsActiveWithTheFocusAndTheKeysAfterEachModalWindowCloses) {
    struct {
        const char* menuItem;
        int answer; // of the one dialog of the dialogs service the command shows, if any
        std::vector<TStep> steps;
    } const cases[] = {
        {"mnuFileOpen", fw::mrOk, {{"Quiptide Signature Input Form", {"Done"}}}},
        {"mnuSetupConfig", fw::mrNone, {{"Program Options", {}}}},
        {"mnuHelpAbout", fw::mrNone, {{"About Quiptide", {"OK"}}}},
        // The answer Yes views the problems: the viewer is modal over the repair window.
        {"mnuDBPack",
         fw::mrYes,
         {{"Table Repair Utility", {"Verify Table Integrity", "Close"}}, {"Verify", {"Close"}}}},
    };
    TMainForm& f = Create();
    f.Show();
    SetForegroundWindow(f.Handle());
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, TakeStep);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.menuItem);
        f.MemoEditor->SetFocus();
        dialogs.Clear();
        if (c.answer != fw::mrNone)
            dialogs.Answer(c.answer, sigFile);
        g_steps.assign(c.steps.begin(), c.steps.end());
        auto* item = dynamic_cast<fw::TMenuItem*>(f.FindComponent(c.menuItem));
        ASSERT_NE(item, nullptr);
        SendMessageA(f.Handle(), WM_COMMAND, item->Command(), 0);
        EXPECT_TRUE(g_steps.empty());
        EXPECT_EQ(dialogs.Unanswered(), 0u);
        ExpectActiveAndTyping(f.Handle(), f.MemoEditor, c.menuItem);
    }
    KillTimer(nullptr, timer);
}

} // namespace
