// The library's progress reports stay inside the buffers the program registers: a message
// of any length is cut to its room with its NUL, and nothing past the room is touched.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "dll/ProgressBuffers.h"

namespace {

TEST(TutilProgressBuffers, AMessageOfAnyLengthStaysInsideItsRoom) {
    for (const size_t length : std::vector<size_t>{0, 1, 127, 128, 129, 260, 261, 400}) {
        SCOPED_TRACE(length);
        const std::string message(length, 'm');
        struct Kind {
            size_t size, at, room, after; // after: the first byte past the message's room
            std::function<void(uint8_t*)> fill;
        };
        const Kind kinds[] = {
            {TU_VCB_SIZE, TU_VCB_MESSAGE, TU_VCB_MESSAGE_LEN, TU_VCB_PHASE,
             [&](uint8_t* b) { tutil::dll::FillVerifyBuffer(b, 50, 7, message, 1, 2); }},
            {TU_RCB_SIZE, TU_RCB_MESSAGE, TU_RCB_MESSAGE_LEN, TU_RCB_SIZE,
             [&](uint8_t* b) { tutil::dll::FillRebuildBuffer(b, -1, message); }},
        };
        for (const Kind& k : kinds) {
            std::vector<uint8_t> bytes(k.size + 32, 0xAA);
            k.fill(bytes.data());
            EXPECT_TRUE(std::all_of(bytes.begin() + static_cast<long>(k.size), bytes.end(),
                                    [](uint8_t c) { return c == 0xAA; }));
            EXPECT_EQ(message.substr(0, k.room - 1),
                      std::string(reinterpret_cast<const char*>(&bytes[k.at])));
            if (k.after < k.size) { // the verify report's phase follows its message
                EXPECT_EQ(7, bytes[k.after]);
            }
        }
    }
}

} // namespace
