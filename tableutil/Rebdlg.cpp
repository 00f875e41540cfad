// The rebuild progress window and the component that drives it from the library's reports.
#include "tableutil/Rebdlg.h"

#include "framework/LayoutReader.h"
#include "tableutil/StatusWindow.h"

namespace {

constexpr int kClientWidth = 338;
constexpr int kClientHeight = 69;
constexpr int kScreenLeft = 259;
constexpr int kScreenTop = 282;

TStatusWindowSlot<TFormRebuildStatus>& Slot() {
    static TStatusWindowSlot<TFormRebuildStatus> slot;
    return slot;
}

} // namespace

TFormRebuildStatus::TFormRebuildStatus(fw::TComponent* owner) : TForm(owner) {
    RegisterGaugeClass();
    Build(fw::LoadLayoutResource("REBUILDSTATUS"), {});
    GaugeRebuild = LayoutComponent<TGauge>("GaugeRebuild");
    LabelNumPacked = LayoutComponent<fw::TLabel>("LabelNumPacked");
    GaugeRebuild->SetBackColor(GetSysColor(COLOR_BTNFACE));
}

fw::TWinControl::TCreateParams TFormRebuildStatus::CreateParams() const {
    // A dialog frame with a caption and no title-bar buttons.
    return {nullptr, WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME};
}

void TFormRebuildStatus::HandleCreated() {
    TForm::HandleCreated();
    const TCreateParams p = CreateParams();
    RECT r{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&r, p.Style, FALSE, p.ExStyle);
    SetBounds(kScreenLeft, kScreenTop, r.right - r.left, r.bottom - r.top);
}

void TRebuildDlg::ShowStatus() {
    Slot().Show([this](TFormRebuildStatus&) {
        SetPackedText("");
        SetRebuildProgress(0);
    });
}

void TRebuildDlg::CloseStatus() {
    Slot().Close();
}
bool TRebuildDlg::StatusExists() const {
    return Slot().Get() != nullptr;
}
TFormRebuildStatus* TRebuildDlg::Window() {
    return Slot().Get();
}

void TRebuildDlg::SetPackedText(const std::string& text) {
    if (TFormRebuildStatus* w = Slot().Get())
        ShowCaptionNow(*w->LabelNumPacked, text);
}

void TRebuildDlg::SetRebuildProgress(int16_t value) {
    if (TFormRebuildStatus* w = Slot().Get())
        w->GaugeRebuild->SetProgress(value);
}

void TRebuildDlg::RefreshStatus() {
    if (TFormRebuildStatus* w = Slot().Get())
        RedrawWindow(w->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
