// Controls: the common part of every control (a place and size in a parent, alignment,
// visibility, enabled state, caption, font, colour, hint and help context) and the
// windowed control, which owns one Win32 window, holds child controls and paints the
// windowless ones among them. The window is created once the layout has set every
// property, and each setter acts on the window only when the value changes.
#pragma once

#include "framework/Component.h"
#include "framework/Font.h"
#include "framework/LayoutReader.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace fw {

class TForm;
class TWinControl;

enum class TAlign { alNone, alTop, alBottom, alClient };
// How a text sits across the width it is given.
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TControl : public TComponent {
  public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    TForm* Form() const; // the form this control is on, or itself

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
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
    virtual std::string Caption() const { return caption_; }
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
    // The face colour of a control that paints itself.
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);

    // Asks for a repaint of the whole control (nothing while there is no window to paint
    // it in); Repaint paints it at once.
    virtual void Invalidate() = 0;
    virtual void Repaint() = 0;
    // The tooltip tool that shows this control's hint; false while there is no window to
    // hang it on.
    virtual bool HintTool(TOOLINFOA& tool) const = 0;

    // A stored property from the layout (the Font ones among them); false when the
    // control has none of that name.
    virtual bool SetProperty(const std::string& name, const TLayoutValue& value,
                             const TEventTable& events);

  protected:
    friend class TWinControl;
    // The parent's window came into being, or is about to go.
    virtual void ParentWindowCreated() = 0;
    virtual void ParentWindowDestroying() = 0;
    // The state changed; the control brings its window, or its parent's painting, along.
    virtual void BoundsChanged(const RECT& old) = 0;
    virtual void VisibleChanged() = 0;
    virtual void EnabledChanged() = 0;
    virtual void CaptionChanged() = 0;
    // Color, for the controls that paint their own face.
    bool SetColorProperty(const std::string& name, const TLayoutValue& value);
    // The hint follows the control's place and state.
    virtual void UpdateHint();
    int margin_ = 0; // kept free around this control when its parent aligns it
    std::string caption_;

  private:
    void LeaveParent();

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    std::string hint_;
    int helpContext_ = 0;
    TFont font_;
    COLORREF color_;
};

class TWinControl : public TControl, public TLayoutParent {
  public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // Windowed and windowless children, the windowless ones painted in this order.
    const std::vector<TControl*>& Controls() const { return controls_; }
    void InsertChild(TComponent* child) override;
    // The windowless child that takes the mouse at a point of the client area: the last
    // one there that is visible and enabled; null when there is none.
    TControl* ControlAtPos(POINT point) const;

    std::string Caption() const override; // the window's text, as the user may have changed it

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Creates this control's window and those of its children (the parent's must exist).
    void CreateHandle();
    void SetFocus();
    static TWinControl* FromHandle(HWND handle);

    void Invalidate() override;
    void Repaint() override;
    bool HintTool(TOOLINFOA& tool) const override;

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
    // Paints the window's own face (the windowless children are painted over it); the
    // class's brush has erased it before.
    virtual void PaintWindow(HDC dc) { (void)dc; }
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

    void ParentWindowCreated() override { CreateHandle(); }
    void ParentWindowDestroying() override { DestroyHandle(); }
    void BoundsChanged(const RECT& old) override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void CaptionChanged() override;

  private:
    friend class TControl;
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void DestroyHandle();
    void NotifyAppearing();
    // Paints the face and the windowless children that meet clip.
    void PaintAll(HDC dc, const RECT& clip);

    std::vector<TControl*> controls_;
    HWND handle_ = nullptr;
    bool aligning_ = false;
};

// Colour names a layout may use (clNavy, clMaroon, clGreen, clBlack, ...).
COLORREF ColorFromName(const std::string& name);

} // namespace fw
