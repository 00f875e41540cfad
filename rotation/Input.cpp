// The signature selection dialog: built from its stored layout, a tool window centred on
// the screen with a client area of 463 by 245 pixels.
#include "rotation/Input.h"

#include "framework/ClassRegistry.h"
#include "framework/Dialogs.h"
#include "framework/Exception.h"
#include "framework/LayoutReader.h"

#include <vector>

namespace {

constexpr int kClientWidth = 463;
constexpr int kClientHeight = 245;

// The instruction box: a read-only text on the light 3D colour.
class TRichEdit : public fw::TMemo {
  public:
    explicit TRichEdit(fw::TComponent* owner) : TMemo(owner) { SetReadOnly(true); }

  protected:
    HBRUSH CtlColor(HDC dc) override {
        SetBkColor(dc, GetSysColor(COLOR_3DLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return GetSysColorBrush(COLOR_3DLIGHT);
    }
};

template <typename T> T* Bind(fw::TComponent& form, const std::string& name) {
    T* c = dynamic_cast<T*>(form.FindComponent(name));
    if (!c)
        throw fw::Exception("Component " + name + " missing from the input form's layout");
    return c;
}

} // namespace

TInputForm::TInputForm(fw::TComponent* owner) : TForm(owner) {
    fw::RegisterComponentClass<TRichEdit>("TRichEdit");
    fw::TEventTable events;
    events.Add("OKBtnClick", fw::TNotifyEvent([this](fw::TComponent* s) { OKBtnClick(s); }));
    Build(fw::LoadLayoutResource("INPUTFORM"), events);
    RichEdit = Bind<fw::TMemo>(*this, "RichEdit");
    MemoInput = Bind<fw::TMemo>(*this, "MemoInput");
    OKBtn = Bind<fw::TButton>(*this, "OKBtn");
    CancelBtn = Bind<fw::TButton>(*this, "CancelBtn");
}

fw::TWinControl::TCreateParams TInputForm::CreateParams() const {
    return {nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
            WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME};
}

void TInputForm::HandleCreated() {
    TForm::HandleCreated();
    PlaceCentred(kClientWidth, kClientHeight);
}

void TInputForm::OKBtnClick(fw::TComponent*) {
    DWORD start = 0, end = 0;
    SendMessageA(MemoInput->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const std::string text = MemoInput->Text();
    selected_ = start < end && end <= text.size() ? text.substr(start, end - start) : std::string();
}
