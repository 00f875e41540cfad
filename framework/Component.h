// The component model: a component has an owner that destroys it, a name, and is told
// once all its stored properties have been set (Loaded).
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace fw {

class TComponent {
  public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    // Called by the owner (or the form builder) once every stored property is set.
    virtual void Loaded() {}
    // True while a form designer edits the owner; this program never designs forms.
    bool Designing() const { return false; }

    const std::vector<TComponent*>& Components() const { return components_; }
    TComponent* FindComponent(const std::string& name) const;

  private:
    void Insert(TComponent* c) { components_.push_back(c); }
    void Remove(TComponent* c);

    TComponent* owner_;
    std::string name_;
    std::vector<TComponent*> components_;
};

} // namespace fw
