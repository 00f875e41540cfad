// The application object: title, help file, the minimize event, showing, hiding and
// restoring the main window, the message loop, and the general error display that
// shows any uncaught exception of a handler in a message box and lets the program go on.
#pragma once

#include "framework/Component.h"
#include "framework/Events.h"

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace fw {

class TForm;

class TApplication : public TComponent {
  public:
    TApplication();
    ~TApplication() override;

    // Back to the state of a fresh start (title, help file, events, help handler,
    // terminate flag).
    void Initialize();

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& file) { helpFile_ = file; }
    // Shows help for a WinHelp command (HELP_CONTENTS, HELP_PARTIALKEY, HELP_CONTEXT) on a
    // help file, owned by a window; false when the request cannot be met. The program
    // installs its help viewer here; without one there is no help.
    using THelpHandler =
        std::function<bool(HWND owner, const std::string& file, unsigned command, uintptr_t data)>;
    THelpHandler OnHelp;
    // Runs a WinHelp command on HelpFile through OnHelp.
    bool HelpCommand(unsigned command, uintptr_t data);
    bool HelpContext(int context) { return HelpCommand(HELP_CONTEXT, context); }

    // The show command the program was started with (SW_ values).
    int ShowCmd() const { return showCmd_; }
    void SetShowCmd(int cmd) { showCmd_ = cmd; }

    TNotifyEvent OnMinimize;
    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }
    // The application's own hidden window, made when first asked for: the owner of pop-up
    // menus, which takes the foreground for the tray icon's menu.
    HWND Handle();
    // The window that owns modal boxes: the active window of this thread, else the main form.
    HWND ActiveWindow() const;
    HFONT Font();
    // While a slow operation runs, the framework's windows show the hourglass, also after
    // a box or dialog in between has set the pointer back (counted, for nesting).
    void BeginWait();
    void EndWait();
    bool Waiting() const { return waits_ > 0; }

    // The main window goes to the taskbar (raising OnMinimize), leaves the screen and the
    // taskbar altogether, comes back, or comes to the foreground.
    void Minimize();
    void Hide();
    void Restore();
    void BringToFront();
    // Called by the main form when the system minimized it.
    void DoMinimize();

    void Run();
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // The general error display.
    void HandleException(const std::exception& e);
    // Runs fn; an exception it raises goes to the general error display. False then.
    bool Protect(const std::function<void()>& fn);

  private:
    HWND MainHandle() const;

    std::string title_;
    std::string helpFile_;
    int showCmd_ = SW_SHOWDEFAULT;
    TForm* mainForm_ = nullptr;
    HWND handle_ = nullptr;
    HFONT font_ = nullptr;
    bool terminated_ = false;
    int waits_ = 0;
};

// The hourglass for a scope, however the scope ends.
class TWaitCursor {
  public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

TApplication& Application();

} // namespace fw
