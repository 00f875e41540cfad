// TAboutBox: the modal "About Quiptide" window with the program icon, the product name
// and version, the copyright and company lines and where to report problems and find the
// latest version. The OK button closes it.
#pragma once

#include "framework/Forms.h"
#include "framework/Label.h"

class TAboutBox : public fw::TForm {
  public:
    // Built from its stored layout, centred on the screen; show it with ShowModal.
    explicit TAboutBox(fw::TComponent* owner);

    fw::TLabel* Label1; // the version, from the build

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;
};
