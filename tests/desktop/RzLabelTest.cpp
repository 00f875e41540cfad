// TRzLabel painted into a bitmap: where each text style puts the system's highlight and
// shadow colours, the drop shadow's depth and colour, a disabled caption's grey, the
// 255-character limit, a transparent label on a coloured panel, and which setters repaint.
#include "desktop/DesktopClasses.h"
#include "desktop/RzLabel.h"
#include "framework/Exception.h"
#include "framework/Forms.h"
#include "framework/Panel.h"
#include "tests/desktop/Picture.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

const COLORREF kFace = RGB(0, 128, 128);
const COLORREF kText = RGB(0, 0, 0);

// Tahoma at this size has no smoothed edges: each pixel is the face or one drawing's colour.
const char* const kLayout = R"(object Host: TForm
  Width = 300
  Height = 120
  object Panel: TPanel
    Left = 0
    Top = 0
    Width = 200
    Height = 60
    BevelOuter = bvNone
    Color = clYellow
    object Lbl: TRzLabel
      Left = 10
      Top = 10
      Width = 60
      Height = 24
      Caption = 'HIT'
      Font.Name = 'Tahoma'
      Font.Height = -13
      Font.Style = (fsBold)
    end
  end
end)";

class RzLabelTest : public ::testing::Test {
  protected:
    RzLabelTest() {
        RegisterDesktopClasses();
        host.Build(kLayout, {});
        label = dynamic_cast<TRzLabel*>(host.FindComponent("Lbl"));
        label->SetColor(kFace);
        ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    }
    using Mask = std::vector<std::vector<bool>>;
    // The caption's own pixels, drawn with no style.
    Mask TextMask() {
        label->SetTextStyle(TTextStyle::tsNone);
        TPicture plain(*label);
        return plain.Mask(kText);
    }
    // Counts the pixels that differ from the caption drawn once for each (offset, colour),
    // in that order, and last in the text colour at its place, over the face colour.
    int Mismatches(const Mask& text, const std::vector<std::pair<int, COLORREF>>& layers,
                   COLORREF textColor = kText) {
        TPicture shown(*label);
        int wrong = 0;
        for (int y = 0; y < shown.Height(); ++y)
            for (int x = 0; x < shown.Width(); ++x) {
                COLORREF expected = kFace;
                auto inked = [&](int d) {
                    const int sx = x - d, sy = y - d;
                    return sx >= 0 && sy >= 0 && sy < shown.Height() && sx < shown.Width() &&
                           text[sy][sx];
                };
                for (auto [offset, colour] : layers)
                    if (inked(offset))
                        expected = colour;
                if (inked(0))
                    expected = textColor;
                wrong += shown.At(x, y) != expected;
            }
        return wrong;
    }
    // The first and last rows that hold the colour.
    static std::pair<int, int> Rows(const TPicture& p, COLORREF c) {
        int first = -1, last = -1;
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x)
                if (p.At(x, y) == c) {
                    first = first < 0 ? y : first;
                    last = y;
                }
        return {first, last};
    }
    // Whether the panel under the label waits to paint some of it.
    bool PendingPaint() const {
        HRGN pending = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(label->Parent()->Handle(), pending, FALSE);
        const RECT r = label->BoundsRect();
        const bool any = RectInRegion(pending, &r);
        DeleteObject(pending);
        return any;
    }

    fw::TForm host{nullptr};
    TRzLabel* label = nullptr;
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
};

TEST_F(RzLabelTest, DefaultsAreRecessedWithATwoPixelShadowInTheButtonShadowColour) {
    TRzLabel fresh(nullptr);
    EXPECT_EQ(fresh.TextStyle(), TTextStyle::tsRecessed);
    EXPECT_EQ(fresh.ShadowDepth(), 2);
    EXPECT_EQ(fresh.ShadowColor(), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_FALSE(fresh.About.Maker.empty());
}

TEST_F(RzLabelTest, NoStyleDrawsOnlyTheCaptionOnTheFace) {
    const Mask text = TextMask();
    TPicture p(*label);
    int ink = 0;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            ink += text[y][x];
            ASSERT_TRUE(p.At(x, y) == kFace || p.At(x, y) == kText) << x << "," << y;
        }
    EXPECT_GT(ink, 30);
    EXPECT_EQ(Mismatches(text, {}), 0);
}

TEST_F(RzLabelTest, RaisedLightsUpLeftAndShadesDownRightRecessedTheReverse) {
    const Mask text = TextMask();
    for (auto [style, upLeft, downRight] :
         {std::tuple{TTextStyle::tsRaised, highlight, shadow},
          std::tuple{TTextStyle::tsRecessed, shadow, highlight}}) {
        label->SetTextStyle(style);
        // Down-right drawn first, so up-left wins where the two meet.
        EXPECT_EQ(Mismatches(text, {{1, downRight}, {-1, upLeft}}), 0);
        TPicture p(*label);
        const auto [textTop, textBottom] = Rows(p, kText);
        EXPECT_EQ(Rows(p, upLeft).first, textTop - 1);
        EXPECT_EQ(Rows(p, downRight).second, textBottom + 1);
    }
}

TEST_F(RzLabelTest, ShadowFallsShadowDepthPixelsDownRightInTheShadowColour) {
    const Mask text = TextMask();
    label->SetTextStyle(TTextStyle::tsShadow);
    label->SetShadowColor(RGB(255, 0, 0));
    label->SetShadowDepth(4);
    EXPECT_EQ(Mismatches(text, {{4, RGB(255, 0, 0)}}), 0);
    TPicture p(*label);
    EXPECT_EQ(Rows(p, RGB(255, 0, 0)).second, Rows(p, kText).second + 4);
    EXPECT_EQ(Rows(p, highlight).first, -1) << "the bevel colours belong to the other styles";
}

TEST_F(RzLabelTest, TheBevelStylesKeepOnePixelWhateverTheShadowDepth) {
    const Mask text = TextMask();
    label->SetShadowDepth(5);
    label->SetShadowColor(RGB(255, 0, 0));
    label->SetTextStyle(TTextStyle::tsRaised);
    EXPECT_EQ(Mismatches(text, {{1, shadow}, {-1, highlight}}), 0);
}

TEST_F(RzLabelTest, ADisabledCaptionIsGreyOverTheSameBevels) {
    const Mask text = TextMask();
    label->SetEnabled(false);
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    EXPECT_EQ(Mismatches(text, {}, grey), 0);
    label->SetTextStyle(TTextStyle::tsRecessed);
    EXPECT_EQ(Mismatches(text, {{1, highlight}, {-1, shadow}}, grey), 0);
}

TEST_F(RzLabelTest, CaptionsAreCutTo255Characters) {
    label->SetTextStyle(TTextStyle::tsNone);
    label->SetAlignment(fw::TAlignment::taRightJustify);
    auto ink = [&] {
        TPicture p(*label);
        return Rows(p, kText).first >= 0;
    };
    label->SetCaption(std::string(TRzLabel::MaxCaption - 3, ' ') + "HIT");
    EXPECT_TRUE(ink()) << "the last of 255 characters are drawn, right-aligned";
    label->SetCaption(std::string(TRzLabel::MaxCaption, ' ') + "HIT");
    EXPECT_FALSE(ink()) << "what follows the 255th character is not";
}

TEST_F(RzLabelTest, ATransparentLabelShowsThePanelBehindIt) {
    label->SetTextStyle(TTextStyle::tsNone);
    label->SetTransparent(true);
    TPicture p(*label);
    EXPECT_EQ(p.At(0, 0), RGB(255, 255, 0));
    EXPECT_EQ(p.At(p.Width() - 1, p.Height() - 1), RGB(255, 255, 0));
    EXPECT_GE(Rows(p, kText).first, 0);
}

TEST_F(RzLabelTest, SettersRepaintOnlyWhenTheValueChanges) {
    UpdateWindow(label->Parent()->Handle());
    ASSERT_FALSE(PendingPaint());
    label->SetTextStyle(TTextStyle::tsRecessed);
    label->SetShadowDepth(2);
    label->SetShadowColor(GetSysColor(COLOR_BTNSHADOW));
    EXPECT_FALSE(PendingPaint()) << "the same values change nothing";

    label->SetTextStyle(TTextStyle::tsShadow);
    EXPECT_TRUE(PendingPaint());
    EXPECT_EQ(label->TextStyle(), TTextStyle::tsShadow);
    UpdateWindow(label->Parent()->Handle());
    label->SetShadowDepth(3);
    EXPECT_TRUE(PendingPaint());
    UpdateWindow(label->Parent()->Handle());
    label->SetShadowColor(RGB(1, 2, 3));
    EXPECT_TRUE(PendingPaint());
    EXPECT_EQ(label->ShadowColor(), RGB(1, 2, 3));
    EXPECT_EQ(label->ShadowDepth(), 3);
}

TEST(RzLabelLayout, StylesAndShadowAreReadFromALayout) {
    RegisterDesktopClasses();
    fw::TForm host(nullptr);
    host.Build(R"(object Host: TForm
  object L: TRzLabel
    TextStyle = tsShadow
    ShadowDepth = 3
    ShadowColor = clRed
  end
end)",
               {});
    auto* l = dynamic_cast<TRzLabel*>(host.FindComponent("L"));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->TextStyle(), TTextStyle::tsShadow);
    EXPECT_EQ(l->ShadowDepth(), 3);
    EXPECT_EQ(l->ShadowColor(), RGB(255, 0, 0));

    fw::TForm bad(nullptr);
    EXPECT_THROW(
        bad.Build("object B: TForm\n object L: TRzLabel\n TextStyle = tsEmbossed\n end\nend", {}),
        fw::Exception);
}

} // namespace
