// TVCSpeller: the main window's spell-check control VSpell. It creates the control from
// its stored settings (registering it for this user at first use when it is missing),
// reads and writes the control's properties by dispatch number and runs a check in the
// order of calls the control expects.
#pragma once

#include "framework/Component.h"
#include "framework/LayoutReader.h"

#include <oaidl.h>

#include <string>

class TVCSpeller : public fw::TComponent {
  public:
    explicit TVCSpeller(fw::TComponent* owner);
    ~TVCSpeller() override;

    // The stored settings handed to the control when it is created.
    std::string StandardDictionary = "american.vtd";
    std::string OptionsDialogTitle = "Spell Checking Options";
    std::string ErrorDialogTitle = "Oops!";
    std::string HelpFile = "vspeller.hlp";
    bool SetProperty(const std::string& name, const fw::TLayoutValue& value,
                     const fw::TEventTable& events);

    // The control's properties; a failing call raises with the control's description.
    void SetStandardDictionary(const std::string& value);
    void SetWordMisspelledTitle(const std::string& value);
    void SetCheckText(const std::string& value); // runs the interactive check
    void SetClearCounts(short value);
    short ResultCode();
    short ResumeCheck();
    std::string Text();
    std::string CheckText();

    // Checks one text interactively and gives back the corrected text.
    std::string Check(const std::string& text);

    // The control's class, for the layout reader.
    static void RegisterLayoutClass();

  private:
    IDispatch& Control();
    void Put(DISPID id, VARIANT& value);
    VARIANT Get(DISPID id);

    IDispatch* control_ = nullptr;
    bool comStarted_ = false;
};
