// TBtnBottomDlg: the problem viewer, a dialog that lists the rows of the error table a
// verification wrote ("Error Code", "Error Level", "Error Message") in a read-only grid
// framed by a red panel.
#pragma once

#include "framework/Forms.h"
#include "framework/GlyphButtons.h"
#include "framework/Panel.h"
#include "framework/PushButton.h"
#include "framework/data/DBGrid.h"
#include "framework/data/DataSource.h"
#include "framework/data/Table.h"

class TBtnBottomDlg : public fw::TForm {
  public:
    explicit TBtnBottomDlg(fw::TComponent* owner);

    fw::TPanel* PanelRed = nullptr;
    fw::TDBGrid* DBGridViewErr = nullptr;
    fw::TBitBtn *OKBtn = nullptr, *HelpBtn = nullptr;
    fw::TTable* TableErrTable = nullptr;
    fw::TDataSource* DataSource1 = nullptr;

    void FormActivate(fw::TComponent* sender);
    void FormDeactivate(fw::TComponent* sender);

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
