#include "resources/resource.h"
#include "shell/profile.h"
#include "shell/shell.h"

int CreateMainWindow(HINSTANCE instance, HINSTANCE previous, int showCommand, bool checkSingleInstance) {
  // Another copy is running only when a window has both our class and our title.
  if (checkSingleInstance && FindWindowA(profile.windowClassName, profile.productTitle) != nullptr)
    return 0;

  if (previous == nullptr) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = profile.windowClassName;
    if (RegisterClassA(&windowClass) == 0) return 0;
  }

  HWND window = CreateWindowExA(0, profile.windowClassName, profile.productTitle, WS_POPUP,
                                CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 0;
  ShowWindow(window, showCommand);  // zero-sized: nothing of it shows
  mainWindow = window;
  appInstance = instance;
  return 1;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
