// The problem viewer: its layout, the error table behind the grid, opened while the
// dialog is active and closed when it is left.
#include "tableutil/Vwerrdlg.h"

#include "framework/Application.h"
#include "framework/ClassRegistry.h"
#include "framework/LayoutReader.h"

namespace {
constexpr int kClientWidth = 488;
constexpr int kClientHeight = 322;
} // namespace

TBtnBottomDlg::TBtnBottomDlg(fw::TComponent* owner) : TForm(owner) {
    fw::RegisterComponentClass<fw::TDBGrid>("TDBGrid");
    TableErrTable = new fw::TTable(this);
    TableErrTable->SetName("TableErrTable");
    TableErrTable->SetTableName("__TUERR.DB");
    TableErrTable->SetTableType(fw::TTableType::ttParadox);
    TableErrTable->BindField("Error Code", fw::TFieldType::ftSmallint);
    TableErrTable->BindField("Error Level", fw::TFieldType::ftSmallint);
    TableErrTable->BindField("Error Message", fw::TFieldType::ftString, 150);
    DataSource1 = new fw::TDataSource(this);
    DataSource1->SetDataSet(TableErrTable);
    fw::TEventTable e;
    e.Add("FormActivate", this, &TBtnBottomDlg::FormActivate);
    Build(fw::LoadLayoutResource("VIEWERRORS"), e);
    PanelRed = LayoutComponent<fw::TPanel>("PanelRed");
    DBGridViewErr = LayoutComponent<fw::TDBGrid>("DBGridViewErr");
    OKBtn = LayoutComponent<fw::TBitBtn>("OKBtn");
    HelpBtn = LayoutComponent<fw::TBitBtn>("HelpBtn");
    DBGridViewErr->AddColumn("Error Code", 8);
    DBGridViewErr->AddColumn("Error Level", 8);
    DBGridViewErr->AddColumn("Error Message", 150);
    DBGridViewErr->SetDataSource(DataSource1);
}

fw::TWinControl::TCreateParams TBtnBottomDlg::CreateParams() const {
    return {nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
            WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};
}

void TBtnBottomDlg::HandleCreated() {
    TForm::HandleCreated();
    PlaceCentred(kClientWidth, kClientHeight);
}

LRESULT TBtnBottomDlg::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE)
        fw::Application().Protect([this] { FormDeactivate(this); });
    return TForm::WndProc(msg, wParam, lParam);
}

void TBtnBottomDlg::FormActivate(fw::TComponent*) {
    // Called from the window's own messages, where an error must not go further.
    fw::Application().Protect([this] {
        if (!TableErrTable->Active())
            TableErrTable->Open();
    });
}

void TBtnBottomDlg::FormDeactivate(fw::TComponent*) {
    TableErrTable->Close();
}
