// TSplashScreen: the borderless window with the logo, the company and product names and
// the copyright line, shown on top of everything while the program starts.
#pragma once

#include "framework/Forms.h"

class TSplashScreen : public fw::TForm {
  public:
    // Built from its stored layout, centred on the screen; not shown yet. Never the
    // application's main window.
    explicit TSplashScreen(fw::TComponent* owner);

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;
};

// Creates the splash window, owned by the application, and shows it painted at once
// without activating it. Does nothing while one is shown.
void ShowSplashScreen();
// Destroys the splash window; nothing when there is none (any later call).
void FreeSplashScreen();
// The splash window while it exists, else null.
TSplashScreen* SplashScreen();
