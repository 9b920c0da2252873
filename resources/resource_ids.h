#pragma once
// Resource and control ids of the updater, shared by the .rc file and the code.

#define IDD_ABOUT 100
#define IDS_ABOUT_MENU_ITEM 101
#define IDD_UPDATE 102
#define IDI_TOLVEX 128
// The public keys of a build that demands signed releases (RCDATA, one key per line).
#define IDR_UPDATE_PUBLIC_KEYS 200

#define IDC_CHECK_BUTTON 1000
#define IDC_UPDATE_BUTTON 1002
#define IDC_FILE_LIST 1004
#define IDC_STATUS_LINE 1007
#define IDC_PROGRESS_BAR 1008

// System-menu command of the about box.
#define IDM_ABOUT 0x0010
