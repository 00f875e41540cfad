// A tiny program for tests that start programs: it leaves "<its own path>.ran" behind.
#include <windows.h>

#include <string>

int main() {
    char path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string marker = std::string(path, n) + ".ran";
    HANDLE f = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(f);
    return 0;
}
