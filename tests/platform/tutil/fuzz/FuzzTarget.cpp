// libFuzzer entry point for the table utility: built by tools/fuzz.sh, not by the presets.
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "VerifyAndRebuild.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir = [] {
        char pattern[] = "/tmp/tutil-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    tutilfuzz::VerifyAndRebuild(data, size, dir);
    return 0;
}
