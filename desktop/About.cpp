// The about window: its dialog frame and place, its layout, and the version line filled in
// from the build's version.
#include "desktop/About.h"

#include "framework/Exception.h"
#include "framework/LayoutReader.h"

#include "QuiptideVersion.h"

namespace {

constexpr int kClientWidth = 257;
constexpr int kClientHeight = 132;

} // namespace

TAboutBox::TAboutBox(fw::TComponent* owner) : TForm(owner) {
    Build(fw::LoadLayoutResource("ABOUTBOX"), {});
    Label1 = dynamic_cast<fw::TLabel*>(FindComponent("Label1"));
    if (!Label1)
        throw fw::Exception("Component Label1 missing from the about box's layout");
    Label1->SetCaption("Version " QUIPTIDE_VERSION);
}

fw::TWinControl::TCreateParams TAboutBox::CreateParams() const {
    return {nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
            WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};
}

void TAboutBox::HandleCreated() {
    TForm::HandleCreated();
    PlaceCentred(kClientWidth, kClientHeight);
}
