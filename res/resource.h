// Resource, control and command ids of Launcher.exe, shared by the resource
// scripts and the code (plain #defines, so that windres reads them too).
#pragma once

// Application icon group, background bitmaps
#define IDI_LAUNCHER             101
#define IDB_MAIN_BACKGROUND      103
#define IDB_GAMEPAD_BACKGROUND   111

// Main launcher dialog and its menu
#define IDD_MAIN_DIALOG          102
#define IDR_MAIN_MENU            108
#define IDC_RUN_DIRECTX9         1001
#define IDC_RUN_DIRECTX10        1002
// (button IDCANCEL closes the dialog)

// Language menu: one radio item per language, in the language table's order
#define IDM_LANGUAGE_JAPANESE    40001
#define IDM_LANGUAGE_ENGLISH     40002
#define IDM_LANGUAGE_GERMAN      40003
#define IDM_LANGUAGE_FRENCH      40004
#define IDM_LANGUAGE_SPANISH     40005
#define IDM_LANGUAGE_ITALIAN     40006
#define IDM_LANGUAGE_RUSSIAN     40007
#define IDM_LANGUAGE_POLISH      40008
#define IDM_LANGUAGE_CZECH       40009
// Settings menu
#define IDM_GAMEPAD_SETTINGS     40011

// Gamepad settings dialog: twenty action lists, the gamepad type list, OK, Cancel
#define IDD_GAMEPAD_DIALOG       109
#define IDC_ACTION_A             1004
#define IDC_ACTION_B             1005
#define IDC_ACTION_X             1006
#define IDC_ACTION_Y             1007
#define IDC_ACTION_LEFT          1008
#define IDC_ACTION_RIGHT         1009
#define IDC_ACTION_UP            1010
#define IDC_ACTION_DOWN          1011
#define IDC_ACTION_START         1012
#define IDC_ACTION_BACK          1013
#define IDC_ACTION_LT            1014
#define IDC_ACTION_RT            1015
#define IDC_ACTION_LB            1016
#define IDC_ACTION_RB            1017
#define IDC_ACTION_LSTICK_PUSH   1018
#define IDC_ACTION_RSTICK_PUSH   1019
#define IDC_ACTION_LSTICK_HORZ   1020
#define IDC_ACTION_RSTICK_HORZ   1021
#define IDC_ACTION_LSTICK_VERT   1022
#define IDC_ACTION_RSTICK_VERT   1023
#define IDC_GAMEPAD_TYPE         1024
// (buttons IDOK and IDCANCEL)
