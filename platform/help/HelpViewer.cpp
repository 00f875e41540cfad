// The help viewer window: the topic list or the keyword search on the left, the topic
// on the right. One viewer per process, shown without waiting and kept until closed.
#include "platform/help/HelpViewer.h"

#include "platform/help/HelpFile.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace help {

namespace {

constexpr int Margin = 8;
constexpr int ButtonWidth = 90;
constexpr int RowHeight = 24;
constexpr int ListWidth = 220;

class Viewer {
  public:
    static Viewer* Open(HWND owner);
    static Viewer* Current() { return current_; }

    HWND Window() const { return window_; }
    bool Load(const std::string& path);
    void ShowContents();
    void ShowSearch(const std::string& key);
    bool ShowContext(std::uint32_t context);
    void Bring();

  private:
    enum class Mode { Contents, Search };

    explicit Viewer(HWND owner);
    ~Viewer();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    HWND AddControl(const char* cls, const char* text, DWORD style, DWORD exStyle, int id);
    void Layout();
    void SetMode(Mode mode);
    void FillList();
    void ShowTopic(std::size_t index);
    void ShowPage(const std::string& title, const std::string& text);
    void ListSelectionChanged();

    static Viewer* current_;
    HWND window_ = nullptr;
    HFONT titleFont_ = nullptr;
    std::optional<HelpFile> file_;
    Mode mode_ = Mode::Contents;
    std::vector<IndexEntry> found_;
    std::optional<std::size_t> shown_;
};

Viewer* Viewer::current_ = nullptr;

Viewer* Viewer::Open(HWND owner) {
    if (!current_) {
        auto* viewer = new Viewer(owner); // owned by its window: deleted when the window goes
        if (!viewer->window_)
            delete viewer;
    }
    return current_;
}

Viewer::Viewer(HWND owner) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (!GetClassInfoA(module, ViewerClass, &existing)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = module;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hIcon = LoadIcon(nullptr, IDI_QUESTION);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = ViewerClass;
        RegisterClassA(&wc);
    }
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    font.lfHeight = font.lfHeight * 4 / 3;
    titleFont_ = CreateFontIndirectA(&font);

    int width = 640, height = 460, x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    RECT over;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner) && GetWindowRect(owner, &over)) {
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        x = std::clamp<int>((over.left + over.right - width) / 2, work.left,
                            std::max<int>(work.left, work.right - width));
        y = std::clamp<int>((over.top + over.bottom - height) / 2, work.top,
                            std::max<int>(work.top, work.bottom - height));
    }
    current_ = this;
    window_ = CreateWindowExA(0, ViewerClass, "Quiptide Help", WS_OVERLAPPEDWINDOW, x, y, width,
                              height, nullptr, nullptr, module, this);
}

Viewer::~Viewer() {
    if (current_ == this)
        current_ = nullptr;
    DeleteObject(titleFont_);
}

HWND Viewer::AddControl(const char* cls, const char* text, DWORD style, DWORD exStyle, int id) {
    HWND control = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                   window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
    SendMessageA(
        control, WM_SETFONT,
        reinterpret_cast<WPARAM>(id == idTitle ? titleFont_ : GetStockObject(DEFAULT_GUI_FONT)),
        FALSE);
    return control;
}

void Viewer::Layout() {
    RECT client;
    GetClientRect(window_, &client);
    int top = Margin + RowHeight + Margin;
    int bottom = std::max<int>(top + RowHeight, client.bottom - Margin);
    MoveWindow(Control(idContents), Margin, Margin, ButtonWidth, RowHeight, TRUE);
    MoveWindow(Control(idSearch), Margin * 2 + ButtonWidth, Margin, ButtonWidth, RowHeight, TRUE);
    int listTop = top;
    if (mode_ == Mode::Search) {
        MoveWindow(Control(idKey), Margin, top, ListWidth, RowHeight - 2, TRUE);
        listTop += RowHeight + 4;
    }
    MoveWindow(Control(idList), Margin, listTop, ListWidth, bottom - listTop, TRUE);
    int right = Margin * 2 + ListWidth;
    int width = std::max<int>(RowHeight, client.right - Margin - right);
    MoveWindow(Control(idTitle), right, top + 2, width, RowHeight, TRUE);
    MoveWindow(Control(idBody), right, top + RowHeight + 4, width,
               std::max<int>(RowHeight, bottom - top - RowHeight - 4), TRUE);
}

bool Viewer::Load(const std::string& path) {
    try {
        file_ = HelpFile::Load(path);
        return true;
    } catch (const HelpError& e) {
        file_.reset();
        shown_.reset();
        FillList();
        ShowPage("Help Unavailable",
                 "The help file\r\n" + path + "\r\ncannot be used: " + e.what() + ".");
        return false;
    }
}

void Viewer::SetMode(Mode mode) {
    mode_ = mode;
    ShowWindow(Control(idKey), mode == Mode::Search ? SW_SHOW : SW_HIDE);
    Layout();
    FillList();
}

void Viewer::FillList() {
    HWND list = Control(idList);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    found_.clear();
    if (file_ && mode_ == Mode::Contents) {
        for (const Topic& topic : file_->Topics())
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(topic.title.c_str()));
        if (shown_)
            SendMessageA(list, LB_SETCURSEL, *shown_, 0);
    } else if (file_) {
        char key[256] = "";
        GetWindowTextA(Control(idKey), key, sizeof key);
        found_ = file_->Search(key);
        for (const IndexEntry& entry : found_) {
            // A keyword of several topics names the topic on each of its lines.
            auto same = [&](const IndexEntry& other) {
                return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, other.keyword.c_str(),
                                      -1, entry.keyword.c_str(), -1) == CSTR_EQUAL;
            };
            std::string line = entry.keyword;
            if (std::count_if(found_.begin(), found_.end(), same) > 1)
                line += ": " + file_->Topics()[entry.topic].title;
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        }
        // The page follows the typing: the first keyword found is shown at once.
        if (!found_.empty()) {
            SendMessageA(list, LB_SETCURSEL, 0, 0);
            ShowTopic(found_.front().topic);
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void Viewer::ShowPage(const std::string& title, const std::string& text) {
    SetWindowTextA(Control(idTitle), title.c_str());
    SetWindowTextA(Control(idBody), text.c_str());
}

void Viewer::ShowTopic(std::size_t index) {
    const Topic& topic = file_->Topics()[index];
    shown_ = index;
    ShowPage(topic.title, topic.text);
    if (mode_ == Mode::Contents)
        SendMessageA(Control(idList), LB_SETCURSEL, index, 0);
}

void Viewer::ShowContents() {
    shown_ = 0;
    SetMode(Mode::Contents);
    ShowTopic(0);
}

void Viewer::ShowSearch(const std::string& key) {
    SetWindowTextA(Control(idKey), key.c_str()); // refills the list
    SetMode(Mode::Search);
    SendMessageA(Control(idKey), EM_SETSEL, key.size(), key.size());
    SetFocus(Control(idKey));
}

bool Viewer::ShowContext(std::uint32_t context) {
    std::optional<std::size_t> index = file_->FindContext(context);
    shown_ = index;
    SetMode(Mode::Contents);
    if (!index) {
        ShowPage("Help Topic Not Found", "The help file has no topic for the context number " +
                                             std::to_string(context) +
                                             ".\r\n\r\nClick Contents to see all topics.");
        return false;
    }
    ShowTopic(*index);
    return true;
}

void Viewer::Bring() {
    if (IsIconic(window_))
        ShowWindow(window_, SW_RESTORE);
    else
        ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void Viewer::ListSelectionChanged() {
    LRESULT selected = SendMessageA(Control(idList), LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR || !file_)
        return;
    auto at = static_cast<std::size_t>(selected);
    if (mode_ == Mode::Contents)
        ShowTopic(at);
    else if (at < found_.size())
        ShowTopic(found_[at].topic);
}

LRESULT Viewer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        AddControl("BUTTON", "&Contents", BS_PUSHBUTTON | WS_TABSTOP, 0, idContents);
        AddControl("BUTTON", "&Search", BS_PUSHBUTTON | WS_TABSTOP, 0, idSearch);
        AddControl("EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, idKey);
        AddControl("LISTBOX", "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                   WS_EX_CLIENTEDGE, idList);
        AddControl("STATIC", "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, idTitle);
        AddControl("EDIT", "", ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_TABSTOP,
                   WS_EX_CLIENTEDGE, idBody);
        ShowWindow(Control(idKey), SW_HIDE);
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{420, 260};
        return 0;
    case WM_CTLCOLORSTATIC:
        // The topic text reads as a page, not as a greyed-out field.
        if (reinterpret_cast<HWND>(lParam) == Control(idBody)) {
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case idContents:
            if (HIWORD(wParam) == BN_CLICKED)
                SetMode(Mode::Contents);
            return 0;
        case idSearch:
            if (HIWORD(wParam) == BN_CLICKED)
                ShowSearch("");
            return 0;
        case idKey:
            if (HIWORD(wParam) == EN_CHANGE && mode_ == Mode::Search)
                FillList();
            return 0;
        case idList:
            if (HIWORD(wParam) == LBN_SELCHANGE)
                ListSelectionChanged();
            return 0;
        }
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        delete this;
        return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK Viewer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* viewer =
            static_cast<Viewer*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        viewer->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(viewer));
    }
    auto* viewer = reinterpret_cast<Viewer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!viewer)
        return DefWindowProcA(window, message, wParam, lParam);
    return viewer->HandleMessage(message, wParam, lParam);
}

} // namespace

bool ShowHelp(HWND owner, const std::string& helpFile, unsigned command, std::uintptr_t data) {
    if (command == HELP_QUIT) {
        if (Viewer* viewer = Viewer::Current())
            DestroyWindow(viewer->Window());
        return true;
    }
    if (command != HELP_CONTENTS && command != HELP_PARTIALKEY && command != HELP_CONTEXT)
        return false;
    Viewer* viewer = Viewer::Open(owner);
    if (!viewer)
        return false;
    bool done = viewer->Load(helpFile);
    if (done) {
        if (command == HELP_CONTENTS) {
            viewer->ShowContents();
        } else if (command == HELP_PARTIALKEY) {
            const char* key = reinterpret_cast<const char*>(data);
            viewer->ShowSearch(key ? key : "");
        } else {
            done = viewer->ShowContext(static_cast<std::uint32_t>(data));
        }
    }
    viewer->Bring();
    return done;
}

} // namespace help
