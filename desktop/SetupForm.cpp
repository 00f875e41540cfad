// The options dialog: built from its stored layout, a dialog frame with only the system
// menu, centred on the screen with a client area of 289 by 163 pixels. Its handlers change
// the host window's settings in place and ask the host to show each change at once.
#include "desktop/SetupForm.h"

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/LayoutReader.h"
#include "framework/Paths.h"
#include "framework/Strings.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int kClientWidth = 289;
constexpr int kClientHeight = 163;
// The first delay of the tagline timer after a new frequency is chosen, in milliseconds.
constexpr unsigned kRestartDelay = 250;

// The settings' values for the items of rgSequencer, rgFrequency and rgCustTime, in their
// order. The date items are their own formats.
const char* const kSequencers[] = {"Sequential", "Random", "Shuffle"};
const char* const kFrequencies[] = {"Hourly", "Daily", "Variable", "OnLoad"};
const char* const kTimeFormats[] = {"hh:nn:ss am/pm", "h:n:s am/pm", "t", "tt"};

// The position of value among the items, or -1 (no item) when it is none of them; exact
// and case-sensitive.
template <typename TItems> int IndexOf(const TItems& items, const std::string& value) {
    auto at = std::find(std::begin(items), std::end(items), value);
    return at == std::end(items) ? -1 : static_cast<int>(std::distance(std::begin(items), at));
}

} // namespace

TFormSetup::TFormSetup(fw::TComponent* owner, TSetupHost& host)
    : TForm(owner), host_(host), settings_(host.EditedSettings()) {
    Build(fw::LoadLayoutResource("SETUPFORM"), Events());
    BindComponents();
    fw::Application().Protect([this] { FormCreate(this); });
}

fw::TEventTable TFormSetup::Events() {
    fw::TEventTable e;
    e.Add("FormClose", this, &TFormSetup::FormClose);
    e.Add("rgSequencerClick", this, &TFormSetup::rgSequencerClick);
    e.Add("rgFrequencyClick", this, &TFormSetup::rgFrequencyClick);
    e.Add("cbTagTopClick", this, &TFormSetup::cbTagTopClick);
    e.Add("cbWarnOnCloseClick", this, &TFormSetup::cbWarnOnCloseClick);
    e.Add("cbShowHintsClick", this, &TFormSetup::cbShowHintsClick);
    e.Add("cbToolBarClick", this, &TFormSetup::cbToolBarClick);
    e.Add("cbTaskBarClick", this, &TFormSetup::cbTaskBarClick);
    e.Add("cbSpawnClick", this, &TFormSetup::cbSpawnClick);
    e.Add("EditSpawnDblClick", this, &TFormSetup::EditSpawnDblClick);
    e.Add("rgCustDateClick", this, &TFormSetup::rgCustDateClick);
    e.Add("rgCustTimeClick", this, &TFormSetup::rgCustTimeClick);
    return e;
}

void TFormSetup::BindComponents() {
    PageControl1 = LayoutComponent<fw::TPageControl>("PageControl1");
    TabSheet1 = LayoutComponent<fw::TTabSheet>("TabSheet1");
    TabSheet2 = LayoutComponent<fw::TTabSheet>("TabSheet2");
    TabSheet3 = LayoutComponent<fw::TTabSheet>("TabSheet3");
    TabSheet4 = LayoutComponent<fw::TTabSheet>("TabSheet4");
    rgSequencer = LayoutComponent<fw::TRadioGroup>("rgSequencer");
    rgFrequency = LayoutComponent<fw::TRadioGroup>("rgFrequency");
    rgCustDate = LayoutComponent<fw::TRadioGroup>("rgCustDate");
    rgCustTime = LayoutComponent<fw::TRadioGroup>("rgCustTime");
    EditVar = LayoutComponent<fw::TEdit>("EditVar");
    EditSpawn = LayoutComponent<fw::TEdit>("EditSpawn");
    RadioGroup3 = LayoutComponent<fw::TGroupBox>("RadioGroup3");
    cbTagTop = LayoutComponent<fw::TCheckBox>("cbTagTop");
    cbWarnOnClose = LayoutComponent<fw::TCheckBox>("cbWarnOnClose");
    cbShowHints = LayoutComponent<fw::TCheckBox>("cbShowHints");
    cbToolBar = LayoutComponent<fw::TCheckBox>("cbToolBar");
    cbTaskBar = LayoutComponent<fw::TCheckBox>("cbTaskBar");
    cbSpawn = LayoutComponent<fw::TCheckBox>("cbSpawn");
}

fw::TWinControl::TCreateParams TFormSetup::CreateParams() const {
    return {nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
            WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};
}

void TFormSetup::HandleCreated() {
    TForm::HandleCreated();
    PlaceCentred(kClientWidth, kClientHeight);
    // A dialog's system menu offers only Move and Close.
    HMENU menu = GetSystemMenu(Handle(), FALSE);
    for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE})
        DeleteMenu(menu, command, MF_BYCOMMAND);
}

void TFormSetup::FormCreate(fw::TComponent*) {
    Loading = true;
    struct TLoaded {
        bool& loading;
        ~TLoaded() { loading = false; } // also when a step fails: the dialog stays usable
    } loaded{Loading};
    TSetupHost::TSettings& s = settings_;
    EditVar->SetText(fw::IntToStr(s.Interval));
    // A value that is none of the items shows as "Random", as the dialog always showed it.
    const int sequencer = IndexOf(kSequencers, s.Sequencer);
    rgSequencer->SetItemIndex(sequencer < 0 ? 1 : sequencer);
    rgFrequency->SetItemIndex(IndexOf(kFrequencies, s.Frequency));
    if (s.TagPos)
        cbTagTop->SetChecked(true);
    cbWarnOnClose->SetChecked(s.Warn);
    cbToolBar->SetChecked(s.ToolBar);
    cbShowHints->SetChecked(s.Hints);
    cbTaskBar->SetChecked(s.Tray);
    if (s.SpawnPrg.empty()) {
        EditSpawn->SetText("No Program Selected");
    } else if (fw::FileExists(s.SpawnPrg)) {
        EditSpawn->SetText(fw::ExtractFileName(s.SpawnPrg));
    } else {
        EditSpawn->SetText("Program is missing!");
        s.SpawnPrg.clear(); // saved with the other settings when the dialog closes
    }
    cbSpawn->SetChecked(s.Spawn);
    rgCustDate->SetItemIndex(IndexOf(rgCustDate->Items(), s.CustDate));
    rgCustTime->SetItemIndex(IndexOf(kTimeFormats, s.CustTime));
}

void TFormSetup::FormClose(fw::TComponent*) {
    host_.SaveSettings();
}

void TFormSetup::rgSequencerClick(fw::TComponent*) {
    if (Loading)
        return;
    if (rgSequencer->ItemIndex() < 0)
        return;
    settings_.Sequencer = kSequencers[rgSequencer->ItemIndex()];
    host_.FillTopPanel();
}

void TFormSetup::rgFrequencyClick(fw::TComponent*) {
    if (Loading)
        return;
    switch (const int item = rgFrequency->ItemIndex()) {
    case 0:
    case 1:
        settings_.Frequency = kFrequencies[item];
        host_.StartTimer(kRestartDelay);
        break;
    case 2:
        ChooseVariableInterval(); // raises for a text that is no number: nothing follows
        break;
    case 3:
        settings_.Frequency = kFrequencies[item];
        host_.StopTimer();
        break;
    }
    host_.FillBottomPanel();
}

void TFormSetup::ChooseVariableInterval() {
    const int previous = settings_.Interval;
    settings_.Interval = fw::StrToInt(fw::InputBox(
        "Select Interval", "Enter the frequency (in minutes)", fw::IntToStr(previous)));
    if (settings_.Interval < 1 || settings_.Interval > 59) {
        fw::MessageDlg("Interval must be 1 or greater\r\nand less than 60",
                       fw::TMsgDlgType::mtError, fw::TMsgDlgButtons::mbOK);
        settings_.Interval = previous;
        return;
    }
    settings_.Frequency = kFrequencies[2];
    EditVar->SetText(fw::IntToStr(settings_.Interval));
    host_.StartTimer(kRestartDelay);
    host_.CountIntervalFromNow();
}

void TFormSetup::Flip(bool& setting, void (TSetupHost::*show)()) {
    if (Loading)
        return;
    // The setting is flipped, not read from the box: the dialog opens with every box
    // matching its setting, so the two stay equal.
    setting = !setting;
    if (show)
        (host_.*show)();
}

void TFormSetup::cbTagTopClick(fw::TComponent*) {
    Flip(settings_.TagPos, &TSetupHost::RebuildDraft);
}

void TFormSetup::cbWarnOnCloseClick(fw::TComponent*) {
    Flip(settings_.Warn);
}

void TFormSetup::cbShowHintsClick(fw::TComponent*) {
    Flip(settings_.Hints, &TSetupHost::ApplyHints);
}

void TFormSetup::cbToolBarClick(fw::TComponent*) {
    Flip(settings_.ToolBar, &TSetupHost::ApplyToolBar);
}

void TFormSetup::cbTaskBarClick(fw::TComponent*) {
    Flip(settings_.Tray, &TSetupHost::ApplyTray);
}

void TFormSetup::cbSpawnClick(fw::TComponent*) {
    Flip(settings_.Spawn);
}

void TFormSetup::EditSpawnDblClick(fw::TComponent*) {
    // The window's own open dialog: its options and last name stay as the window left them.
    fw::TFileDialog& dialog = host_.SharedOpenDialog();
    dialog.Title = "Select the Program to Spawn:";
    dialog.Filter = "Programs (*.com, *.exe)|*.com;*.exe";
    dialog.InitialDir = host_.ProgramFolder();
    if (!fw::Dialogs().OpenFile(dialog))
        return;
    dialog.InitialDir = host_.ProgramFolder();
    settings_.SpawnPrg = dialog.FileName;
    EditSpawn->SetText(fw::ExtractFileName(dialog.FileName)); // spawning stays as it was
}

void TFormSetup::rgCustDateClick(fw::TComponent*) {
    if (Loading || rgCustDate->ItemIndex() < 0)
        return;
    settings_.CustDate = rgCustDate->Items()[rgCustDate->ItemIndex()];
}

void TFormSetup::rgCustTimeClick(fw::TComponent*) {
    if (Loading || rgCustTime->ItemIndex() < 0)
        return;
    settings_.CustTime = kTimeFormats[rgCustTime->ItemIndex()];
}
