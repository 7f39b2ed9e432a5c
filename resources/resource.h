// Resource and control identifiers of the program.
#pragma once

// Icons
#define IDI_APP 104

// Dialog templates
#define IDD_UPDATE 105
#define IDD_OPTIONS 109

// Controls of the main dialog
#ifndef IDCANCEL
#define IDCANCEL 2
#endif
#define IDC_INSTALL 1000
#define IDC_PLAY 1001
#define IDC_EXIT 1002
#define IDC_BROWSE 1003
#define IDC_TARGET_PATH 1004
#define IDC_PROGRESS 1005
#define IDC_README 1006
#define IDC_UPDATE 1008
#define IDC_MESSAGE 1009
#define IDC_UNINSTALL 1014
#define IDC_BANNER_LIGHT 1017
#define IDC_BANNER_DARK 1018
#define IDC_STATUS_FILE 1019
#define IDC_MANUAL 1020
#define IDC_ELAPSED 1021
