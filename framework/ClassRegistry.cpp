// The registry of layout classes, with the framework's own controls entered at first use.
#include "framework/ClassRegistry.h"

#include "framework/CheckBox.h"
#include "framework/Edit.h"
#include "framework/Exception.h"
#include "framework/GlyphButtons.h"
#include "framework/GroupBox.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Memo.h"
#include "framework/Menus.h"
#include "framework/PageControl.h"
#include "framework/Panel.h"
#include "framework/PushButton.h"
#include "framework/RadioGroup.h"
#include "framework/StatusBar.h"
#include "framework/TabSheet.h"
#include "framework/Timer.h"

#include <map>

namespace fw {

namespace {

std::map<std::string, TComponentClass>& Registry() {
    static std::map<std::string, TComponentClass> registry;
    static bool filled = false;
    if (!filled) {
        filled = true;
        // Entered through the public call, which finds the map made already.
        RegisterComponentClass<TMainMenu>("TMainMenu");
        RegisterComponentClass<TPopupMenu>("TPopupMenu");
        RegisterComponentClass<TMenuItem>("TMenuItem");
        RegisterComponentClass<TPanel>("TPanel");
        RegisterComponentClass<TTimer>("TTimer");
        RegisterComponentClass<TMemo>("TMemo");
        RegisterComponentClass<TButton>("TButton");
        RegisterComponentClass<TBitBtn>("TBitBtn");
        RegisterComponentClass<TSpeedButton>("TSpeedButton");
        RegisterComponentClass<TGroupBox>("TGroupBox");
        RegisterComponentClass<TStatusBar>("TStatusBar");
        RegisterComponentClass<TPageControl>("TPageControl");
        RegisterComponentClass<TTabSheet>("TTabSheet");
        RegisterComponentClass<TRadioGroup>("TRadioGroup");
        RegisterComponentClass<TCheckBox>("TCheckBox");
        RegisterComponentClass<TEdit>("TEdit");
        RegisterComponentClass<TLabel>("TLabel");
        RegisterComponentClass<TImage>("TImage");
    }
    return registry;
}

} // namespace

void RegisterComponentClass(const std::string& className, TComponentFactory make,
                            TPropertySetter set) {
    Registry()[className] = {std::move(make), std::move(set)};
}

const TComponentClass& FindComponentClass(const std::string& className) {
    auto it = Registry().find(className);
    if (it == Registry().end())
        throw Exception("Class " + className + " not found");
    return it->second;
}

} // namespace fw
