// A second process for the locking tests. Usage: LockProbe <table> shared|exclusive [hold]
// Opens the table and exits with 0, or with the engine's status when the open fails.
// With "hold" it keeps the table open, signals the event "QuiptideLockProbeReady" and
// waits for "QuiptideLockProbeRelease" before closing.
#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"

#include <string>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc < 3)
        return 255;
    try {
        fw::TTable table(nullptr);
        table.SetTableName(argv[1]);
        table.SetExclusive(std::string(argv[2]) == "exclusive");
        table.Open();
        if (argc > 3 && std::string(argv[3]) == "hold") {
            HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, "QuiptideLockProbeReady");
            HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "QuiptideLockProbeRelease");
            if (!ready || !release)
                return 254;
            SetEvent(ready);
            WaitForSingleObject(release, 60000);
            CloseHandle(ready);
            CloseHandle(release);
        }
        return 0;
    } catch (const fw::EDBEngineError& e) {
        return e.ErrorCode();
    } catch (...) {
        return 253;
    }
}
