// The settings record: read once at start-up, written whole by "Save Settings", when the
// options dialog closes and when the window closes.
#include "rotation/Main.h"

#include "desktop/RegFiles.h"
#include "framework/SysUtils.h"
#include "framework/Variant.h"
#include "rotation/Cycling.h"

using fw::Variant;

void TMainForm::ReadRegistry() {
    Sequencer = Reg->ReadValueDef("Sequencer", Variant("Random")).AsString();
    Frequency = Reg->ReadValueDef("Frequency", Variant("Daily")).AsString();
    SpawnPrg = Reg->ReadValueDef("SpawnPrg", Variant("")).AsString();
    Spawn = Reg->ReadValueDef("Spawn", Variant(false)).AsBoolean();
    Warn = Reg->ReadValueDef("Warn", Variant(true)).AsBoolean();
    SigFile = Reg->ReadValueDef("SigFile", Variant("")).AsString();
    DBFile = Reg->ReadValueDef("DBFile", Variant(ProgramDir + "Quiptide.db")).AsString();
    Date = Reg->ReadValueDef("Date", Variant(fw::DateToStr())).AsString();
    Interval = Reg->ReadValueDef("Interval", Variant(5)).AsInteger();
    ToolBar = Reg->ReadValueDef("ToolBar", Variant(true)).AsBoolean();
    Hints = Reg->ReadValueDef("Hints", Variant(true)).AsBoolean();
    Tray = Reg->ReadValueDef("Tray", Variant(true)).AsBoolean();
    TagPos = Reg->ReadValueDef("TagPos", Variant(false)).AsBoolean();
    CustDate = Reg->ReadValueDef("CustDate", Variant("mmm dd, yy")).AsString();
    CustTime = Reg->ReadValueDef("CustTime", Variant("tt")).AsString();
}

void TMainForm::mnuFileSaveSettingsClick(fw::TComponent*) {
    Reg->WriteValue("Sequencer", Variant(Sequencer));
    // A demonstration's temporary "Demo" is never stored; the frequency it replaced is.
    Reg->WriteValue("Frequency", Variant(FrequencyToSave(Frequency, PrevFrequency)));
    Reg->WriteValue("SpawnPrg", Variant(SpawnPrg));
    Reg->WriteValue("Spawn", Variant(Spawn));
    Reg->WriteValue("Warn", Variant(Warn));
    Reg->WriteValue("SigFile", Variant(SigFile));
    Reg->WriteValue("DBFile", Variant(DBFile));
    Reg->WriteValue("Date", Variant(Date));
    Reg->WriteValue("Interval", Variant(Interval));
    Reg->WriteValue("Hints", Variant(Hints));
    Reg->WriteValue("ToolBar", Variant(ToolBar));
    Reg->WriteValue("Tray", Variant(Tray));
    Reg->WriteValue("PosTop", Variant(Top()));
    Reg->WriteValue("PosLeft", Variant(Left()));
    Reg->WriteValue("TagPos", Variant(TagPos));
    Reg->WriteValue("CustDate", Variant(CustDate));
    Reg->WriteValue("CustTime", Variant(CustTime));
}
