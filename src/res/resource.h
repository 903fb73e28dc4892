// Resource identifiers shared by Tapwren.rc and the code.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_MAIN_DIALOG 102
#define IDC_EDIT_INTERVAL 1001
#define IDC_HOTKEY_NEXT 1002
#define IDC_HOTKEY_STOP 1004
#define IDC_HOTKEY_KEY1 1005
#define IDC_HOTKEY_KEY2 1006
