// The spell-check commands: the tagline and table checks hold the timer off and restore
// it (and the tray tool tip) however they end; a post the table refuses ends the command
// with the row still in edit state.
#include "taglinedb/SpellCommands.h"

#include "framework/data/Field.h"
#include "framework/data/Table.h"
#include "framework/Dialogs.h"
#include "framework/Paths.h"
#include "framework/TimerPause.h"
#include "platform/speller/dll/VSpell.h"
#include "taglinedb/SpellHost.h"
#include "taglinedb/VCSpeller.h"

#include <algorithm>
#include <cctype>

namespace {

// The dictionary's name as the control is given it: lower case.
std::string DictionaryName() {
    std::string name = "AMERICAN.VTD";
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

// Puts the tray icon's tool tip back when the scope ends, however it ends.
class TToolTipHeld {
  public:
    TToolTipHeld(TSpellHost& host, const std::string& during)
        : host_(host), saved_(host.TrayToolTip()) {
        host_.SetTrayToolTip(during);
    }
    ~TToolTipHeld() { Restore(); }
    void Restore() {
        if (!restored_)
            host_.SetTrayToolTip(saved_);
        restored_ = true;
    }
    TToolTipHeld(const TToolTipHeld&) = delete;
    TToolTipHeld& operator=(const TToolTipHeld&) = delete;

  private:
    TSpellHost& host_;
    std::string saved_;
    bool restored_ = false;
};

} // namespace

TSpellCommands::TSpellCommands(fw::TComponent* owner, fw::TTable& table, TSpellHost& host,
                               TVCSpeller& speller)
    : TComponent(owner), table_(table), host_(host), speller_(speller) {
    SetName("SpellCommands");
}

void TSpellCommands::Prepare(const char* title) {
    speller_.SetClearCounts(0);
    speller_.SetWordMisspelledTitle(title);
    speller_.SetStandardDictionary(DictionaryName());
}

void TSpellCommands::SpellTag() {
    if (host_.TaglineText().empty()) {
        fw::MessageDlg("The tagline editor must contain text\r\n"
                       "and the database must be in either\r\n"
                       "add mode or edit mode.",
                       fw::TMsgDlgType::mtError, fw::TMsgDlgButtons::mbOK);
        return;
    }
    fw::TTimerPause paused(host_.CyclingTimer(), fw::TTimerPause::TRestore::Always);
    Prepare("Spell Checking Tagline");
    const fw::TDataSetState state = table_.State();
    if (state != fw::TDataSetState::dsEdit && state != fw::TDataSetState::dsInsert) {
        if (table_.RecordCount() == 0)
            table_.Insert();
        else
            table_.Edit();
    }
    host_.SetTaglineText(speller_.Check(host_.TaglineText()));
    table_.Post();
    table_.Refresh();
    host_.RepaintNavigator();
}

void TSpellCommands::SpellDB() {
    const std::string question = "The database (" + fw::ExtractFileName(host_.CurrentTablePath()) +
                                 ") has " + std::to_string(table_.RecordCount()) +
                                 " Records.\r\nThis could take a while. Continue?";
    if (fw::MessageDlg(question, fw::TMsgDlgType::mtInformation, fw::TMsgDlgButtons::mbOKCancel) !=
        fw::mrOk)
        return;
    fw::TTimerPause paused(host_.CyclingTimer(), fw::TTimerPause::TRestore::Always);
    Prepare("Spell Checking Database");
    TToolTipHeld tip(host_, "Spell Checking the Database");
    bool cancelled = false;
    table_.First();
    while (!table_.Eof()) {
        table_.Edit();
        fw::TField& tag = table_.FieldByName("TagText");
        const std::string corrected = speller_.Check(tag.AsString());
        // Cancel in the control's dialog ends the walk: the rows before keep their
        // corrections, the row it stopped in stays as it was.
        if (speller_.ResultCode() == vspell::kResultCancelled) {
            table_.Cancel();
            cancelled = true;
            break;
        }
        tag.SetAsString(corrected);
        // Every row is posted; a corrected one moves to its place in TagText order and the
        // walk goes on from there.
        table_.Post();
        table_.Next();
    }
    table_.Refresh();
    host_.RepaintNavigator();
    host_.FindTag();
    tip.Restore();
    // A walk the user stopped is not done; the user needs no word that it stopped.
    if (!cancelled)
        fw::MessageDlg("All Done!", fw::TMsgDlgType::mtInformation, fw::TMsgDlgButtons::mbOK);
}

void TSpellCommands::SpellSig() {
    speller_.SetWordMisspelledTitle("Spell Checking Signature");
    speller_.SetStandardDictionary(DictionaryName());
    speller_.SetClearCounts(0);
    host_.SetSignatureText(speller_.Check(host_.SignatureText()));
}
