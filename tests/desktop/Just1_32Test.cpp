// The single-instance guard: the names it derives from the program's path, the mutex
// within one process, the guard component ending a start that found an earlier copy, and
// two real processes of a probe program guarded the same way: the second start exits with
// code 0 and brings the first one's window forward, unless the name rules leave no title.
#include "desktop/DesktopClasses.h"
#include "desktop/Just1_32.h"
#include "framework/Forms.h"
#include "framework/Paths.h"
#include "framework/Process.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TEST(GuardNames, TheMutexIsTheFileNamePartWithItsExtension) {
    EXPECT_EQ(GuardMutexName("C:\\Program Files\\Quiptide\\QUIPTIDE.EXE"), "QUIPTIDE.EXE");
    EXPECT_EQ(GuardMutexName("C:QT.EXE"), "QT.EXE");
    EXPECT_EQ(GuardMutexName("\\\\server\\share\\mail.tools\\Quiptide.exe"), "Quiptide.exe");
    EXPECT_EQ(GuardMutexName("Q.EXE"), "Q.EXE");
}

TEST(GuardNames, TheTitleDropsAnUpperCaseExeOnly) {
    EXPECT_EQ(GuardWindowTitle("QUIPTIDE.EXE"), "QUIPTIDE");
    EXPECT_EQ(GuardWindowTitle("Quiptide.EXE"), "Quiptide");
    EXPECT_EQ(GuardWindowTitle("Q.EXE"), "Q");
    EXPECT_EQ(GuardWindowTitle("Quiptide.exe"), "");
    EXPECT_EQ(GuardWindowTitle("Quiptide.Exe"), "");
    EXPECT_EQ(GuardWindowTitle("Quiptide"), "");
}

std::string Unique(const std::string& stem) {
    return stem + std::to_string(GetCurrentProcessId()) + ".EXE";
}

TEST(PreviousInstance, ASingleLetterProgramNamesItsMutexWithAllFiveCharacters) {
    TPreviousInstance guard("C:\\Tools\\Q.EXE");
    EXPECT_EQ(guard.WindowTitle(), "Q");
    HANDLE named = OpenMutexA(SYNCHRONIZE, FALSE, "Q.EXE");
    EXPECT_NE(named, nullptr);
    if (named)
        CloseHandle(named);
}

TEST(PreviousInstance, TheFirstOwnsTheMutexUntilItEnds) {
    const std::string path = "C:\\Guard Test\\" + Unique("OWNER");
    auto first = std::make_unique<TPreviousInstance>(path);
    EXPECT_FALSE(first->Exists());
    EXPECT_NE(first->Mutex(), nullptr);
    EXPECT_EQ(TPreviousInstance::Current(), first.get());
    {
        TPreviousInstance second(path);
        EXPECT_TRUE(second.Exists());
        EXPECT_EQ(second.Mutex(), nullptr) << "a later copy keeps no handle";
        EXPECT_EQ(TPreviousInstance::Current(), first.get());
    }
    first.reset();
    EXPECT_EQ(TPreviousInstance::Current(), nullptr);
    TPreviousInstance next(path);
    EXPECT_FALSE(next.Exists()) << "the name was released with the first";
}

TEST(PreviousInstance, AMutexThatCannotBeMadeLeavesTheGuardOff) {
    const std::string name = Unique("TAKEN");
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, name.c_str()); // the name's other use
    {
        TPreviousInstance guard("C:\\" + name);
        EXPECT_FALSE(guard.Exists());
        EXPECT_EQ(guard.Mutex(), nullptr);
    }
    CloseHandle(event);
    TPreviousInstance tooLong("C:\\" + std::string(300, 'N') + ".EXE");
    EXPECT_FALSE(tooLong.Exists());
    EXPECT_EQ(tooLong.Mutex(), nullptr);
}

// TJustOne32 with its ending recorded instead of carried out.
std::vector<UINT> halts;
class JustOne32Test : public ::testing::Test {
  protected:
    JustOne32Test() : saved_(TJustOne32::Halt) {
        halts.clear();
        TJustOne32::Halt = [](UINT code) { halts.push_back(code); };
    }
    ~JustOne32Test() override { TJustOne32::Halt = saved_; }

  private:
    void (*saved_)(UINT);
};

TEST_F(JustOne32Test, AFirstCopyOrNoCheckAtAllGoesOn) {
    TJustOne32 unchecked(nullptr);
    TPreviousInstance first("C:\\" + Unique("FIRST"));
    TJustOne32 guard(nullptr);
    EXPECT_TRUE(halts.empty());
}

TEST_F(JustOne32Test, AnEarlierCopyEndsThisOneWithZeroFromTheLayout) {
    const std::string lowerCase = "earlier" + std::to_string(GetCurrentProcessId()) + ".exe";
    for (const std::string& name : {Unique("EARLIER"), lowerCase}) {
        HANDLE earlier = CreateMutexA(nullptr, TRUE, name.c_str());
        {
            TPreviousInstance previous("C:\\" + name);
            ASSERT_TRUE(previous.Exists());
            RegisterDesktopClasses();
            fw::TForm form(nullptr);
            form.Build("object F: TForm\n object JustOne: TJustOne32\n end\nend", {});
            EXPECT_EQ(halts, std::vector<UINT>{0}) << name;
            halts.clear();
        }
        CloseHandle(earlier);
    }
}

// Waits for the handle, answering the messages sent to this thread meanwhile (the windows
// of the processes tell each other of activation changes).
bool WaitPumping(HANDLE handle, DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        const DWORD now = GetTickCount();
        const DWORD left = now >= end ? 0 : end - now;
        const DWORD r = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0)
            return true;
        if (r != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
}

template <typename Done> bool WaitUntil(Done done, DWORD ms = 5000) {
    for (DWORD waited = 0; !done(); waited += 50) {
        if (waited >= ms)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(50);
    }
    return true;
}

// One started copy of the probe, ended by the test if it is still running at the end.
class TProbe {
  public:
    explicit TProbe(const std::string& path) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string line = "\"" + path + "\"";
        started_ = CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &si, &pi_);
    }
    ~TProbe() {
        if (!started_)
            return;
        if (!WaitPumping(pi_.hProcess, 0)) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    TProbe(const TProbe&) = delete;
    TProbe& operator=(const TProbe&) = delete;

    bool Started() const { return started_; }
    // Its exit code once it has ended within ms, else STILL_ACTIVE.
    DWORD ExitCode(DWORD ms) {
        DWORD code = STILL_ACTIVE;
        if (WaitPumping(pi_.hProcess, ms))
            GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }
    // Its shown top-level window titled so, once there.
    HWND Window(const std::string& title) {
        HWND found = nullptr;
        WaitUntil([&] {
            for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, title.c_str()); w;
                 w = FindWindowExA(nullptr, w, nullptr, title.c_str())) {
                DWORD process = 0;
                GetWindowThreadProcessId(w, &process);
                if (process == pi_.dwProcessId && IsWindowVisible(w))
                    found = w;
            }
            return found != nullptr;
        });
        return found;
    }

  private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

std::string Title(HWND w) {
    char text[64] = {};
    GetWindowTextA(w, text, sizeof text);
    return text;
}

// Whether a lies above b in the window order.
bool Above(HWND a, HWND b) {
    for (HWND w = GetWindow(b, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        if (w == a)
            return true;
    return false;
}

class TwoCopiesTest : public ::testing::Test {
  protected:
    // The probe's window, once the test has minimized it.
    static HWND MinimizedWindow(TProbe& probe, const std::string& title) {
        HWND w = probe.Window(title);
        if (w) {
            ShowWindow(w, SW_MINIMIZE);
            WaitUntil([&] { return IsIconic(w) != FALSE; });
        }
        return w;
    }
    void SetUp() override {
        const std::string probe = fw::ExtractFilePath(fw::ProgramFileName()) + "just1_probe.exe";
        ASSERT_TRUE(fw::FileExists(probe));
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "guard" + std::to_string(GetCurrentProcessId());
        // One folder for each name: the file system does not tell the two apart.
        for (const char* sub : {"", "\\upper", "\\lower"})
            CreateDirectoryA((dir + sub).c_str(), nullptr);
        upper = dir + "\\upper\\QTPROBE.EXE";
        lower = dir + "\\lower\\qtprobe.exe";
        ASSERT_TRUE(CopyFileA(probe.c_str(), upper.c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(probe.c_str(), lower.c_str(), FALSE));
    }
    void TearDown() override {
        DeleteFileA(upper.c_str());
        DeleteFileA(lower.c_str());
        for (const char* sub : {"\\upper", "\\lower", ""})
            RemoveDirectoryA((dir + sub).c_str());
    }
    std::string dir, upper, lower;
};

TEST_F(TwoCopiesTest, TheSecondStartEndsWithZeroAndRestoresTheMinimizedFirst) {
    TProbe first(upper);
    HWND w = MinimizedWindow(first, "QTPROBE");
    ASSERT_TRUE(w && IsIconic(w));

    TProbe second(upper);
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.ExitCode(15000), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(w); })) << "the first copy is restored";
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(Title(w), "QTPROBE");
    EXPECT_EQ(first.ExitCode(0), DWORD(STILL_ACTIVE)) << "the first copy runs on";
}

TEST_F(TwoCopiesTest, TheSecondStartRaisesTheFirstAboveOtherWindows) {
    TProbe first(upper);
    HWND w = first.Window("QTPROBE");
    ASSERT_NE(w, nullptr);
    RECT r;
    GetWindowRect(w, &r);
    HWND cover = CreateWindowExA(0, "STATIC", "cover", WS_POPUP | WS_VISIBLE, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(Above(cover, w));

    TProbe second(upper);
    EXPECT_EQ(second.ExitCode(15000), 0u);
    EXPECT_TRUE(WaitUntil([&] { return Above(w, cover); })) << "the first copy is on top";
    EXPECT_FALSE(IsIconic(w));
    DestroyWindow(cover);
}

TEST_F(TwoCopiesTest, ALowerCaseExeEndsTheSecondStartWithoutActivatingAnything) {
    TProbe first(lower);
    HWND w = MinimizedWindow(first, "qtprobe");
    ASSERT_TRUE(w && IsIconic(w));

    TProbe second(lower);
    EXPECT_EQ(second.ExitCode(15000), 0u);
    Sleep(300);
    EXPECT_TRUE(IsIconic(w)) << "nothing is restored";
    EXPECT_EQ(Title(w), "qtprobe") << "nothing is renamed";
}

TEST_F(TwoCopiesTest, AStartAfterTheFirstHasEndedIsTheFirstAgain) {
    {
        TProbe first(upper);
        HWND w = first.Window("QTPROBE");
        ASSERT_NE(w, nullptr);
        PostMessageA(w, WM_CLOSE, 0, 0);
        EXPECT_EQ(first.ExitCode(15000), 3u) << "ended normally, from its window";
    }
    TProbe next(upper);
    HWND w = next.Window("QTPROBE");
    ASSERT_NE(w, nullptr) << "it runs as the first copy";
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(next.ExitCode(15000), 3u);
}

} // namespace
