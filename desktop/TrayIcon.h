// TTrayIcon: one icon with a tooltip in the taskbar's notification area, and the mouse
// actions on it turned into events. A hidden window of the component's own receives the
// shell's callback message.
#pragma once

#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/Icon.h"

#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <functional>
#include <string>

namespace fw {
class TPopupMenu;
}

class TTrayIcon : public fw::TComponent {
  public:
    static constexpr UINT WM_TRAYCALLBACK = WM_USER + 1; // the shell's callback
    static constexpr UINT WM_TRAYREFRESH = WM_USER + 2;  // re-apply the tooltip
    static constexpr std::size_t MaxToolTip = 62;

    explicit TTrayIcon(fw::TComponent* owner);
    ~TTrayIcon() override;

    bool Active() const { return active_; }
    void SetActive(bool value);
    // Shows the icon while a form designer edits the owner; this program never designs.
    bool ShowDesigning() const { return showDesigning_; }
    void SetShowDesigning(bool value);
    const fw::TIcon& Icon() const { return icon_; }
    void SetIcon(fw::TIcon value); // a copy of the caller's picture, or the picture moved in
    const std::string& ToolTip() const { return toolTip_; }
    void SetToolTip(const std::string& value); // cut to MaxToolTip characters
    fw::TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(fw::TPopupMenu* value) { popupMenu_ = value; }

    fw::TNotifyEvent OnClick;     // left button released on the icon
    fw::TNotifyEvent OnDblClick;  // left button double-clicked
    fw::TMouseEvent OnRightClick; // right button released; x, y in screen co-ordinates

    // The hidden window that receives WM_TRAYCALLBACK and WM_TRAYREFRESH, and the
    // shell's broadcast that it has restarted, after which a shown icon is added again.
    HWND Handle() const { return window_; }
    static UINT TaskbarCreated();

    // Every notification-area call goes through here; Shell_NotifyIconA unless replaced
    // (tests record the calls and their records). Its result is not acted upon.
    std::function<BOOL(DWORD message, NOTIFYICONDATAA* data)> ShellNotifyIcon = Shell_NotifyIconA;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FillData();
    void Show();
    void Update();
    void Remove();
    void RightClick();

    bool active_ = false;
    bool showDesigning_ = false;
    fw::TIcon icon_;
    std::string toolTip_;
    fw::TPopupMenu* popupMenu_ = nullptr;
    HWND window_ = nullptr;
    NOTIFYICONDATAA data_{};
};
