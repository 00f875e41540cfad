// A stand-in for the main window in the spell-check commands' tests and benchmark: the two
// editors as strings, the navigator's repaints, the lookups and the tool tip's history.
#pragma once

#include "framework/Timer.h"
#include "framework/data/Field.h"
#include "framework/data/Table.h"
#include "taglinedb/SpellHost.h"

#include <string>
#include <vector>

class TSpellRecordingHost : public TSpellHost {
  public:
    explicit TSpellRecordingHost(fw::TTable*& table) : table_(table) {}
    fw::TTimer& CyclingTimer() override { return timer; }
    const std::string& CurrentTablePath() const override { return dbFile; }
    std::string TaglineText() const override { return memo; }
    void SetTaglineText(const std::string& text) override {
        table_->FieldByName("TagText").SetAsString(text);
        memo = text;
    }
    std::string SignatureText() const override { return editor; }
    void SetSignatureText(const std::string& text) override { editor = text; }
    void RepaintNavigator() override { ++repaints; }
    void FindTag() override { ++finds; }
    std::string TrayToolTip() const override { return tips.back(); }
    void SetTrayToolTip(const std::string& text) override { tips.push_back(text); }

    fw::TTimer timer{nullptr};
    std::string dbFile, memo, editor;
    int repaints = 0, finds = 0;
    std::vector<std::string> tips{"Quiptide"};

  private:
    fw::TTable*& table_;
};
