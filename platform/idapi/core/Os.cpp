// Parts of the operating-system layer that are the same on every platform.
#include "Os.h"

#include "Status.h"

namespace idp::os {

namespace {
fault::Mode mode = fault::Mode::Off;
long keepSteps = 0, steps = 0;
bool struck = false;
} // namespace

namespace fault {

void Arm(Mode m, long keep) {
    mode = m;
    keepSteps = keep;
    steps = 0;
    struck = false;
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

} // namespace fault

bool StepAllowed(const std::string& path) {
    if (mode == fault::Mode::Off)
        return true;
    if (steps++ < keepSteps)
        return true;
    struck = true;
    if (mode == fault::Mode::Fail)
        throw EngineError(IDP_ERR_IO, "File: " + path);
    return false;
}

File::File(File&& other) noexcept {
    *this = std::move(other);
}

} // namespace idp::os
