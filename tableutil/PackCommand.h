// The "Pack / Verify DB" command: the tagline table closed and the timer stopped while
// the table utility window is open on it; afterwards the rebuild's backup in the program
// folder deleted, the table reopened, the signature reloaded and the timer restored.
#pragma once

#include "framework/Component.h"
#include "tableutil/TableUtilHost.h"

// The table utility window is owned by owner (the host's window) while it is shown.
void RunPackVerify(fw::TComponent* owner, TTableUtilHost& host);
