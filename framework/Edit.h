// The edit line: one line of text, which the user may type in or only read, and which
// reports a double-click.
#pragma once

#include "framework/CustomEdit.h"
#include "framework/Events.h"

#include <string>

namespace fw {

class TEdit : public TCustomEdit {
  public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
    TNotifyEvent OnDblClick;
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;

  private:
    // The system's edit window keeps its mouse messages to itself; this hook on it hears
    // the double-click.
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
};

} // namespace fw
