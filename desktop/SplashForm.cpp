// The splash window: its frame, place and layout, and its one instance from program start
// to the main window's first activation.
#include "desktop/SplashForm.h"

#include "desktop/DesktopClasses.h"
#include "framework/Application.h"
#include "framework/LayoutReader.h"

namespace {

constexpr int kClientWidth = 347;
constexpr int kClientHeight = 130;

TSplashScreen* shown = nullptr;

} // namespace

TSplashScreen::TSplashScreen(fw::TComponent* owner) : TForm(owner) {
    // The first form made becomes the main window; this one only precedes it.
    if (fw::Application().MainForm() == this)
        fw::Application().SetMainForm(nullptr);
    RegisterDesktopClasses();
    Build(fw::LoadLayoutResource("SPLASHFORM"), {});
}

fw::TWinControl::TCreateParams TSplashScreen::CreateParams() const {
    // No taskbar button of its own: the program has one, the main window's.
    return {nullptr, WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOPMOST | WS_EX_TOOLWINDOW};
}

void TSplashScreen::HandleCreated() {
    TForm::HandleCreated();
    PlaceCentred(kClientWidth, kClientHeight);
}

void ShowSplashScreen() {
    if (shown)
        return;
    shown = new TSplashScreen(&fw::Application());
    ShowWindow(shown->Handle(), SW_SHOWNOACTIVATE);
    // Painted now, children too: no message is read until the main window is built.
    RedrawWindow(shown->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void FreeSplashScreen() {
    delete shown; // leaves the application's components as it goes
    shown = nullptr;
}

TSplashScreen* SplashScreen() {
    return shown;
}
