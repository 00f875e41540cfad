// A form: a top-level window built from its stored layout, with its menu, context menu,
// hints, close protocol (close query, then close) and help on its controls.
#pragma once

#include "framework/Controls.h"
#include "framework/Events.h"
#include "framework/Exception.h"

#include <functional>
#include <string>

namespace fw {

class TButton;
class TMainMenu;
class TPopupMenu;

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;
using TCloseEvent = std::function<void(TComponent* sender)>;

class TForm : public TWinControl {
  public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // Reads the layout, tells every component it is loaded, creates the windows, then
    // runs OnCreate (an error there goes to the general error display).
    void Build(const std::string& layoutText, const TEventTable& events);

    void Show();
    // Asks OnCloseQuery; when the close is permitted runs OnClose, hides the form and,
    // for the main form, ends the application. Returns whether the form closed. A modal
    // form is closed by setting ModalResult to mrCancel.
    bool Close();
    // Shows the form with the active window disabled and runs its messages until
    // ModalResult is set (a close sets mrCancel, and so does Escape when no button is the
    // cancel button); then runs OnClose, unless the application is quitting, and returns
    // that result.
    int ShowModal();
    int ModalResult = 0;
    int ClientWidth() const;
    void SetClientWidth(int width);
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState state);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    TMainMenu* Menu() const { return menu_; }
    TPopupMenu* PopupMenu() const { return popupMenu_; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnActivate;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;
    void Loaded() override;

    // Hints of the controls on this form, shown as tooltips: a windowed control's over its
    // window, a windowless one's over its bounds in its parent's window.
    void UpdateHint(TControl* control);
    void RemoveHint(TControl* control);
    // The tooltip window, made with the first hint (null while there is none).
    HWND HintWindow() const { return hintWindow_; }
    // Passes a mouse message of a message loop to the hints of the form it is for. The
    // loops relay them rather than the tooltip subclassing every control, which would
    // put the tooltip in the path of every message each control gets.
    static void RelayHint(const MSG& msg);

    // A push button took the focus (or null: one lost it). The focused push button
    // shows the default frame and answers Return; otherwise the default button does.
    void ButtonFocused(TButton* button);

  protected:
    TCreateParams CreateParams() const override;
    void CreateWindowHandle(const TCreateParams& params) override;
    // The window's size for a client area of this size, by its style.
    SIZE WindowSizeFor(int clientWidth, int clientHeight) const;
    void HandleCreated() override;
    // The component of this form's layout with that name and class; a layout that lacks
    // it is broken, and this says so.
    template <typename T> T* LayoutComponent(const std::string& name) const {
        T* c = dynamic_cast<T*>(FindComponent(name));
        if (!c)
            throw Exception("Component " + name + " missing from the layout of " + Name());
        return c;
    }
    // Sizes the window for a client area of that size, with its own styles' frame, and
    // centres it on the screen (for dialogs, which override CreateParams for their frame).
    void PlaceCentred(int clientWidth, int clientHeight);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void Help(const HELPINFO& info);
    // The tooltip window; false while the form has no window to own it.
    bool MakeHintWindow();
    // Offers a key message of the modal loop to the focused control and its parents.
    bool OfferDialogKey(const MSG& msg) const;
    // The enabled push button of this form that answers Return (focused one first, then
    // the default button) or Escape (the cancel button); null when there is none.
    TButton* ReturnButton() const;
    TButton* EscapeButton() const;

    std::string menuName_, popupMenuName_; // references resolved once all are loaded
    TMainMenu* menu_ = nullptr;
    TPopupMenu* popupMenu_ = nullptr;
    std::string activeControlName_;
    TWinControl* activeControl_ = nullptr; // has the focus when the form is first active
    HWND lastFocus_ = nullptr;             // had it when the form was last left
    int clientWidth_ = 0;
    TWindowState windowState_ = TWindowState::wsNormal;
    bool showHint_ = false;
    bool helpButton_ = false;
    bool modal_ = false;
    std::string iconName_;
    HWND hintWindow_ = nullptr;
};

} // namespace fw
