// The windowed control: a component that owns one Win32 window, sits in a parent
// control, is aligned by it, shows a hint and carries a help context. The window is
// created once the layout has set every property, and each setter acts on the window
// only when the value changes.
#pragma once

#include "framework/Component.h"
#include "framework/Font.h"
#include "framework/LayoutReader.h"

#include <windows.h>

#include <string>
#include <vector>

namespace fw {

class TForm;

enum class TAlign { alNone, alTop, alBottom, alClient };
// How a text sits across the width it is given.
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TWinControl : public TComponent, public TLayoutParent {
  public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    TWinControl* Parent() const { return parent_; }
    void SetParent(TWinControl* parent);
    const std::vector<TWinControl*>& Controls() const { return controls_; }
    void InsertChild(TComponent* child) override;
    TForm* Form() const; // the form this control is on, or itself

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    std::string Caption() const; // the window's text, as the user may have changed it
    void SetCaption(const std::string& caption);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    // The font this control's text is drawn in: its own when the layout gave it one, else
    // its parent's, else the application's.
    HFONT FontHandle();

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Creates this control's window and those of its children (the parent's must exist).
    void CreateHandle();
    void SetFocus();
    static TWinControl* FromHandle(HWND handle);

    // A stored property from the layout (the Font ones among them); false when the
    // control has none of that name.
    virtual bool SetProperty(const std::string& name, const TLayoutValue& value,
                             const TEventTable& events);

    // A key message of a modal form's loop, offered to the control with the focus and
    // then to its parents before the dialog keys move the focus; true when it was used.
    virtual bool DialogKey(const MSG& msg) {
        (void)msg;
        return false;
    }

  protected:
    struct TCreateParams {
        const char* ClassName; // nullptr: the framework's own container class
        DWORD Style;
        DWORD ExStyle;
    };
    virtual TCreateParams CreateParams() const;
    virtual void CreateWindowHandle(const TCreateParams& params);
    // The window exists: apply what it needs beyond its creation parameters.
    virtual void HandleCreated() {}
    // The window is about to appear on screen, shown itself or with a parent.
    virtual void Appearing() {}
    // Messages of windows of the framework's own class.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // A WM_COMMAND notification that the parent reflects back to this control.
    virtual void Notify(WORD code) { (void)code; }
    // A WM_NOTIFY notification that the parent reflects back to this common control.
    virtual void Notification(const NMHDR& header) { (void)header; }
    virtual void DrawItem(const DRAWITEMSTRUCT& item) { (void)item; }
    // The brush a child paints its background with (WM_CTLCOLOR*), or null for the default.
    virtual HBRUSH CtlColor(HDC dc) {
        (void)dc;
        return nullptr;
    }
    // Positions the aligned children in the client area.
    virtual void Realign();
    // The client area left to aligned children (a group box keeps its frame free).
    virtual RECT AlignRect() const;
    int margin_ = 0; // kept free around this control when its parent aligns it

  private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void DestroyHandle();
    void NotifyAppearing();
    void RemoveChild(TWinControl* child);

    TWinControl* parent_ = nullptr;
    std::vector<TWinControl*> controls_;
    HWND handle_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    bool aligning_ = false;
    std::string caption_;
    std::string hint_;
    int helpContext_ = 0;
    TFont font_;
};

// Colour names a layout may use (clNavy, clMaroon, clGreen, clBlack, ...).
COLORREF ColorFromName(const std::string& name);

} // namespace fw
