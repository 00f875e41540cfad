// For the single-instance tests: a program guarded as Quiptide is. It shows a window titled
// after its own file name without the extension, built from a layout that holds the guard
// component, and ends with exit code 3 when that window is closed; a second copy ends
// inside the guard, before its window exists.
#include "desktop/DesktopClasses.h"
#include "desktop/Just1_32.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/Process.h"

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TPreviousInstance previous(fw::ProgramFileName());
    const std::string name = GuardMutexName(fw::ProgramFileName());
    const std::string title = name.substr(0, name.find_last_of('.'));
    fw::TApplication& app = fw::Application();
    app.SetTitle(title);
    app.Handle(); // a hidden window with the same title, as a program may have
    RegisterDesktopClasses();
    fw::TForm form(nullptr);
    form.Build("object Probe: TForm\n  object JustOne: TJustOne32\n  end\nend", {});
    form.SetCaption(title);
    form.SetBounds(200, 150, 320, 200);
    app.Run();
    return 3;
}
