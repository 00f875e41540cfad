// The Help menu: the help file's contents, its search, the revision history topic and
// the about box.
#include "rotation/Main.h"

#include "desktop/About.h"
#include "framework/Application.h"

void TMainForm::HelpContents(fw::TComponent*) {
    fw::Application().HelpCommand(HELP_CONTENTS, 0);
}

void TMainForm::HelpSearch(fw::TComponent*) {
    static const char empty[] = "";
    fw::Application().HelpCommand(HELP_PARTIALKEY, reinterpret_cast<uintptr_t>(empty));
}

void TMainForm::mnuHelpRevisionHistoryClick(fw::TComponent*) {
    fw::Application().HelpContext(5);
}

void TMainForm::HelpAbout(fw::TComponent*) {
    TAboutBox about(this);
    about.ShowModal();
}
