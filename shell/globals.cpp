#include "shell/shell.h"

// Constructed (reset) before WinMain runs and released after it returns.
SetupEngine engine;
HWND mainWindow = nullptr;
HINSTANCE appInstance = nullptr;
HWND mainDialog = nullptr;
int optionsResult = 0;
HANDLE installThread = nullptr;
DWORD installThreadId = 0;
