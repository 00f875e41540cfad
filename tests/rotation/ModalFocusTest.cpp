// After each of the program's own modal windows closes, its owner is the foreground window
// again with the focus where it was, and the keys the user types reach it: the main window
// after the signature input form, the options, the about box and the repair window, and
// the repair window after its problem viewer.
#include "DataTestSupport.h"
#include "WindowTest.h"

#include <cstdlib>
#include <deque>
#include <utility>

namespace {

// Acts on the modal windows as a user does, once each is on screen: a queue of steps, each
// waiting for the window with its caption. A step that opens another modal window returns
// only when that one has closed, and the steps behind it run meanwhile.
class TUserHand {
  public:
    using TAct = std::function<void(HWND window)>;
    TUserHand() {
        Current() = this;
        timer_ = SetTimer(nullptr, 0, 30, Tick);
    }
    ~TUserHand() {
        KillTimer(nullptr, timer_);
        Current() = nullptr;
    }
    void When(const char* caption, TAct act) { steps_.push_back({caption, std::move(act)}); }
    size_t Pending() const { return steps_.size(); }

  private:
    struct TStep {
        const char* caption;
        TAct act;
    };
    static TUserHand*& Current() {
        static TUserHand* hand = nullptr;
        return hand;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TUserHand* hand = Current();
        if (!hand || hand->steps_.empty())
            return;
        HWND window = FindWindowA(nullptr, hand->steps_.front().caption);
        if (!window || !IsWindowVisible(window))
            return;
        TAct act = std::move(hand->steps_.front().act);
        hand->steps_.pop_front();
        act(window);
    }
    std::deque<TStep> steps_;
    UINT_PTR timer_;
};

void Click(HWND window, const char* caption) {
    HWND button = FindWindowExA(window, nullptr, "BUTTON", caption);
    ASSERT_NE(button, nullptr) << caption;
    SendMessageA(button, BM_CLICK, 0, 0);
}

void DrainMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// One key typed on the keyboard, as the system delivers it to the foreground window.
void TypeKey(WORD key) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = key;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    for (int i = 0; i < 10; ++i) {
        Sleep(10);
        DrainMessages();
    }
}

// Whether `window` is active with the focus inside it, and a typed key lands in `edit`.
void ExpectActiveAndTyping(HWND window, fw::TWinControl* edit, const char* what) {
    DrainMessages();
    EXPECT_EQ(GetForegroundWindow(), window) << what;
    EXPECT_TRUE(GetFocus() == window || IsChild(window, GetFocus())) << what;
    if (!edit)
        return;
    const std::string before = edit->Caption();
    const auto end = static_cast<WPARAM>(before.size());
    SendMessageA(edit->Handle(), EM_SETSEL, end, static_cast<LPARAM>(end));
    TypeKey('Q');
    EXPECT_EQ(edit->Caption(), before + "q") << what << ": the typed key went elsewhere";
}

struct TModalCase {
    const char* name;
    const char* menuItem;
    // Scripted answers of the dialogs service, then the steps on the windows.
    std::function<void(fw::TScriptedDialogs&, TUserHand&, const std::string& sigFile)> script;
};

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
    const TModalCase cases[] = {
        {"signature input form", "mnuFileOpen",
         [](fw::TScriptedDialogs& d, TUserHand& hand, const std::string& sigFile) {
             d.Answer(fw::mrOk, sigFile);
             hand.When("Quiptide Signature Input Form", [](HWND w) {
                 SendMessageA(
                     FindWindowExA(w, FindWindowExA(w, nullptr, "EDIT", nullptr), "EDIT", nullptr),
                     EM_SETSEL, 0, -1);
                 Click(w, "Done");
             });
         }},
        {"options", "mnuSetupConfig",
         [](fw::TScriptedDialogs&, TUserHand& hand, const std::string&) {
             hand.When("Program Options",
                       [](HWND w) { SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); });
         }},
        {"about box", "mnuHelpAbout",
         [](fw::TScriptedDialogs&, TUserHand& hand, const std::string&) {
             hand.When("About Quiptide", [](HWND w) { Click(w, "OK"); });
         }},
        {"repair window and its problem viewer", "mnuDBPack",
         [](fw::TScriptedDialogs& d, TUserHand& hand, const std::string&) {
             d.Answer(fw::mrYes); // view the problems
             hand.When("Table Repair Utility", [](HWND w) {
                 Click(w, "Verify Table Integrity");
                 ExpectActiveAndTyping(w, nullptr, "repair window after the problem viewer");
                 Click(w, "Close");
             });
             hand.When("Verify", [](HWND w) { Click(w, "Close"); });
         }},
    };
    TMainForm& f = Create();
    f.Show();
    SetForegroundWindow(f.Handle());
    for (const TModalCase& c : cases) {
        SCOPED_TRACE(c.name);
        f.MemoEditor->SetFocus();
        dialogs.Clear();
        TUserHand hand;
        c.script(dialogs, hand, sigFile);
        auto* item = dynamic_cast<fw::TMenuItem*>(f.FindComponent(c.menuItem));
        ASSERT_NE(item, nullptr);
        SendMessageA(f.Handle(), WM_COMMAND, item->Command(), 0);
        EXPECT_EQ(hand.Pending(), 0u);
        EXPECT_EQ(dialogs.Unanswered(), 0u);
        ExpectActiveAndTyping(f.Handle(), f.MemoEditor, c.name);
    }
}

} // namespace
