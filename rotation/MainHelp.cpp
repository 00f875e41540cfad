// The Help menu: the help file's contents, its search, and the revision history topic.
#include "rotation/Main.h"

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
