// A call into a run-time loaded library made so that a processor fault inside it (an
// access violation, a division by zero, any exception of error severity that nothing
// inside handles) ends the call with a description instead of ending the program.
#pragma once

#include <exception>
#include <string>
#include <type_traits>

namespace faultguard {

// Runs fn(arg) behind an exception frame of its own. fn must not let a C++ exception out.
// Returns false and describes the fault in fault when one ended the call; the frames of
// the call are then abandoned, as the library left them.
bool RunGuarded(void (*fn)(void*), void* arg, std::string& fault);

// Runs call(); its own C++ exception comes out after the guarded frame has been left.
template <typename TCall> bool Guarded(TCall&& call, std::string& fault) {
    struct TFrame {
        std::remove_reference_t<TCall>& call;
        std::exception_ptr error;
    } frame{call, nullptr};
    const bool ran = RunGuarded(
        [](void* p) {
            auto& f = *static_cast<TFrame*>(p);
            try {
                f.call();
            } catch (...) {
                f.error = std::current_exception();
            }
        },
        &frame, fault);
    if (frame.error)
        std::rethrow_exception(frame.error);
    return ran;
}

} // namespace faultguard
