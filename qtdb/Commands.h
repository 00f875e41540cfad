// qtdb's commands; each returns the exit status and raises Error for the user.
#pragma once

#include "qtdb/Options.h"

namespace qtdb {

int Create(const Options& o);
int Import(const Options& o);
int Export(const Options& o);
int Random(const Options& o);
int Sign(const Options& o);
// Prints every tagline that holds the text; the exit status is 1 when none does.
int Find(const Options& o);
int Stats(const Options& o);
int Spell(const Options& o);
// Prints one line per finding, "level code message"; returns the highest level (0-4).
int Verify(const Options& o);
// Rebuilds the table in place, keeping the original as TABLE_; prints what it kept.
int Rebuild(const Options& o);

// The line ending qtdb writes: the system's own.
#ifdef _WIN32
inline constexpr const char* kEol = "\r\n";
#else
inline constexpr const char* kEol = "\n";
#endif

} // namespace qtdb
