// Checks on a top-level window's client size and its place on the screen.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

// The client area is width by height and the window is centred on the screen.
inline void ExpectCentredWithClient(HWND window, int width, int height) {
    RECT client, outer;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
    EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}
