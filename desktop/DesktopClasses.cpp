// Layout support for the registry store, the tray icon, the 3D label and the
// single-instance guard: how their stored properties are set.
#include "desktop/DesktopClasses.h"

#include "desktop/Just1_32.h"
#include "desktop/RegFiles.h"
#include "desktop/RzLabel.h"
#include "desktop/TrayIcon.h"
#include "framework/ClassRegistry.h"

#include <utility>

namespace {

bool SetRegFileProperty(fw::TComponent& c, const std::string& name, const fw::TLayoutValue& v,
                        const fw::TEventTable&) {
    auto& reg = static_cast<TRegFile&>(c);
    if (name == "Key")
        reg.SetKey(v.AsString());
    else if (name == "RootKey") {
        static const char* const roots[] = {"hkClassesRoot", "hkCurrentUser",   "hkLocalMachine",
                                            "hkUsers",       "hkCurrentConfig", "hkDynData"};
        for (int i = 0; i < 6; ++i)
            if (v.AsIdent() == roots[i]) {
                reg.SetRootKey(static_cast<TRootKey>(i));
                return true;
            }
        return false;
    } else
        return false;
    return true;
}

bool SetTrayIconProperty(fw::TComponent& c, const std::string& name, const fw::TLayoutValue& v,
                         const fw::TEventTable& events) {
    auto& tray = static_cast<TTrayIcon&>(c);
    if (name == "Icon") {
        fw::TIcon icon;
        icon.LoadFromResource(GetModuleHandleA(nullptr), v.AsString().c_str());
        tray.SetIcon(std::move(icon)); // copying an icon costs Wine a dozen round trips
    } else if (name == "ToolTip")
        tray.SetToolTip(v.AsString());
    else if (name == "OnClick")
        tray.OnClick = events.Notify(v.AsIdent());
    else if (name == "OnDblClick")
        tray.OnDblClick = events.Notify(v.AsIdent());
    else if (name == "OnRightClick")
        tray.OnRightClick = events.Mouse(v.AsIdent());
    else
        return false;
    return true;
}

} // namespace

void RegisterDesktopClasses() {
    fw::RegisterComponentClass(
        "TRegFile", [](fw::TComponent* owner) -> fw::TComponent* { return new TRegFile(owner); },
        SetRegFileProperty);
    fw::RegisterComponentClass(
        "TTrayIcon", [](fw::TComponent* owner) -> fw::TComponent* { return new TTrayIcon(owner); },
        SetTrayIconProperty);
    fw::RegisterComponentClass<TRzLabel>("TRzLabel");
    // The guard keeps nothing in a layout: its About text is not stored.
    fw::RegisterComponentClass(
        "TJustOne32",
        [](fw::TComponent* owner) -> fw::TComponent* { return new TJustOne32(owner); },
        [](fw::TComponent&, const std::string&, const fw::TLayoutValue&, const fw::TEventTable&) {
            return false;
        });
}
