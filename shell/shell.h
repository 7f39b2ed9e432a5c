// The program shell: hidden main window, update dialog and the globals they share.
#pragma once

#include <windows.h>

#include "engine/setup_engine.h"

extern SetupEngine engine;
extern HWND mainWindow;
extern HINSTANCE appInstance;
extern HWND mainDialog;
extern int optionsResult;
extern HANDLE installThread;
extern DWORD installThreadId;

int CreateMainWindow(HINSTANCE instance, HINSTANCE previous, int showCommand, bool checkSingleInstance);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UpdateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The top-left corner that centres a box of `width` x `height` on `work`.
POINT CenteredOrigin(const RECT& work, int width, int height);
