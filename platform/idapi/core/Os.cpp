// Parts of the operating-system layer that are the same on every platform.
#include "Os.h"

namespace idp::os {

namespace {
long writesLeft = -1;
}

void FailWritesAfter(long count) {
    writesLeft = count;
}

bool WriteAllowed() {
    if (writesLeft < 0)
        return true;
    if (writesLeft == 0)
        return false;
    --writesLeft;
    return true;
}

File::File(File&& other) noexcept {
    *this = std::move(other);
}

} // namespace idp::os
