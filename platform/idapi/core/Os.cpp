// Parts of the operating-system layer that are the same on every platform.
#include "Os.h"

#include "Status.h"

namespace idp::os {

namespace {
fault::Mode mode = fault::Mode::Off;
long keepSteps = 0, steps = 0;
bool struck = false;
bool torn = false;
fault::Tear tear;
} // namespace

namespace fault {

void Arm(Mode m, long keep) {
    mode = m;
    keepSteps = keep;
    steps = 0;
    struck = false;
    torn = false;
}

void Disarm() {
    mode = Mode::Off;
}

long Steps() {
    return steps;
}

bool Struck() {
    return struck;
}

const Tear* Torn() {
    return torn ? &tear : nullptr;
}

} // namespace fault

bool StepAllowed(const std::string& path) {
    if (mode == fault::Mode::Off)
        return true;
    if (steps++ < keepSteps || (mode == fault::Mode::FailOnce && struck))
        return true;
    struck = true;
    if (mode == fault::Mode::Fail || mode == fault::Mode::FailOnce)
        throw EngineError(IDP_ERR_IO, "File: " + path);
    return false;
}

size_t WriteAllowed(const std::string& path, uint64_t offset, const void* buffer, size_t count) {
    const bool tearing = mode == fault::Mode::TornWrite && !struck && steps >= keepSteps;
    if (StepAllowed(path))
        return count;
    if (!tearing)
        return 0;
    torn = true;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    tear = {path, offset, std::vector<uint8_t>(bytes, bytes + count)};
    return count / 2;
}

File::File(File&& other) noexcept {
    *this = std::move(other);
}

} // namespace idp::os
