// Batch move: every row of one table into another, columns by position, with the rows
// that cannot go in collected in side tables.
#pragma once

#include <string>

#include "../idapi.h"
#include "Cursor.h"

namespace idp {

struct MoveOptions {
    uint16_t mode = IDP_MOVE_APPEND;
    std::string keyViolTable, problemTable, changedTable; // empty: not kept
    bool abortOnKeyViol = false;
    bool abortOnProblem = false;
};

// Moves the rows; counts are filled as the move goes, so they hold even when it throws.
void BatchMove(Cursor& source, Cursor& destination, const MoveOptions& options,
               IdpMoveCounts& counts);

} // namespace idp
