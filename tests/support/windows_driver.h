// Drives real windows of this or another process from outside: finds them, reads them, clicks them
// and answers message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace drive {

std::string WindowText(HWND window);
std::string ClassName(HWND window);
std::string ControlText(HWND dialog, int id);

// Visible top-level windows of a process.
std::vector<HWND> VisibleWindows(DWORD processId);

// A dialog-class (#32770) top-level window of the process whose caption is `caption`, looked for
// every `pollMs` milliseconds.
HWND WaitForDialog(DWORD processId, const std::string& caption, DWORD timeoutMs = 15000, DWORD pollMs = 50);

struct MessageBoxSeen {
  HWND window = nullptr;
  HWND owner = nullptr;
  std::string caption;
  std::string text;
};

// The first message box the process shows (a dialog-class window with the text control 0xFFFF).
bool WaitForMessageBox(DWORD processId, MessageBoxSeen* box, DWORD timeoutMs = 15000, DWORD pollMs = 50);
void AnswerMessageBox(const MessageBoxSeen& box, int button = IDOK);

// Presses a button of a dialog the way a click does, without waiting for what it starts.
void Click(HWND dialog, int controlId);
// Sends a key to the control that has the focus in the dialog's thread.
void PressKey(HWND dialog, WPARAM virtualKey);

// The real program, started as its own process.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Start(const std::string& program, const std::string& workingDir = "");
  DWORD id() const { return info_.dwProcessId; }
  // True with the exit code when the process ended within the time.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);

 private:
  PROCESS_INFORMATION info_ = {};
};

}  // namespace drive
