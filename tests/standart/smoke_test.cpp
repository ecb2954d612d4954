#include <gtest/gtest.h>
#include <windows.h>
TEST(Smoke, Window) {
    HWND h = CreateWindowExA(0, "STATIC", "x", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, 0, 0, 0, 0);
    EXPECT_NE(h, nullptr);
    DestroyWindow(h);
}
