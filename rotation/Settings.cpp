// The settings record: read once at start-up, written whole by "Save Settings" and when
// the window closes.
#include "rotation/Main.h"

#include "desktop/RegFiles.h"
#include "framework/DateFormat.h"
#include "framework/Variant.h"
#include "rotation/Cycling.h"
#include "rotation/SettingsReader.h"

using fw::Variant;

void TMainForm::ReadRegistry() {
    TSettingsReader read(*Reg);
    Sequencer = read.String("Sequencer", "Random");
    Frequency = read.String("Frequency", "Daily");
    SpawnPrg = read.String("SpawnPrg", "");
    Spawn = read.Boolean("Spawn", false);
    Warn = read.Boolean("Warn", true);
    SigFile = read.String("SigFile", "");
    DBFile = read.String("DBFile", ProgramDir + "Quiptide.db");
    Date = read.String("Date", fw::DateToStr());
    Interval = read.Integer("Interval", 5);
    ToolBar = read.Boolean("ToolBar", true);
    Hints = read.Boolean("Hints", true);
    Tray = read.Boolean("Tray", true);
    TagPos = read.Boolean("TagPos", false);
    CustDate = read.String("CustDate", "mmm dd, yy");
    CustTime = read.String("CustTime", "tt");
    read.Report();
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
