// The first sixteen bytes of a key as two numbers (zeros past its end). Two keys whose
// heads differ are ordered as their heads are, so the searches through index orders and
// blocks compare heads, kept beside what they search, and look at whole keys only when
// the heads are equal.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>

namespace idp {

struct KeyHead {
    uint64_t high = 0, low = 0;

    static KeyHead Of(const uint8_t* key, size_t length) {
        KeyHead h;
        for (size_t i = 0; i < 16; ++i) {
            uint64_t& part = i < 8 ? h.high : h.low;
            part = part << 8 | (i < length ? key[i] : 0u);
        }
        return h;
    }
    auto operator<=>(const KeyHead&) const = default;
};

} // namespace idp
