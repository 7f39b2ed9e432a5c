// Starts update.exe and reports each step on standard output, so the demo script can take its
// screenshots: "dialog X Y W H", then "box X Y W H <caption>|<text>", then "exit <code>". With --press it answers
// them itself after reading a line from standard input (the script's "go" once its shot is taken);
// without it a person at the display presses the buttons.
#include <cstdio>
#include <cstring>
#include <string>

#include "resources/resource.h"
#include "tests/support/windows_driver.h"

// The window's place on the screen, for cropping the screenshot: "x y width height".
static std::string Placement(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  char text[64];
  snprintf(text, sizeof text, "%ld %ld %ld %ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return text;
}

static std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

// A line on standard input, or its end: either way the script is ready for the next step.
static void WaitForGo() {
  char line[64];
  (void)fgets(line, sizeof line, stdin);
}

int main(int argc, char** argv) {
  bool press = argc > 2 && strcmp(argv[2], "--press") == 0;
  if (argc < 2) {
    fprintf(stderr, "usage: demo_driver PROGRAM [--press]\n");
    return 2;
  }
  std::string program = argv[1];
  std::string folder = program.substr(0, program.find_last_of('\\'));
  drive::Process process;
  if (!process.Start(program, folder)) {
    fprintf(stderr, "cannot start %s (error %lu)\n", program.c_str(), GetLastError());
    return 2;
  }
  const DWORD patience = press ? 30000 : 600000;
  HWND dialog = drive::WaitForDialog(process.id(), "ミラノワ Updata", patience);
  if (dialog == nullptr) {
    DWORD exitCode = 0;
    if (process.WaitForExit(0, &exitCode)) fprintf(stderr, "the program ended with exit code %lu\n", exitCode);
    fprintf(stderr, "the update dialog did not appear; the program shows:\n");
    for (HWND window : drive::VisibleWindows(process.id()))
      fprintf(stderr, "  %s \"%s\"\n", drive::ClassName(window).c_str(), drive::WindowText(window).c_str());
    return 2;
  }
  printf("dialog %s\n", Placement(dialog).c_str());
  fflush(stdout);
  if (press) {
    WaitForGo();
    drive::Click(dialog, IDC_UPDATE);
  }
  drive::MessageBoxSeen box;
  if (drive::WaitForMessageBox(process.id(), &box, press ? 120000 : 600000)) {
    printf("box %s %s|%s\n", Placement(box.window).c_str(), box.caption.c_str(), OneLine(box.text).c_str());
    fflush(stdout);
    if (press) {
      WaitForGo();
      drive::AnswerMessageBox(box);
    }
  }
  DWORD exitCode = 0;
  if (!process.WaitForExit(press ? 30000 : 600000, &exitCode)) {
    fprintf(stderr, "the program did not end\n");
    return 2;
  }
  printf("exit %lu\n", exitCode);
  return 0;
}
