// TSpellCommands: the Spell menu's commands (the current tagline, every tagline of the
// table, the signature), each handing its text to the spell-check control and writing the
// corrected text back where it came from.
#pragma once

#include "framework/Component.h"

class TSpellHost;
class TVCSpeller;
namespace fw {
class TTable;
}

class TSpellCommands : public fw::TComponent {
  public:
    TSpellCommands(fw::TComponent* owner, fw::TTable& table, TSpellHost& host, TVCSpeller& speller);

    void SpellTag();
    void SpellDB();
    void SpellSig();

  private:
    // The control's counters cleared, its dialog titled, the dictionary named.
    void Prepare(const char* title);

    fw::TTable& table_;
    TSpellHost& host_;
    TVCSpeller& speller_;
};
