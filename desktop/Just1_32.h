// The single-instance guard. TPreviousInstance, made once at program start, takes a
// mutex named after the program file and so learns whether another copy runs already;
// TJustOne32, a component on the main window, then brings that copy's window forward and
// ends this start before anything is read or written.
#pragma once

#include "framework/Component.h"

#include <windows.h>

#include <string>

// The mutex name: the program file's name part (after the last ":" or "\"), extension and all.
std::string GuardMutexName(const std::string& programPath);
// The title the running copy's window bears: a name part holding ".EXE" (upper case
// only) without its last four characters; empty for any other name.
std::string GuardWindowTitle(const std::string& mutexName);

class TPreviousInstance {
  public:
    // Runs the check for the program at that path. The first one made (and not yet
    // destroyed) is the run's own, the one TJustOne32 reads.
    explicit TPreviousInstance(const std::string& programPath);
    // Closes the mutex, if this copy owns it: the next start is the first again.
    ~TPreviousInstance();
    TPreviousInstance(const TPreviousInstance&) = delete;
    TPreviousInstance& operator=(const TPreviousInstance&) = delete;

    const std::string& WindowTitle() const { return windowTitle_; }
    // True when another copy held the mutex name; this one then holds no handle.
    bool Exists() const { return exists_; }
    HANDLE Mutex() const { return mutex_; }

    static TPreviousInstance* Current();

  private:
    std::string windowTitle_;
    HANDLE mutex_ = nullptr;
    bool exists_ = false;
};

// Activates the earlier copy's window: the first top-level window of another process
// titled `title` (compared as the system's window search does, without regard to case)
// that is shown or minimized. Restored when minimized, else raised to the top. Returns
// that window, or null when there is none.
HWND ActivatePreviousWindow(const std::string& title);

class TJustOne32 : public fw::TComponent {
  public:
    // When an earlier copy runs: activates its window and ends this program with exit
    // code 0, at once.
    explicit TJustOne32(fw::TComponent* owner);

    std::string About = "One running copy of the program at a time"; // for a designer only

    // How the program ends; tests put a recorder here. ExitProcess: nothing of the
    // half-built main window runs, and the system releases all the process holds.
    static void (*Halt)(UINT exitCode);
};
