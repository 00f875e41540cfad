// The scripted answers behind ScriptedSpeller: a hook the control calls with its dialog.
#include "ScriptedSpeller.h"

#include "platform/speller/dll/VSpell.h"

#include <cstring>
#include <stdexcept>

namespace spelltest {
namespace {

struct Reply {
    int answer;
    std::string replacement;
};
std::deque<Reply> g_replies, g_options;
std::vector<Asked> g_asked;
std::vector<Shown> g_optionsShown, g_errors;
HMODULE g_dll = nullptr;

// The next reply of `queue`, or `otherwise` when it is empty.
Reply Next(std::deque<Reply>& queue, int otherwise) {
    if (queue.empty())
        return {otherwise, {}};
    Reply r = queue.front();
    queue.pop_front();
    return r;
}

int WINAPI Hook(HWND dialog, const char* text, const char* list, char* reply, int size) {
    char title[256] = "", cls[64] = "", over[64] = "";
    GetWindowTextA(dialog, title, sizeof title);
    GetClassNameA(dialog, cls, sizeof cls);
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner && IsWindowVisible(owner))
        GetClassNameA(owner, over, sizeof over);
    Reply r{IDOK, {}};
    if (std::string(cls) == vspell::kErrorClass) {
        g_errors.push_back({title, text, over});
    } else if (std::string(cls) == vspell::kOptionsClass) {
        g_optionsShown.push_back({title, list, over});
        r = Next(g_options, IDCANCEL);
    } else {
        g_asked.push_back({text, title, list});
        r = Next(g_replies, vspell::ansCancel);
    }
    strncpy(reply, r.replacement.c_str(), static_cast<size_t>(size) - 1);
    return r.answer;
}

using THook = void(WINAPI*)(vspell::AnswerHook);
using TRegister = HRESULT(STDAPICALLTYPE*)();

template <typename T> T Export(const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(g_dll, name)));
}

} // namespace

ScriptedSpeller::ScriptedSpeller() {
    g_dll = LoadLibraryA("VSPELL32.DLL");
    if (!g_dll)
        throw std::runtime_error("VSPELL32.DLL not found");
    if (FAILED(Export<TRegister>("DllRegisterServer")()))
        throw std::runtime_error("VSPELL32.DLL not registered");
    Export<THook>("VSpellAnswerHook")(Hook);
    Clear();
}

ScriptedSpeller::~ScriptedSpeller() {
    Export<THook>("VSpellAnswerHook")(nullptr);
    FreeLibrary(g_dll);
}

void ScriptedSpeller::Answer(int answer, const std::string& replacement) {
    g_replies.push_back({answer, replacement});
}
void ScriptedSpeller::AnswerOptions(const std::string& settings, int button) {
    g_options.push_back({button, settings});
}
const std::vector<Asked>& ScriptedSpeller::AskedAbout() const {
    return g_asked;
}
const std::vector<Shown>& ScriptedSpeller::OptionsShown() const {
    return g_optionsShown;
}
const std::vector<Shown>& ScriptedSpeller::ErrorsShown() const {
    return g_errors;
}
void ScriptedSpeller::Clear() {
    g_replies.clear();
    g_options.clear();
    g_asked.clear();
    g_optionsShown.clear();
    g_errors.clear();
}

std::string FreshAppData() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char dir[MAX_PATH];
    GetTempFileNameA(temp, "vsp", 0, dir);
    DeleteFileA(dir);
    CreateDirectoryA(dir, nullptr);
    SetEnvironmentVariableA("APPDATA", dir);
    return std::string(dir) + "\\Quiptide\\UserWords.txt";
}

} // namespace spelltest
