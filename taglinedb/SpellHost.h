// TSpellHost: what the spell-check commands need of the window that holds them: the
// tagline timer to hold off, the two editors' texts, the navigator, the tagline lookup and
// the tray icon's tool tip.
#pragma once

#include "framework/Timer.h"

#include <string>

class TSpellHost {
  public:
    virtual fw::TTimer& CyclingTimer() = 0;
    virtual const std::string& CurrentTablePath() const = 0;
    // The tagline editor (bound to the current row's TagText) and the signature editor.
    virtual std::string TaglineText() const = 0;
    virtual void SetTaglineText(const std::string& text) = 0;
    virtual std::string SignatureText() const = 0;
    virtual void SetSignatureText(const std::string& text) = 0;
    virtual void RepaintNavigator() = 0;
    // Makes the tagline in use current again; says so when it is gone.
    virtual void FindTag() = 0;
    virtual std::string TrayToolTip() const = 0;
    virtual void SetTrayToolTip(const std::string& text) = 0;

  protected:
    ~TSpellHost() = default;
};
