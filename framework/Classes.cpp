// The framework's component classes that stored layouts may name.
#include "framework/Buttons.h"
#include "framework/ComCtrls.h"
#include "framework/DBCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"

namespace fw {

void RegisterFrameworkClasses() {
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
    RegisterComponentClass<TDBLookupComboBox>("TDBLookupComboBox");
    RegisterComponentClass<TDBMemo>("TDBMemo");
    RegisterComponentClass<TDBNavigator>("TDBNavigator");
}

} // namespace fw
