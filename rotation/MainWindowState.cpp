// Minimizing the main window to the notification area, restoring it, and the tray menu.
#include "rotation/Main.h"

#include "desktop/TrayIcon.h"

#include "framework/Application.h"

void TMainForm::AppOnMinimize(fw::TComponent*) {
    // Hidden, the window has no taskbar button: only the tray icon remains. Without the
    // tray the system has already put the window on the taskbar; without a tray icon (a
    // start-up that ended early) hiding would leave no way back to the window.
    if (Tray && TrayIcon1->Active())
        fw::Application().Hide();
}

void TMainForm::popTrayRestoreClick(fw::TComponent*) {
    if (Frequency == "Demo")
        return;
    fw::Application().Restore();
    fw::Application().BringToFront();
}

void TMainForm::popTrayMinimizeClick(fw::TComponent*) {
    fw::Application().Minimize();
}

void TMainForm::TrayIcon1RightClick(fw::TComponent*, fw::TMouseButton, fw::TShiftState, int x,
                                    int y) {
    if (Frequency == "Demo")
        return;
    popTray->Popup(x + 25, y);
}
