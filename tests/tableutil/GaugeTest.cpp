// TGauge: the percentage and range rules of its setters, and what each kind paints, read
// back from the painted pixels (bar lengths, the vertical bar's top row, the pie's slice,
// the needle, the inverted text, the frame).
#include "framework/Forms.h"
#include "tableutil/Gauges.h"
#include "tests/desktop/Picture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const COLORREF kFore = RGB(0, 0, 255);
const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kFace = RGB(0, 128, 0);

// Counts the repaints, so a test can tell a setter that repaints from one that does not.
class TCountingGauge : public TGauge {
  public:
    using TGauge::TGauge;
    int paints = 0;

  protected:
    void Paint(HDC dc) override {
        ++paints;
        TGauge::Paint(dc);
    }
};

class GaugeTest : public ::testing::Test {
  protected:
    GaugeTest() {
        host.Build("object Host: TForm\n  Width = 300\n  Height = 200\nend", {});
        gauge = new TCountingGauge(&host);
        gauge->SetParent(&host);
        gauge->SetBounds(10, 10, 101, 41);
        gauge->SetForeColor(kFore);
        gauge->SetBackColor(kBack);
        gauge->SetColor(kFace);
        ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
        UpdateWindow(host.Handle());
    }
    // Pixels of colour c on row y of the picture.
    static int RowCount(const TPicture& p, int y, COLORREF c) {
        int n = 0;
        for (int x = 0; x < p.Width(); ++x)
            n += p.At(x, y) == c;
        return n;
    }
    static int ColumnCount(const TPicture& p, int x, COLORREF c) {
        int n = 0;
        for (int y = 0; y < p.Height(); ++y)
            n += p.At(x, y) == c;
        return n;
    }
    fw::TForm host{nullptr};
    TCountingGauge* gauge = nullptr;
};

TEST_F(GaugeTest, PercentTruncatesAndAnEmptyRangeIsZero) {
    EXPECT_EQ(gauge->Percent(), 0);
    gauge->SetMaxValue(3);
    gauge->SetProgress(2);
    EXPECT_EQ(gauge->Percent(), 66);
    gauge->SetMinValue(-3);
    EXPECT_EQ(gauge->Percent(), 83); // 5 of 6
    gauge->SetMinValue(3);
    EXPECT_EQ(gauge->Progress(), 3); // raised to the new minimum
    EXPECT_EQ(gauge->Percent(), 0);  // minimum equals maximum
    EXPECT_EQ(TGauge::ScaledPart(50, 99), 49);
    EXPECT_EQ(TGauge::ScaledPart(100, 99), 99);
    EXPECT_EQ(TGauge::ScaledPart(33, 10), 3);
}

TEST_F(GaugeTest, ProgressIsClampedAndTheRangeSettersRefuseAnInvertedRange) {
    gauge->SetProgress(-5);
    EXPECT_EQ(gauge->Progress(), 0);
    gauge->SetProgress(65535);
    EXPECT_EQ(gauge->Progress(), 100);
    try {
        gauge->SetMinValue(101);
        FAIL() << "a minimum above the maximum was taken";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Value must be between -2147483647 and 99");
    }
    EXPECT_EQ(gauge->MinValue(), 0);
    try {
        gauge->SetMaxValue(-1);
        FAIL() << "a maximum below the minimum was taken";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Value must be between 1 and 2147483647");
    }
    EXPECT_EQ(gauge->MaxValue(), 100);
    gauge->SetMaxValue(40);
    EXPECT_EQ(gauge->Progress(), 40); // lowered to the new maximum
}

TEST_F(GaugeTest, ProgressRepaintsOnlyWhenThePercentChanges) {
    gauge->SetMaxValue(1000);
    const int before = gauge->paints;
    gauge->SetProgress(1); // still 0 %
    EXPECT_EQ(gauge->Progress(), 1);
    EXPECT_EQ(gauge->paints, before);
    gauge->SetProgress(10); // 1 %
    EXPECT_EQ(gauge->paints, before + 1);
    gauge->SetProgress(10);                      // no change at all
    gauge->SetKind(TGaugeKind::gkHorizontalBar); // the same kind
    EXPECT_EQ(gauge->paints, before + 1);
    gauge->SetForeColor(RGB(255, 0, 0));
    EXPECT_EQ(gauge->paints, before + 2);
}

TEST_F(GaugeTest, HorizontalBarGrowsWithThePercentInsideTheFrame) {
    gauge->SetShowText(false);
    {
        TPicture p(*gauge);
        EXPECT_EQ(RowCount(p, 20, kFore), 0); // 0 %: no bar
        EXPECT_EQ(RowCount(p, 20, kBack), 99);
        EXPECT_EQ(p.At(0, 20), RGB(0, 0, 0)); // the frame
        EXPECT_EQ(p.At(100, 20), RGB(0, 0, 0));
        EXPECT_EQ(p.At(50, 0), RGB(0, 0, 0));
    }
    gauge->SetProgress(50);
    {
        TPicture p(*gauge);
        // W = 100, W2 = 50: from x 1 up to x 49.
        EXPECT_EQ(RowCount(p, 20, kFore), 49);
        EXPECT_EQ(p.At(1, 20), kFore);
        EXPECT_EQ(p.At(50, 20), kBack);
    }
    gauge->SetProgress(100);
    {
        TPicture p(*gauge);
        EXPECT_EQ(RowCount(p, 20, kFore), 99); // to the right edge of the paint area
        EXPECT_EQ(ColumnCount(p, 50, kFore), 39);
    }
}

TEST_F(GaugeTest, AFullVerticalBarWithoutFrameLeavesItsTopRow) {
    gauge->SetShowText(false);
    gauge->SetKind(TGaugeKind::gkVerticalBar);
    gauge->SetBorderStyle(TGaugeBorder::bsNone);
    gauge->SetProgress(100);
    TPicture p(*gauge);
    EXPECT_EQ(RowCount(p, 0, kBack), 101);
    EXPECT_EQ(RowCount(p, 1, kFore), 101);
    EXPECT_EQ(ColumnCount(p, 50, kFore), 40);
    gauge->SetProgress(50);
    TPicture half(*gauge);
    // H = 42, H2 = 21: rows 21 to 40.
    EXPECT_EQ(ColumnCount(half, 50, kFore), 20);
    EXPECT_EQ(half.At(50, 20), kBack);
    EXPECT_EQ(half.At(50, 21), kFore);
}

TEST_F(GaugeTest, TextIsCentredAndInvertsThePicture) {
    gauge->SetProgress(50);
    TPicture p(*gauge);
    // White text over the blue bar turns yellow; over the white background black.
    int inverseOfBar = 0, inverseOfBack = 0;
    for (int y = 1; y < 40; ++y)
        for (int x = 1; x < 100; ++x) {
            inverseOfBar += p.At(x, y) == RGB(255, 255, 0);
            inverseOfBack += p.At(x, y) == RGB(0, 0, 0);
        }
    EXPECT_GT(inverseOfBar, 5);  // "50%" starts left of the middle, over the bar
    EXPECT_GT(inverseOfBack, 5); // and ends right of it
    gauge->SetShowText(false);
    TPicture plain(*gauge);
    for (int x = 1; x < 100; ++x)
        EXPECT_NE(plain.At(x, 20), RGB(255, 255, 0));
}

TEST_F(GaugeTest, PieGrowsClockwiseFromTwelveAndZeroDrawsNoSlice) {
    gauge->SetShowText(false);
    gauge->SetKind(TGaugeKind::gkPie);
    gauge->SetBounds(10, 10, 81, 81);
    {
        TPicture p(*gauge);
        EXPECT_EQ(p.At(2, 2), kFace); // outside the disc: the control's colour
        int fore = 0;
        for (int y = 2; y < 78; ++y)
            fore += RowCount(p, y, kFore);
        EXPECT_LT(fore, 400); // the outline only
        EXPECT_EQ(p.At(40, 40), kBack);
    }
    gauge->SetProgress(25);
    {
        TPicture p(*gauge);
        EXPECT_EQ(p.At(55, 25), kFore); // top right quarter
        EXPECT_EQ(p.At(25, 25), kBack); // top left
        EXPECT_EQ(p.At(55, 55), kBack); // bottom right
    }
    gauge->SetProgress(75);
    {
        TPicture p(*gauge);
        EXPECT_EQ(p.At(55, 55), kFore);
        EXPECT_EQ(p.At(25, 55), kFore);
        EXPECT_EQ(p.At(25, 25), kBack);
    }
}

TEST_F(GaugeTest, NeedleSwingsFromLeftOverTheTopToRight) {
    gauge->SetShowText(false);
    gauge->SetKind(TGaugeKind::gkNeedle);
    gauge->SetBounds(10, 10, 81, 41);
    auto needleAt = [&](int x, int y) {
        TPicture p(*gauge);
        return p.At(x, y) == kFore;
    };
    EXPECT_FALSE(needleAt(40, 20)); // 0 %: no needle
    gauge->SetProgress(50);
    EXPECT_TRUE(needleAt(40, 20)); // straight up
    EXPECT_FALSE(needleAt(20, 35));
    gauge->SetProgress(10);
    EXPECT_FALSE(needleAt(40, 20));
    EXPECT_TRUE(needleAt(20, 33)); // low on the left
}

TEST_F(GaugeTest, TextKindShowsOnlyTheBackgroundAndThePercentage) {
    gauge->SetKind(TGaugeKind::gkText);
    gauge->SetProgress(100);
    TPicture p(*gauge);
    int fore = 0, inverted = 0;
    for (int y = 1; y < 40; ++y) {
        fore += RowCount(p, y, kFore);
        inverted += RowCount(p, y, RGB(0, 0, 0));
    }
    EXPECT_EQ(fore, 0);
    EXPECT_GT(inverted, 10); // "100%" in black over white
}

} // namespace
