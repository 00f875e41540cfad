// Stored layouts: a form is built from a text description of its components (names,
// classes, property values, nested components, event handler names), then adjusted by
// code. This file holds the reader; ClassRegistry.h the classes a layout may name.
#pragma once

#include "framework/Component.h"
#include "framework/Events.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fw {

// One property value: a number, a text, an identifier (True, False, clNavy, alTop, a
// handler name) or a parenthesised list of these.
class TLayoutValue {
  public:
    enum class TKind { Integer, String, Ident, List };

    static TLayoutValue Integer(long long v);
    static TLayoutValue String(const std::string& s);
    static TLayoutValue Ident(const std::string& s);
    static TLayoutValue List(std::vector<TLayoutValue> items);

    TKind Kind() const { return kind_; }
    int AsInteger() const;
    const std::string& AsString() const;
    const std::string& AsIdent() const;
    bool AsBoolean() const;
    const std::vector<TLayoutValue>& Items() const;

  private:
    TKind kind_ = TKind::Integer;
    long long int_ = 0;
    std::string text_;
    std::vector<TLayoutValue> items_;
};

// The handlers a form offers to its layout, by name.
class TEventTable {
  public:
    void Add(const std::string& name, TNotifyEvent handler) { notify_[name] = std::move(handler); }
    void Add(const std::string& name, TMouseEvent handler) { mouse_[name] = std::move(handler); }
    // A handler member of a form, bound to that form.
    template <typename TOwner>
    void Add(const std::string& name, TOwner* owner, void (TOwner::*handler)(TComponent*)) {
        Add(name, TNotifyEvent([owner, handler](TComponent* s) { (owner->*handler)(s); }));
    }
    // Raise an error naming the handler when the form has none of that name and kind.
    const TNotifyEvent& Notify(const std::string& name) const;
    const TMouseEvent& Mouse(const std::string& name) const;

  private:
    std::map<std::string, TNotifyEvent> notify_;
    std::map<std::string, TMouseEvent> mouse_;
};

// Sets one stored property on a component; false when the class has no such property.
using TPropertySetter = std::function<bool(TComponent& component, const std::string& name,
                                           const TLayoutValue& value, const TEventTable& events)>;

// Components that hold other components in a layout (controls in a panel, items in a menu).
class TLayoutParent {
  public:
    virtual ~TLayoutParent() = default;
    virtual void InsertChild(TComponent* child) = 0;
};

// Reads a layout whose outer object is `root` (already constructed; `setRoot` sets its
// properties): names it, sets its properties and creates the nested components, owned
// by root. Every component created, and root last, is told Loaded() once the whole
// layout has been read.
void ReadLayout(TComponent& root, const TPropertySetter& setRoot, const std::string& text,
                const TEventTable& events);

// The text of an RCDATA resource of the program.
std::string LoadLayoutResource(const std::string& resourceName);

} // namespace fw
