// libFuzzer entry point: built by tools/fuzz.sh, not by the CMake presets.
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "OpenAndRead.h"

namespace {

std::string ScratchDir() {
    static std::string dir = [] {
        char pattern[] = "/tmp/idapi-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    idpfuzz::OpenAndRead(data, size, ScratchDir());
    return 0;
}
