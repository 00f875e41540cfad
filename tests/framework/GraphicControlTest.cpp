// Windowless controls on a real panel: what the panel paints of them (in place, clipped,
// hidden ones not at all, the old and new places repainted after a move), which of them
// the mouse reaches and when a speed button clicks, and the hint tools over their bounds.
#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/GlyphButtons.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "tests/desktop/Picture.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

const COLORREF kPanel = RGB(255, 255, 0);
const COLORREF kSpill = RGB(0, 0, 255);
const COLORREF kOrigin = RGB(0, 255, 0);

// B lies over the right part of A; Hidden, were it shown, over the left part of A.
const char* const kLayout = R"(object Probe: TForm
  ClientWidth = 300
  Height = 160
  object Bar: TPanel
    Left = 0
    Top = 0
    Width = 300
    Height = 100
    BevelOuter = bvNone
    Color = clYellow
    object A: TSpeedButton
      Left = 10
      Top = 10
      Width = 40
      Height = 30
      Hint = 'Open'
      OnClick = Clicked
    end
    object B: TSpeedButton
      Left = 40
      Top = 10
      Width = 40
      Height = 30
      Hint = 'Save'
      OnClick = Clicked
    end
    object Hidden: TSpeedButton
      Left = 10
      Top = 10
      Width = 20
      Height = 30
      Hint = 'Hidden'
      Visible = False
      OnClick = Clicked
    end
    object Off: TSpeedButton
      Left = 100
      Top = 10
      Width = 30
      Height = 30
      Hint = 'Off'
      Enabled = False
      OnClick = Clicked
    end
    object Tip: TLabel
      Left = 150
      Top = 10
      Width = 60
      Height = 20
      Hint = 'A label'
      Color = clRed
    end
  end
end)";

// Paints far beyond its bounds in one colour, with one pixel of another at its origin.
class TSpill : public fw::TGraphicControl {
  public:
    using TGraphicControl::TGraphicControl;

  protected:
    void Paint(HDC dc) override {
        HBRUSH brush = CreateSolidBrush(kSpill);
        const RECT huge{-1000, -1000, 1000, 1000};
        FillRect(dc, &huge, brush);
        DeleteObject(brush);
        SetPixel(dc, 0, 0, kOrigin);
    }
};

class GraphicControlTest : public ::testing::Test {
  protected:
    GraphicControlTest() {
        fw::TEventTable events;
        events.Add("Clicked",
                   fw::TNotifyEvent([this](fw::TComponent* s) { clicks.push_back(s->Name()); }));
        form.Build(kLayout, events);
        bar = dynamic_cast<fw::TPanel*>(form.FindComponent("Bar"));
        spill = new TSpill(&form);
        spill->SetParent(bar);
        spill->SetBounds(220, 50, 30, 20);
        form.Show();
    }
    fw::TControl& Get(const char* name) {
        return *dynamic_cast<fw::TControl*>(form.FindComponent(name));
    }
    void Mouse(UINT msg, POINT p) {
        SendMessageA(bar->Handle(), msg, msg == WM_MOUSEMOVE ? 0 : MK_LBUTTON,
                     MAKELPARAM(p.x, p.y));
    }
    // Whether the panel waits to repaint the point.
    bool Pending(POINT p) const {
        HRGN pending = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(bar->Handle(), pending, FALSE);
        const bool in = PtInRegion(pending, p.x, p.y);
        DeleteObject(pending);
        return in;
    }

    fw::TForm form{nullptr};
    fw::TPanel* bar = nullptr;
    TSpill* spill = nullptr;
    std::vector<std::string> clicks;
};

TEST_F(GraphicControlTest, ThePanelPaintsEachInPlaceClippedToItsBoundsAndRepaintsAMove) {
    {
        TPicture p(bar->Handle());
        EXPECT_EQ(p.Count(kSpill) + p.Count(kOrigin), 30 * 20) << "clipped to its bounds";
        EXPECT_EQ(p.At(220, 50), kOrigin) << "its origin is its top-left corner";
        EXPECT_EQ(p.At(219, 50), kPanel);
        EXPECT_EQ(p.At(250, 70), kPanel);
        EXPECT_EQ(p.Count(RGB(255, 0, 0)), 60 * 20) << "the label's face";
        EXPECT_EQ(TPicture(Get("Tip")).Count(RGB(255, 0, 0)), 60 * 20);
    }
    UpdateWindow(bar->Handle());
    spill->SetBounds(100, 60, 30, 20);
    EXPECT_TRUE(Pending({225, 55})) << "the old place";
    EXPECT_TRUE(Pending({105, 65})) << "the new place";
    EXPECT_FALSE(Pending({5, 95}));
    UpdateWindow(bar->Handle());
    spill->Hide();
    EXPECT_TRUE(Pending({105, 65}));
    TPicture hidden(bar->Handle());
    EXPECT_EQ(hidden.Count(kSpill), 0);
    EXPECT_EQ(hidden.At(100, 60), kPanel);
}

TEST_F(GraphicControlTest, TheMouseReachesTheTopmostShownEnabledControlAndAReleaseOverItClicks) {
    struct TCase {
        const char* what;
        std::vector<std::pair<UINT, POINT>> mouse;
        std::vector<std::string> clicked;
    };
    const TCase cases[] = {
        {"press and release on A", {{WM_LBUTTONDOWN, {15, 20}}, {WM_LBUTTONUP, {16, 21}}}, {"A"}},
        {"where B lies over A", {{WM_LBUTTONDOWN, {45, 20}}, {WM_LBUTTONUP, {45, 20}}}, {"B"}},
        {"released off the button",
         {{WM_LBUTTONDOWN, {15, 20}}, {WM_MOUSEMOVE, {15, 60}}, {WM_LBUTTONUP, {15, 60}}},
         {}},
        {"dragged off and back",
         {{WM_LBUTTONDOWN, {15, 20}},
          {WM_MOUSEMOVE, {200, 90}},
          {WM_MOUSEMOVE, {20, 25}},
          {WM_LBUTTONUP, {20, 25}}},
         {"A"}},
        {"released over another button",
         {{WM_LBUTTONDOWN, {15, 20}}, {WM_LBUTTONUP, {70, 20}}},
         {}},
        {"a disabled button", {{WM_LBUTTONDOWN, {110, 20}}, {WM_LBUTTONUP, {110, 20}}}, {}},
        {"the panel itself", {{WM_LBUTTONDOWN, {5, 95}}, {WM_LBUTTONUP, {5, 95}}}, {}},
        {"a double click clicks twice",
         {{WM_LBUTTONDOWN, {15, 20}},
          {WM_LBUTTONUP, {15, 20}},
          {WM_LBUTTONDBLCLK, {15, 20}},
          {WM_LBUTTONUP, {15, 20}}},
         {"A", "A"}},
    };
    for (const TCase& c : cases) {
        clicks.clear();
        for (auto [msg, p] : c.mouse)
            Mouse(msg, p);
        EXPECT_EQ(clicks, c.clicked) << c.what;
        EXPECT_NE(GetCapture(), bar->Handle()) << c.what << ": the mouse is let go";
    }

    // Held down on A, it shows pushed while the pointer is over it.
    const auto look = [&] {
        TPicture p(Get("A"));
        return std::vector<COLORREF>{p.At(0, 0), p.At(1, 1), p.At(39, 29), p.At(38, 28)};
    };
    const std::vector<COLORREF> up = look();
    clicks.clear();
    Mouse(WM_LBUTTONDOWN, {15, 20});
    EXPECT_NE(look(), up);
    Mouse(WM_MOUSEMOVE, {15, 60});
    EXPECT_EQ(look(), up);
    ReleaseCapture(); // taken away: no click, and up again
    Mouse(WM_MOUSEMOVE, {15, 20});
    Mouse(WM_LBUTTONUP, {15, 20});
    EXPECT_EQ(look(), up);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(GraphicControlTest, HintsCoverTheBoundsOfShownEnabledControlsAndFollowThem) {
    auto hintAt = [&](POINT p) -> std::string {
        TTHITTESTINFOA hit{};
        hit.hwnd = bar->Handle();
        hit.pt = p;
        hit.ti.cbSize = TTTOOLINFOA_V2_SIZE;
        if (!SendMessageA(form.HintWindow(), TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit)))
            return "";
        char text[80] = {};
        hit.ti.lpszText = text;
        SendMessageA(form.HintWindow(), TTM_GETTEXTA, sizeof text,
                     reinterpret_cast<LPARAM>(&hit.ti));
        return text;
    };
    struct TCase {
        POINT at;
        const char* hint;
    };
    for (auto [at, hint] : {TCase{{15, 20}, "Open"}, TCase{{45, 20}, "Save"}, TCase{{110, 20}, ""},
                            TCase{{160, 15}, "A label"}, TCase{{5, 95}, ""}})
        EXPECT_EQ(hintAt(at), hint) << at.x << "," << at.y;

    Get("Tip").SetBounds(150, 60, 60, 20);
    Get("Tip").SetHint("Moved");
    Get("Off").SetEnabled(true);
    Get("A").Hide();
    for (auto [at, hint] : {TCase{{160, 15}, ""}, TCase{{160, 65}, "Moved"},
                            TCase{{110, 20}, "Off"}, TCase{{15, 20}, ""}})
        EXPECT_EQ(hintAt(at), hint) << at.x << "," << at.y << " after the changes";
}

} // namespace
