// The one progress window of a kind that may exist at a time: created, reset and shown for
// a library call, hidden and freed after it. A window that fails to appear is dropped, so
// the call runs without it.
#pragma once

#include "framework/Application.h"
#include "framework/Label.h"

#include <windows.h>

#include <exception>
#include <memory>
#include <string>

template <typename TWindow> class TStatusWindowSlot {
  public:
    TWindow* Get() const { return window_.get(); }

    template <typename TReset> void Show(TReset reset) {
        window_ = std::make_unique<TWindow>(&fw::Application());
        try {
            reset(*window_);
            window_->Show();
            UpdateWindow(window_->Handle());
        } catch (const std::exception&) {
            window_.reset();
        }
    }

    void Close() {
        if (!window_)
            return;
        std::unique_ptr<TWindow> closing = std::move(window_);
        try {
            closing->Hide();
        } catch (const std::exception&) {
            // freed below all the same
        }
    }

  private:
    std::unique_ptr<TWindow> window_;
};

// A label's new caption, painted at once: the library reports while no messages run.
inline void ShowCaptionNow(fw::TLabel& label, const std::string& text) {
    label.SetCaption(text);
    label.Repaint();
}
