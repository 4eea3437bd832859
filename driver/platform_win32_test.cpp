// The waiting window as a user sees it, checked with the system's own calls.

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "driver/platform_win32.h"

namespace binario {
namespace {

std::string text_of(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

TEST(PlatformWin32, TheWaitingWindow) {
  HWND window = platform::win32::create_waiting_window("Form1", "Attendere");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(text_of(window), "Form1");
  EXPECT_EQ(GetMenu(window), nullptr);

  HDC screen = GetDC(nullptr);
  const int dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, MulDiv(4200, dpi_x, 1440));
  EXPECT_EQ(client.bottom, MulDiv(2688, dpi_y, 1440));
  if (dpi_x == 96 && dpi_y == 96) {
    EXPECT_EQ(client.right, 280);
    EXPECT_EQ(client.bottom, 179);
  }

  // One control: the label.
  HWND label = GetWindow(window, GW_CHILD);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(GetWindow(label, GW_HWNDNEXT), nullptr);
  char kind[16] = {};
  GetClassNameA(label, kind, sizeof kind);
  EXPECT_STRCASEEQ(kind, "Static");
  EXPECT_EQ(text_of(label), "Attendere");
  RECT place{};
  GetWindowRect(label, &place);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, MulDiv(960, dpi_x, 1440));
  EXPECT_EQ(place.top, MulDiv(960, dpi_y, 1440));
  EXPECT_EQ(place.right - place.left, MulDiv(2652, dpi_x, 1440));
  EXPECT_EQ(place.bottom - place.top, MulDiv(792, dpi_y, 1440));

  auto font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTA described{};
  ASSERT_NE(GetObjectA(font, sizeof described, &described), 0);
  EXPECT_STREQ(described.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(described.lfHeight, -MulDiv(24, dpi_y, 72));
  EXPECT_EQ(described.lfWeight, FW_BOLD);
  EXPECT_FALSE(described.lfItalic);
  EXPECT_FALSE(described.lfUnderline);
  EXPECT_FALSE(described.lfStrikeOut);
  EXPECT_EQ(described.lfCharSet, ANSI_CHARSET);

  DestroyWindow(window);
}

}  // namespace
}  // namespace binario
