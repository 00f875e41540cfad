// The work of the table utility's fuzz target and of its corpus replay: untrusted bytes
// stored as a table, verified, and where verification allows it rebuilt (the file is a
// scratch copy) and verified again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tutilfuzz {

// Writes the input into dir as "F.db" (what follows a "QTPX" in it as "F.px"), verifies
// it into an error table and, at levels 1 and 2, rebuilds it. Returns the level; aborts when a rebuilt table does not verify
// clean, the promise a rebuild makes.
int VerifyAndRebuild(const uint8_t* data, size_t size, const std::string& dir);

} // namespace tutilfuzz
