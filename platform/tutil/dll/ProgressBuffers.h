// The progress buffers the library fills before each callback, laid out as tutil.h says.
// Every write stays inside its buffer: a message is cut to its room, NUL included.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/Bytes.h"
#include "tutil.h"

namespace tutil::dll {

// text into room bytes at to, cut to room - 1 characters and NUL-terminated.
inline void PutText(uint8_t* to, size_t room, const std::string& text) {
    const size_t n = std::min(text.size(), room - 1);
    std::memcpy(to, text.data(), n);
    to[n] = 0;
}

// The TU_VCB_SIZE bytes of a verify report.
inline void FillVerifyBuffer(uint8_t* b, int percent, int phase, const std::string& msg, int index,
                             int count) {
    std::memset(b, 0, TU_VCB_SIZE);
    idp::PutU16(b + TU_VCB_VALUE, static_cast<uint16_t>(percent));
    PutText(b + TU_VCB_MESSAGE, TU_VCB_MESSAGE_LEN, msg);
    b[TU_VCB_PHASE] = static_cast<uint8_t>(phase);
    idp::PutU16(b + TU_VCB_INDEX, static_cast<uint16_t>(index * 256));
    idp::PutU16(b + TU_VCB_INDEX_COUNT, static_cast<uint16_t>(count * 256));
}

// The TU_RCB_SIZE bytes of a rebuild report.
inline void FillRebuildBuffer(uint8_t* b, int percent, const std::string& msg) {
    std::memset(b, 0, TU_RCB_SIZE);
    idp::PutU16(b + TU_RCB_VALUE, static_cast<uint16_t>(static_cast<int16_t>(percent)));
    PutText(b + TU_RCB_MESSAGE, TU_RCB_MESSAGE_LEN, msg);
}

static_assert(TU_VCB_MESSAGE + TU_VCB_MESSAGE_LEN <= TU_VCB_PHASE,
              "the message runs into the phase");
static_assert(TU_RCB_MESSAGE + TU_RCB_MESSAGE_LEN <= TU_RCB_SIZE,
              "the message runs past the buffer");

} // namespace tutil::dll
