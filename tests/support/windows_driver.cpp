#include "tests/support/windows_driver.h"

namespace drive {

std::string WindowText(HWND window) {
  char text[2048] = {};
  // WM_GETTEXT works across processes, unlike GetWindowText on another process's controls.
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      5000, nullptr);
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control ? WindowText(control) : std::string();
}

namespace {
struct Search {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
  Search* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window)) search->found.push_back(window);
  return TRUE;
}

template <typename Match>
HWND WaitFor(DWORD processId, DWORD timeoutMs, DWORD pollMs, Match match) {
  DWORD start = GetTickCount();
  for (;;) {
    for (HWND window : VisibleWindows(processId))
      if (match(window)) return window;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(pollMs);
  }
}

bool IsMessageBox(HWND window) {
  return ClassName(window) == "#32770" && GetDlgItem(window, 0xFFFF) != nullptr;
}
}  // namespace

std::vector<HWND> VisibleWindows(DWORD processId) {
  Search search{processId, {}};
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForDialog(DWORD processId, const std::string& caption, DWORD timeoutMs, DWORD pollMs) {
  return WaitFor(processId, timeoutMs, pollMs, [&](HWND window) {
    return ClassName(window) == "#32770" && WindowText(window) == caption;
  });
}

bool WaitForMessageBox(DWORD processId, MessageBoxSeen* box, DWORD timeoutMs, DWORD pollMs) {
  HWND window = WaitFor(processId, timeoutMs, pollMs, IsMessageBox);
  if (window == nullptr) return false;
  box->window = window;
  box->owner = GetWindow(window, GW_OWNER);
  box->caption = WindowText(window);
  box->text = ControlText(window, 0xFFFF);
  return true;
}

void AnswerMessageBox(const MessageBoxSeen& box, int button) {
  PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

void Click(HWND dialog, int controlId) {
  HWND button = GetDlgItem(dialog, controlId);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void PressKey(HWND dialog, WPARAM virtualKey) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  HWND target = dialog;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus)
    target = info.hwndFocus;
  UINT scanCode = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scanCode << 16));
  PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scanCode << 16) | (3u << 30));
}

Process::~Process() {
  if (info_.hProcess) {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool Process::Start(const std::string& program, const std::string& workingDir) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::string commandLine = "\"" + program + "\"";
  return CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info_) != 0;
}

bool Process::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
  if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(info_.hProcess, exitCode);
  return true;
}

}  // namespace drive
