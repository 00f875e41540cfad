// The layout reader: a small tokenizer and a recursive reader of nested objects.
#include "framework/LayoutReader.h"

#include "framework/ClassRegistry.h"
#include "framework/Exception.h"

#include <windows.h>

#include <cctype>

namespace fw {

TLayoutValue TLayoutValue::Integer(long long v) {
    TLayoutValue r;
    r.kind_ = TKind::Integer;
    r.int_ = v;
    return r;
}

TLayoutValue TLayoutValue::String(const std::string& s) {
    TLayoutValue r;
    r.kind_ = TKind::String;
    r.text_ = s;
    return r;
}

TLayoutValue TLayoutValue::Ident(const std::string& s) {
    TLayoutValue r;
    r.kind_ = TKind::Ident;
    r.text_ = s;
    return r;
}

TLayoutValue TLayoutValue::List(std::vector<TLayoutValue> items) {
    TLayoutValue r;
    r.kind_ = TKind::List;
    r.items_ = std::move(items);
    return r;
}

int TLayoutValue::AsInteger() const {
    if (kind_ != TKind::Integer)
        throw Exception("Layout value is not a number");
    return static_cast<int>(int_);
}

const std::string& TLayoutValue::AsString() const {
    if (kind_ != TKind::String)
        throw Exception("Layout value is not a text");
    return text_;
}

const std::string& TLayoutValue::AsIdent() const {
    if (kind_ != TKind::Ident)
        throw Exception("Layout value is not an identifier");
    return text_;
}

bool TLayoutValue::AsBoolean() const {
    if (kind_ == TKind::Ident && (text_ == "True" || text_ == "False"))
        return text_ == "True";
    throw Exception("Layout value is not True or False");
}

const std::vector<TLayoutValue>& TLayoutValue::Items() const {
    if (kind_ != TKind::List)
        throw Exception("Layout value is not a list");
    return items_;
}

const TNotifyEvent& TEventTable::Notify(const std::string& name) const {
    auto it = notify_.find(name);
    if (it == notify_.end())
        throw Exception("Handler " + name + " not found");
    return it->second;
}

const TMouseEvent& TEventTable::Mouse(const std::string& name) const {
    auto it = mouse_.find(name);
    if (it == mouse_.end())
        throw Exception("Handler " + name + " not found");
    return it->second;
}

namespace {

class TLayoutReader {
  public:
    TLayoutReader(const std::string& text, const TEventTable& events)
        : text_(text), events_(events) {}

    void ReadRoot(TComponent& root, const TPropertySetter& setRoot) {
        Expect("object");
        root.SetName(Ident());
        Expect(":");
        Ident(); // the root's class: the caller constructed it
        ReadBody(root, setRoot, root);
        Skip();
        if (pos_ < text_.size())
            Fail("text after the end of the layout");
        for (TComponent* c : created_)
            c->Loaded();
        root.Loaded();
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw Exception("Layout error at line " + std::to_string(line_) + ": " + what);
    }

    void Skip() {
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\n')
                ++line_;
            if (std::isspace(static_cast<unsigned char>(c)))
                ++pos_;
            else if (text_.compare(pos_, 2, "//") == 0)
                while (pos_ < text_.size() && text_[pos_] != '\n')
                    ++pos_;
            else
                break;
        }
    }

    static bool IdentChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
    }

    std::string Ident() {
        Skip();
        size_t start = pos_;
        while (pos_ < text_.size() && IdentChar(text_[pos_]))
            ++pos_;
        if (start == pos_ || std::isdigit(static_cast<unsigned char>(text_[start])))
            Fail("identifier expected");
        return text_.substr(start, pos_ - start);
    }

    bool Peek(const std::string& word) {
        Skip();
        if (text_.compare(pos_, word.size(), word) != 0)
            return false;
        size_t end = pos_ + word.size();
        return !IdentChar(word.back()) || end >= text_.size() || !IdentChar(text_[end]);
    }

    void Expect(const std::string& word) {
        if (!Peek(word))
            Fail("'" + word + "' expected");
        pos_ += word.size();
    }

    // 'text' pieces with '' for a quote, joined with #nn character codes: 'a'#13#10'b'.
    std::string Text() {
        std::string s;
        while (pos_ < text_.size()) {
            if (text_[pos_] == '\'') {
                for (++pos_;; ++pos_) {
                    if (pos_ >= text_.size() || text_[pos_] == '\n')
                        Fail("unterminated text");
                    if (text_[pos_] == '\'') {
                        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'')
                            ++pos_;
                        else
                            break;
                    }
                    s += text_[pos_];
                }
                ++pos_;
            } else if (text_[pos_] == '#') {
                size_t start = ++pos_;
                while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
                    ++pos_;
                if (start == pos_ || pos_ - start > 3)
                    Fail("character code expected");
                int code = std::stoi(text_.substr(start, pos_ - start));
                if (code > 255)
                    Fail("character code out of range");
                s += static_cast<char>(code);
            } else {
                break;
            }
        }
        return s;
    }

    TLayoutValue Value() {
        Skip();
        if (pos_ >= text_.size())
            Fail("value expected");
        char c = text_[pos_];
        if (c == '\'' || c == '#')
            return TLayoutValue::String(Text());
        if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            size_t start = pos_++;
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
                ++pos_;
            std::string digits = text_.substr(start, pos_ - start);
            if (digits == "-" || digits.size() > 10)
                Fail("number expected");
            return TLayoutValue::Integer(std::stoll(digits));
        }
        if (c == '(') {
            ++pos_;
            std::vector<TLayoutValue> items;
            while (!Peek(")"))
                items.push_back(Value());
            ++pos_;
            return TLayoutValue::List(std::move(items));
        }
        return TLayoutValue::Ident(Ident());
    }

    void ReadBody(TComponent& target, const TPropertySetter& set, TComponent& root) {
        while (!Peek("end")) {
            if (Peek("object")) {
                ReadObject(target, root);
                continue;
            }
            std::string name = Ident();
            Expect("=");
            TLayoutValue value = Value();
            if (!set(target, name, value, events_))
                Fail("property " + name + " does not exist in " + target.Name());
        }
        Expect("end");
    }

    void ReadObject(TComponent& parent, TComponent& root) {
        Expect("object");
        std::string name = Ident();
        Expect(":");
        std::string cls = Ident();
        const TComponentClass& entry = FindComponentClass(cls);
        TComponent* c = entry.make(&root);
        c->SetName(name);
        created_.push_back(c);
        if (auto* holder = dynamic_cast<TLayoutParent*>(&parent))
            holder->InsertChild(c);
        ReadBody(*c, entry.set, root);
    }

    const std::string& text_;
    const TEventTable& events_;
    size_t pos_ = 0;
    int line_ = 1;
    std::vector<TComponent*> created_;
};

} // namespace

void ReadLayout(TComponent& root, const TPropertySetter& setRoot, const std::string& text,
                const TEventTable& events) {
    TLayoutReader(text, events).ReadRoot(root, setRoot);
}

std::string LoadLayoutResource(const std::string& resourceName) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, resourceName.c_str(), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        throw Exception("Layout " + resourceName + " not found");
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, info));
}

} // namespace fw
