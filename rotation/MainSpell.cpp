// The Spell menu, its toolbar buttons and pop-up items, handed to the spell-check
// commands, and what those commands ask of the window.
#include "desktop/TrayIcon.h"
#include "framework/data/Field.h"
#include "framework/data/Table.h"
#include "rotation/Main.h"
#include "taglinedb/SpellCommands.h"
#include "taglinedb/TaglineDatabase.h"
#include "taglinedb/VCSpeller.h"

void TMainForm::CreateSpellComponents() {
    VSpell = dynamic_cast<TVCSpeller*>(FindComponent("VSpell"));
    if (!VSpell)
        throw fw::Exception("Component VSpell missing from the main window's layout");
    Spell = new TSpellCommands(this, *Table1, *this, *VSpell);
}

void TMainForm::mnuSpellTagClick(fw::TComponent*) {
    Spell->SpellTag();
}
void TMainForm::mnuSpellDBClick(fw::TComponent*) {
    Spell->SpellDB();
}
void TMainForm::mnuSpellSigClick(fw::TComponent*) {
    Spell->SpellSig();
}

std::string TMainForm::TaglineText() const {
    return DBMemo->Text();
}

void TMainForm::SetTaglineText(const std::string& text) {
    // The field first: the memo follows it, and the post writes it.
    Table1->FieldByName("TagText").SetAsString(text);
    DBMemo->SetText(text);
}

std::string TMainForm::SignatureText() const {
    return MemoEditor->Text();
}
void TMainForm::SetSignatureText(const std::string& text) {
    MemoEditor->SetText(text);
}
void TMainForm::RepaintNavigator() {
    if (DBNavigator->Handle())
        RedrawWindow(DBNavigator->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
std::string TMainForm::TrayToolTip() const {
    return TrayIcon1->ToolTip();
}
void TMainForm::SetTrayToolTip(const std::string& text) {
    TrayIcon1->SetToolTip(text);
}
