// Helper process of the Windows engine tests: opens the table named on its command line
// exclusively, signals "ready", and holds the table until told to let go.
#include <windows.h>

#include "idapi.h"

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    IdpCursor cursor = nullptr;
    if (idpOpenTable(argv[1], IDP_OPEN_EXCLUSIVE, &cursor) != IDP_OK)
        return 1;
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, "QuiptideEngineTestReady");
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, "QuiptideEngineTestRelease");
    ::SetEvent(ready);
    ::WaitForSingleObject(release, 30000);
    idpCloseTable(cursor);
    ::CloseHandle(ready);
    ::CloseHandle(release);
    return 0;
}
