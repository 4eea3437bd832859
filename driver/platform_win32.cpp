// The platform layer for Windows, the simulator's own platform: the waiting window, message
// boxes and the executable's folder. Texts and file names are 8-bit bytes in the ANSI code page.

#include <windows.h>

#include <cstdlib>
#include <string>
#include <system_error>

#include "driver/platform.h"
#include "driver/platform_win32.h"

namespace binario::platform {

namespace {

// The form's measures, in twips (1/1440 inch).
constexpr int kClientWidth = 4200;
constexpr int kClientHeight = 2688;
constexpr int kLabelLeft = 960;
constexpr int kLabelTop = 960;
constexpr int kLabelWidth = 2652;
constexpr int kLabelHeight = 792;
constexpr int kFontPoints = 24;

constexpr char kWindowClass[] = "BinarioForm1";

// The waiting window, which owns the message boxes once it exists.
HWND waiting_window = nullptr;

int twips_to_pixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// The program's own name, the title of its message boxes.
std::string program_title() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  name = name.substr(name.find_last_of("\\/") + 1);
  return name.substr(0, name.rfind('.'));
}

}  // namespace

namespace win32 {

HWND create_waiting_window(std::string_view title, std::string_view label) {
  // The real DPI of the display, not the 96 the system pretends to programs unaware of it.
  SetProcessDPIAware();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA form_class{};
  form_class.lpfnWndProc = DefWindowProcA;
  form_class.hInstance = instance;
  form_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  form_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form_class.lpszClassName = kWindowClass;
  RegisterClassA(&form_class);  // fails harmlessly when already registered

  HDC screen = GetDC(nullptr);
  const int dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  const DWORD style = WS_OVERLAPPEDWINDOW;
  RECT frame{0, 0, twips_to_pixels(kClientWidth, dpi_x), twips_to_pixels(kClientHeight, dpi_y)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const std::string title_text(title);
  HWND window = CreateWindowExA(0, kWindowClass, title_text.c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, nullptr);
  const std::string label_text(label);
  HWND label_window =
      CreateWindowExA(0, "STATIC", label_text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
                      twips_to_pixels(kLabelLeft, dpi_x), twips_to_pixels(kLabelTop, dpi_y),
                      twips_to_pixels(kLabelWidth, dpi_x), twips_to_pixels(kLabelHeight, dpi_y),
                      window, nullptr, instance, nullptr);
  HFONT font = CreateFontA(-MulDiv(kFontPoints, dpi_y, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                           ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  SendMessageA(label_window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  // Shown modeless and painted now, label included: no message loop runs during the work.
  ShowWindow(window, SW_SHOWNORMAL);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return window;
}

}  // namespace win32

void show_waiting_window(std::string_view title, std::string_view label) {
  waiting_window = win32::create_waiting_window(title, label);
}

void show_message(std::string_view text) {
  const std::string message(text);
  MessageBoxA(waiting_window, message.c_str(), program_title().c_str(), MB_OK);
}

// The windowed program shows nothing but its error box; the exit status tells the rest.
void report_error_status(std::int32_t, std::int32_t) {}

std::string executable_folder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                              "cannot find the program's folder");
    }
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  path.resize(path.find_last_of(L"\\/"));
  // Back to the ANSI code page's bytes, in which every file name is built.
  const int size = WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string folder(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()), folder.data(), size,
                      nullptr, nullptr);
  return folder;
}

char path_separator() { return '\\'; }

void end_process(int status) { std::exit(status); }

}  // namespace binario::platform
