#ifndef BINARIO_DRIVER_PLATFORM_WIN32_H_
#define BINARIO_DRIVER_PLATFORM_WIN32_H_

// The waiting window of the Win32 platform layer, for the tests that look at it.

#include <windows.h>

#include <string_view>

namespace binario::platform::win32 {

// Creates the waiting window exactly as the form describes it and shows it, painted once:
// title `title`, a client area of 4200 x 2688 twips and one static label `label` at 960, 960
// twips, 2652 x 792 twips, in "MS Sans Serif" 24 points bold, at the display's real DPI.
HWND create_waiting_window(std::string_view title, std::string_view label);

}  // namespace binario::platform::win32

#endif  // BINARIO_DRIVER_PLATFORM_WIN32_H_
