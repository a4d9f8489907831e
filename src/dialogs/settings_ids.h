#pragma once
// Resource numbers of the Settings sheet and its five pages (plain #defines:
// windres reads this file too).

// Templates.
#define IDD_SETTINGS_SHEET 125
#define IDD_SYSTEM_PAGE 106
#define IDD_SOUND_PAGE 138
#define IDD_VISUAL_PAGE 139
#define IDD_CUSTOMIZE_PAGE 140
#define IDD_LOG_PAGE 258

// The sheet: its tab control and its Help button.
#define IDC_SHEET_TABS 1201
#define IDC_SHEET_HELP 9

// System page 106.
#define IDC_SYSTEM_STARTUP 1022
#define IDC_SYSTEM_HIDE 1023
#define IDC_SYSTEM_BROWSE 1029
#define IDC_SYSTEM_MAILER 1030
#define IDC_SYSTEM_FIND 1031
#define IDC_SYSTEM_RUN_MAILER 1041
#define IDC_SYSTEM_LAN 1049
#define IDC_SYSTEM_DIALUP 1050

// Sound page 138.
#define IDC_SOUND_PLAY 1032
#define IDC_SOUND_REPEAT 1033
#define IDC_SOUND_WINDOW_OPEN 1034
#define IDC_SOUND_BROWSE 1036
#define IDC_SOUND_FILE 1037
#define IDC_SOUND_TEST 1038
#define IDC_SOUND_ACCOUNT 1061

// Visual effects page 139.
#define IDC_VISUAL_FLASH 1034
#define IDC_VISUAL_ERROR 1035
#define IDC_VISUAL_CHECKING 1038
#define IDC_VISUAL_UNREAD 1118
#define IDC_VISUAL_ALL 1119

// Customize page 140: the icon buttons in slot order (normal, check, error,
// check & error).
#define IDC_CUSTOMIZE_NORMAL 1043
#define IDC_CUSTOMIZE_CHECK 1044
#define IDC_CUSTOMIZE_ERROR 1045
#define IDC_CUSTOMIZE_CHECK_ERROR 1046
#define IDC_CUSTOMIZE_RESTORE 1047
#define IDC_CUSTOMIZE_FONT 1048
#define IDC_CUSTOMIZE_CHECK_ALL 1062
#define IDC_CUSTOMIZE_OPEN 1063

// Log page 258.
#define IDC_LOG_PAGE_WRITE 1162
#define IDC_LOG_PAGE_PATH 1163
#define IDC_LOG_PAGE_BROWSE 1164
