#include "resources/resource.h"
#include "shell/profile.h"
#include "shell/shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand) {
  if (CreateMainWindow(instance, previous, showCommand, true) == 0) return 0;

  profile.installList[0] = profile.executableName;
  engine.Initialize(profile.installList, profile.updateList, profile.volumeLabelList, nullptr,
                    profile.brand, profile.productTitle, profile.subfolder, profile.requiredSizeMB);
  engine.SetProgressControl(IDC_PROGRESS);

  INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_UPDATE), mainWindow,
                                   UpdateDialogProc, 0);
  // Without the dialog nothing would ever post the quit message.
  if (result == -1) return 1;

  MSG message;
  for (;;) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) continue;
    if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
