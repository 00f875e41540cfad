// Debian's static pxlib refers to four libgsf stream functions, used only when a table is
// opened through a GSF stream, which these tests never do. libgsf is not needed for
// anything else, so these stand-ins satisfy the linker instead of another package.
#include <cstddef>

extern "C" {
void* gsf_input_read(void*, size_t, void*) {
    return nullptr;
}
int gsf_input_seek(void*, long, int) {
    return 1;
}
long gsf_input_tell(void*) {
    return -1;
}
int gsf_output_write(void*, size_t, const void*) {
    return 0;
}
}
