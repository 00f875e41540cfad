// The verify progress window and the component that drives it from the library's reports.
#include "tableutil/Verdlg.h"

#include "framework/LayoutReader.h"
#include "tableutil/StatusWindow.h"

namespace {

constexpr int kClientWidth = 347;
constexpr int kClientHeight = 225;

TStatusWindowSlot<TFormVerifyStatus>& Slot() {
    static TStatusWindowSlot<TFormVerifyStatus> slot;
    return slot;
}

template <typename TSet> void WithWindow(TSet set) {
    if (TFormVerifyStatus* w = Slot().Get())
        set(*w);
}

} // namespace

TFormVerifyStatus::TFormVerifyStatus(fw::TComponent* owner) : TForm(owner) {
    RegisterGaugeClass();
    Build(fw::LoadLayoutResource("VERIFYSTATUS"), {});
    LabelStatus = LayoutComponent<fw::TLabel>("LabelStatus");
    LabelZeroOf = LayoutComponent<fw::TLabel>("LabelZeroOf");
    LabelOfZero = LayoutComponent<fw::TLabel>("LabelOfZero");
    GaugeHeader = LayoutComponent<TGauge>("GaugeHeader");
    GaugeIndex = LayoutComponent<TGauge>("GaugeIndex");
    GaugeData = LayoutComponent<TGauge>("GaugeData");
    GaugeHeaderIdx = LayoutComponent<TGauge>("GaugeHeaderIdx");
    GaugeIndexIdx = LayoutComponent<TGauge>("GaugeIndexIdx");
    GaugeDataIdx = LayoutComponent<TGauge>("GaugeDataIdx");
    GaugeIntegrity = LayoutComponent<TGauge>("GaugeIntegrity");
}

fw::TWinControl::TCreateParams TFormVerifyStatus::CreateParams() const {
    // A dialog frame with a caption and no title-bar buttons.
    return {nullptr, WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME};
}

void TFormVerifyStatus::HandleCreated() {
    TForm::HandleCreated();
    PlaceCentred(kClientWidth, kClientHeight);
}

void TVerifyDlg::ShowStatus() {
    Slot().Show([this](TFormVerifyStatus&) {
        SetStatusText("");
        SetHeaderProgress(0);
        SetIndexProgress(0);
        SetDataProgress(0);
        SetHeaderIdxProgress(0);
        SetIndexIdxProgress(0);
        SetDataIdxProgress(0);
        SetIntegrityProgress(0);
        SetIndexNumber("");
        SetIndexCount("");
    });
}

void TVerifyDlg::CloseStatus() {
    Slot().Close();
}
bool TVerifyDlg::StatusExists() const {
    return Slot().Get() != nullptr;
}
TFormVerifyStatus* TVerifyDlg::Window() {
    return Slot().Get();
}

void TVerifyDlg::SetStatusText(const std::string& text) {
    WithWindow([&](TFormVerifyStatus& w) { ShowCaptionNow(*w.LabelStatus, text); });
}
void TVerifyDlg::SetHeaderProgress(uint16_t v) {
    WithWindow([&](TFormVerifyStatus& w) { w.GaugeHeader->SetProgress(v); });
}
void TVerifyDlg::SetIndexProgress(uint16_t v) {
    WithWindow([&](TFormVerifyStatus& w) { w.GaugeIndex->SetProgress(v); });
}
void TVerifyDlg::SetDataProgress(uint16_t v) {
    WithWindow([&](TFormVerifyStatus& w) { w.GaugeData->SetProgress(v); });
}
void TVerifyDlg::SetHeaderIdxProgress(uint16_t v) {
    WithWindow([&](TFormVerifyStatus& w) { w.GaugeHeaderIdx->SetProgress(v); });
}
void TVerifyDlg::SetIndexIdxProgress(uint16_t v) {
    WithWindow([&](TFormVerifyStatus& w) { w.GaugeIndexIdx->SetProgress(v); });
}
void TVerifyDlg::SetDataIdxProgress(uint16_t v) {
    WithWindow([&](TFormVerifyStatus& w) { w.GaugeDataIdx->SetProgress(v); });
}
void TVerifyDlg::SetIntegrityProgress(uint16_t v) {
    WithWindow([&](TFormVerifyStatus& w) { w.GaugeIntegrity->SetProgress(v); });
}
void TVerifyDlg::SetIndexNumber(const std::string& text) {
    WithWindow([&](TFormVerifyStatus& w) { ShowCaptionNow(*w.LabelZeroOf, text); });
}
void TVerifyDlg::SetIndexCount(const std::string& text) {
    WithWindow([&](TFormVerifyStatus& w) { ShowCaptionNow(*w.LabelOfZero, text); });
}
