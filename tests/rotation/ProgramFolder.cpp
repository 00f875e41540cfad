// The window tests run from a copy of themselves in a fresh program folder that holds
// the starter tagline table, as a user's installation does: the side files, the
// variable list and the table all live next to the program. The copy is made and run
// by this main, and the folder is removed when it ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const char* const kInCopy = "QUIPTIDE_TEST_IN_COPY";

std::string ModuleName() {
    char name[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, name, sizeof name);
    return std::string(name, n);
}

int RunInCopy() {
    namespace fs = std::filesystem;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const fs::path folder =
        fs::path(temp) / ("quiptide-window-tests-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path exe = folder / "Quiptide-tests.exe";
    fs::copy_file(ModuleName(), exe);
    // The starter table with its index files.
    for (const auto& entry : fs::directory_iterator(QUIPTIDE_PROGRAM_DIR))
        if (entry.path().stem() == "Quiptide" && entry.path().extension() != ".exe")
            fs::copy_file(entry.path(), folder / entry.path().filename());

    // The same arguments, behind the copy's name.
    std::string commandLine = "\"" + exe.string() + "\"";
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; i < argc; ++i) {
        char arg[4096];
        WideCharToMultiByte(CP_ACP, 0, argv[i], -1, arg, sizeof arg, nullptr, nullptr);
        commandLine += " \"" + std::string(arg) + "\"";
    }
    LocalFree(argv);

    SetEnvironmentVariableA(kInCopy, "1");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe.string().c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                        nullptr, folder.string().c_str(), &si, &pi)) {
        fprintf(stderr, "cannot start the copy in %s\n", folder.string().c_str());
        return 1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return static_cast<int>(code);
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv(kInCopy))
        return RunInCopy();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
