// The data-aware controls of the tagline group: the drop-down list of taglines, the
// tagline memo and the navigator with its ten buttons. They show as real controls;
// they are bound to a data source by the table access layer.
#pragma once

#include "framework/Buttons.h"
#include "framework/StdCtrls.h"

#include <array>

namespace fw {

class TDBLookupComboBox : public TWinControl {
  public:
    explicit TDBLookupComboBox(TComponent* owner) : TWinControl(owner) {}
    int DropDownRows() const { return dropDownRows_; }
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;

  private:
    int dropDownRows_ = 7;
};

class TDBMemo : public TMemo {
  public:
    explicit TDBMemo(TComponent* owner) : TMemo(owner) {}
};

enum class TNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};

class TDBNavigator : public TWinControl {
  public:
    static constexpr size_t ButtonCount = 10;
    explicit TDBNavigator(TComponent* owner);
    TSpeedButton& Button(TNavigateBtn which) { return *buttons_[static_cast<size_t>(which)]; }
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    void Realign() override;

  private:
    std::array<TSpeedButton*, ButtonCount> buttons_;
};

} // namespace fw
