// TFormSetup: the modal "Program Options" dialog. Every control edits a setting of the
// window behind it the moment it is clicked; there is no OK or Cancel, and closing the
// dialog by any means saves the settings.
#pragma once

#include "desktop/SetupHost.h"
#include "framework/CheckBox.h"
#include "framework/Edit.h"
#include "framework/Forms.h"
#include "framework/PageControl.h"
#include "framework/RadioGroup.h"
#include "framework/TabSheet.h"

class TFormSetup : public fw::TForm {
  public:
    TFormSetup(fw::TComponent* owner, TSetupHost& host);

    fw::TPageControl* PageControl1 = nullptr;
    fw::TTabSheet *TabSheet1 = nullptr, *TabSheet2 = nullptr, *TabSheet3 = nullptr,
                  *TabSheet4 = nullptr;
    fw::TRadioGroup *rgSequencer = nullptr, *rgFrequency = nullptr, *rgCustDate = nullptr,
                    *rgCustTime = nullptr;
    fw::TEdit *EditVar = nullptr, *EditSpawn = nullptr;
    fw::TGroupBox* RadioGroup3 = nullptr; // the frame of cbTagTop
    fw::TCheckBox *cbTagTop = nullptr, *cbWarnOnClose = nullptr, *cbShowHints = nullptr,
                  *cbToolBar = nullptr, *cbTaskBar = nullptr, *cbSpawn = nullptr;

    void FormCreate(fw::TComponent* sender);
    void FormClose(fw::TComponent* sender);
    void rgSequencerClick(fw::TComponent* sender);
    void rgFrequencyClick(fw::TComponent* sender);
    void cbTagTopClick(fw::TComponent* sender);
    void cbWarnOnCloseClick(fw::TComponent* sender);
    void cbShowHintsClick(fw::TComponent* sender);
    void cbToolBarClick(fw::TComponent* sender);
    void cbTaskBarClick(fw::TComponent* sender);
    void cbSpawnClick(fw::TComponent* sender);
    void EditSpawnDblClick(fw::TComponent* sender);
    void rgCustDateClick(fw::TComponent* sender);
    void rgCustTimeClick(fw::TComponent* sender);

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;

  private:
    fw::TEventTable Events();
    void BindComponents();
    // "Variable": asks for the interval and takes it when it is 1 to 59.
    void ChooseVariableInterval();
    // A check box's click: flips its setting, then has the host show the change.
    void Flip(bool& setting, void (TSetupHost::*show)() = nullptr);

    TSetupHost& host_;
    TSetupHost::TSettings settings_;
    // True while FormCreate fills the controls: setting a control raises the same notice
    // as a click, which must not act then.
    bool Loading = false;
};
