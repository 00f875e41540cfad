// The "american.vtd" file: a header, then each word as the length it shares with the word
// before, the rest of its bytes, and its rank. Words are sorted by folded form, then form.
#pragma once

#include "platform/speller/core/WordTable.h"

#include <string>
#include <string_view>

namespace spell {

// The file's bytes for a table already in order.
std::string EncodeVtd(const WordTable& table);
// The table back from the file's bytes; throws Error naming `name` for anything damaged.
WordTable DecodeVtd(std::string_view bytes, const std::string& name);

} // namespace spell
