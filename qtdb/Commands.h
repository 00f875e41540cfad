// qtdb's commands; each returns the exit status and raises Error for the user.
#pragma once

#include "qtdb/Options.h"

namespace qtdb {

int Create(const Options& o);
int Import(const Options& o);
int Export(const Options& o);
int Random(const Options& o);
int Sign(const Options& o);
int Stats(const Options& o);
int Spell(const Options& o);

// The line ending qtdb writes: the system's own.
#ifdef _WIN32
inline constexpr const char* kEol = "\r\n";
#else
inline constexpr const char* kEol = "\n";
#endif

} // namespace qtdb
