// The verify and rebuild progress windows: their size and place, a fresh reset window on
// every showing, values beyond the gauge's range, and updates that change nothing while
// no window is shown.
#include "tableutil/Rebdlg.h"
#include "tableutil/Verdlg.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(ProgressWindows, VerifyWindowIsCentredAndStartsEmptyEachTime) {
    TVerifyDlg dlg(nullptr);
    EXPECT_FALSE(dlg.StatusExists());
    dlg.SetDataProgress(50); // no window: nothing happens
    dlg.ShowStatus();
    ASSERT_TRUE(dlg.StatusExists());
    TFormVerifyStatus* w = TVerifyDlg::Window();
    RECT client, outer;
    GetClientRect(w->Handle(), &client);
    GetWindowRect(w->Handle(), &outer);
    EXPECT_EQ(client.right, 347);
    EXPECT_EQ(client.bottom, 225);
    EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_EQ(GetWindowLongA(w->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_EQ(w->LabelZeroOf->Caption(), ""); // the design-time "0" is gone
    dlg.SetDataProgress(65535);
    EXPECT_EQ(w->GaugeData->Percent(), 100);
    dlg.SetIndexNumber("3");
    dlg.SetStatusText("Checking");
    dlg.CloseStatus();
    EXPECT_FALSE(dlg.StatusExists());
    dlg.ShowStatus();
    w = TVerifyDlg::Window();
    EXPECT_EQ(w->GaugeData->Progress(), 0);
    EXPECT_EQ(w->LabelZeroOf->Caption(), "");
    EXPECT_EQ(w->LabelStatus->Caption(), "");
    dlg.CloseStatus();
}

TEST(ProgressWindows, RebuildWindowSitsAtItsPlaceAndANegativeValueShowsAsZero) {
    TRebuildDlg dlg(nullptr);
    dlg.ShowStatus();
    TFormRebuildStatus* w = TRebuildDlg::Window();
    ASSERT_NE(w, nullptr);
    RECT client, outer;
    GetClientRect(w->Handle(), &client);
    GetWindowRect(w->Handle(), &outer);
    EXPECT_EQ(client.right, 338);
    EXPECT_EQ(client.bottom, 69);
    EXPECT_EQ(outer.left, 259);
    EXPECT_EQ(outer.top, 282);
    dlg.SetRebuildProgress(40);
    dlg.SetRebuildProgress(-5);
    EXPECT_EQ(w->GaugeRebuild->Progress(), 0);
    dlg.SetPackedText("12 records");
    EXPECT_EQ(w->LabelNumPacked->Caption(), "12 records");
    dlg.CloseStatus();
    EXPECT_EQ(TRebuildDlg::Window(), nullptr);
    dlg.SetPackedText("ignored");
    dlg.RefreshStatus();
}

} // namespace
