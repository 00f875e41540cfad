// The main window's "Pack / Verify DB" command, handed to the table utility, and the
// reopening of the tagline table that the command asks of the window.
#include "rotation/Main.h"

#include "tableutil/PackCommand.h"
#include "taglinedb/TaglineDatabase.h"

void TMainForm::mnuDBPackClick(fw::TComponent*) {
    RunPackVerify(this, *this);
}

void TMainForm::ReopenTaglineTable() {
    Taglines->OpenDatabase(Table1, DBFile);
}
