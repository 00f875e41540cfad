// Runs an engine operation once for every step at which the file layer can fail or lose
// power, each time on the same starting files, and checks what survives against the rows
// committed before the operation.
#pragma once

#include <functional>
#include <set>
#include <string>

#include "TestTables.h"
#include "core/Os.h"

namespace idptest {

// What an operation may change: rows it adds and rows it takes away (an edit does both).
struct Effect {
    std::set<std::string> added, removed;
    bool replaces = false; // the removed row comes back as the added one: one of them stays
};

struct Operation {
    // Builds the starting tables in a folder (nothing armed).
    std::function<void(const ScratchDir&)> setup;
    // The operation on the folder's tables, from opening them to closing them; the
    // first status that was not IDP_OK.
    std::function<IdpStatus(const ScratchDir&)> run;
    std::string table = "Tags.db"; // the table whose rows are checked
    Effect effect;
    // The indexes the checked table has (unset: those it had before).
    size_t indexes = 0;
    // Where the rows are when the checked table is gone (the backup of a rebuild).
    std::string fallback;
    // A table of the folder the operation must leave exactly as it was.
    std::string bystander;
};

// The operations checked, on tagline tables that span many blocks.
Operation PostInsert();
Operation PostAppendUnkeyed();
Operation PostEdit();
Operation DeleteRow();
Operation DeleteRun();
Operation BatchMoveIn();
Operation CreateBeside();
Operation RebuildInPlace();

// Rows of the tagline layout: "row 0000" upwards, in key order.
std::string RowText(int i);
// Creates the tagline table with rows [0, count).
void FillTagTable(const std::string& path, int count, bool withIndexes = true);
// Opens, moves count rows on from the first, runs what and closes; the first failure.
IdpStatus AtRow(const std::string& path, int count,
                const std::function<IdpStatus(IdpCursor)>& what);

// What reopening a table shows after the operation.
struct Reading {
    IdpStatus open = IDP_OK;
    IdpStatus end = IDP_OK;    // how reading stopped (IDP_ERR_EOF when it went through)
    IdpStatus change = IDP_OK; // a post of a fresh row afterwards
    std::string invariants;    // the engine's own check of the table in memory
    size_t indexes = 0;        // the indexes the open table knows
    std::vector<std::string> rows;
};
Reading ReadBack(const std::string& path);

// Runs op for keep = 0, 1, ... steps until a run takes no hit, checking the promise each
// time; returns how many runs were cut short.
int EveryStep(idp::os::fault::Mode mode, const Operation& op);

} // namespace idptest
