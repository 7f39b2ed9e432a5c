// The update dialog: the prompt, the Update command and the ways out.
#include "resources/resource.h"
#include "shell/profile.h"
#include "shell/shell.h"
#include "engine/path_text.h"

POINT CenteredOrigin(const RECT& work, int width, int height) {
  POINT origin;
  origin.x = (work.left + work.right - width) >> 1;
  origin.y = (work.top + work.bottom - height) >> 1;
  return origin;
}

static void CenterOnWorkArea(HWND dialog) {
  RECT work = {};
  RECT box = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(dialog, &box);
  int width = box.right - box.left;
  int height = box.bottom - box.top;
  POINT origin = CenteredOrigin(work, width, height);
  MoveWindow(dialog, origin.x, origin.y, width, height, TRUE);
}

static void InitUpdateDialog(HWND dialog) {
  mainDialog = dialog;
  char prompt[256];
  FormatText(prompt, sizeof prompt, "%s　を\nアップデートしますか？", profile.productTitle);
  SetWindowTextA(GetDlgItem(dialog, IDC_MESSAGE), prompt);
  char caption[64];
  FormatText(caption, sizeof caption, "%s Updata", profile.productTitle);
  SendMessageA(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption));
  CenterOnWorkArea(dialog);
}

static void EndProgram(HWND dialog, int exitCode) {
  EndDialog(dialog, 2);
  PostQuitMessage(exitCode);
}

static void ExitCommand(HWND dialog) { EndProgram(dialog, 0); }

static void UpdateCommand(HWND dialog) {
  if (engine.installed == 0) {
    MessageBoxA(dialog,
                "インストールがされてませんでした。\nインストールを行ってからアップデートしてください。",
                "確認", MB_ICONWARNING);
    return;
  }
  if (engine.installed != 1 && engine.installed != 2) return;
  // The closing box has no owner, so the dialog would still take clicks while it shows: a second
  // Update would run the whole update again inside the first, and Cancel would end the program
  // under it. Nothing of the dialog is needed any more.
  EnableWindow(dialog, FALSE);
  // A failed update has already told the user which file; the exit code tells the caller.
  bool updated = engine.ApplyUpdate();
  EndProgram(dialog, updated ? 0 : 1);
}

struct DialogCommand {
  WORD id;
  void (*action)(HWND dialog);
};

static const DialogCommand dialogCommands[] = {
    {IDCANCEL, ExitCommand},
    {IDC_EXIT, ExitCommand},
    {IDC_UPDATE, UpdateCommand},
};

static void DispatchCommand(HWND dialog, WORD id) {
  for (const DialogCommand& command : dialogCommands) {
    if (command.id == id) {
      command.action(dialog);
      return;
    }
  }
}

INT_PTR CALLBACK UpdateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitUpdateDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      // Any notification from one of our ids acts as a click.
      DispatchCommand(dialog, LOWORD(wParam));
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      // Answering takes over the static's painting, so give it the dialog's own background.
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
      return FALSE;
  }
}
