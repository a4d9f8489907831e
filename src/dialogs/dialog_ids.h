#pragma once
// Resource numbers of the Settings sheet, the account dialog, the wizard,
// the deletion confirmation and the About box (plain #defines: windres reads
// this file too).

// Templates.
#define IDD_ACCOUNT_EDIT 103
#define IDD_SETTINGS_SYSTEM 106
#define IDD_SETTINGS 125
#define IDD_ABOUT 137
#define IDD_SETTINGS_SOUND 138
#define IDD_SETTINGS_VISUAL 139
#define IDD_SETTINGS_CUSTOMIZE 140
#define IDD_WIZARD_NAME 163
#define IDD_WIZARD_LOGIN 194
#define IDD_WIZARD_SERVER 195
#define IDD_CONFIRMATION 200
#define IDD_SETTINGS_LOG 258

// Account dialog 103 and the wizard pages.
#define IDC_ACCOUNT_NAME 1013
#define IDC_ACCOUNT_USER 1014
#define IDC_ACCOUNT_PASSWORD 1015
#define IDC_ACCOUNT_HOST 1016
#define IDC_ACCOUNT_PORT 1017
#define IDC_ACCOUNT_INTERVAL 1018
#define IDC_ACCOUNT_TIMEOUT 1019
#define IDC_ACCOUNT_LINES 1020
#define IDC_ACCOUNT_SECURE 1058
#define IDC_ACCOUNT_DELETION 1087
#define IDC_ACCOUNT_CHECK_SIZE 1107
#define IDC_ACCOUNT_LAUNCH_FILE 1109
#define IDC_ACCOUNT_KB 1110
#define IDC_ACCOUNT_BROWSE 1111
#define IDC_ACCOUNT_TEST 1112
#define IDC_ACCOUNT_SIZE_LABEL 1113
#define IDC_ACCOUNT_KB_UPDOWN 1114
#define IDC_ACCOUNT_KB_LABEL 1115
#define IDC_ACCOUNT_THEN_LABEL 1116
#define IDC_ACCOUNT_RUN_LABEL 1117
// Why OK is disabled, in words (empty while everything is fine).
#define IDC_ACCOUNT_PROBLEM 1200
// The secure connection: the choice (dialog 103 and wizard page 195), the
// trusted certificate with Forget, and the one refused at the last check
// with Trust (dialog 103).
#define IDC_ACCOUNT_SECURITY 1230
#define IDC_ACCOUNT_SECURITY_LABEL 1231
#define IDC_ACCOUNT_TRUSTED 1232
#define IDC_ACCOUNT_FORGET 1233
#define IDC_ACCOUNT_UNTRUSTED 1234
#define IDC_ACCOUNT_TRUST 1235

// Confirmation 200.
#define IDC_CONFIRM_TEXT 1120
#define IDC_CONFIRM_LIST 1147

// About 137.
#define IDC_ABOUT_PRODUCT 1105
#define IDC_ABOUT_VERSION 1106
#define IDC_ABOUT_COPYRIGHT 1107
#define IDC_ABOUT_HOME 1108
#define IDC_ABOUT_SUPPORT 1109

// Settings sheet 125 and its pages.
#define IDC_SETTINGS_TABS 1201
#define IDC_SYS_STARTUP 1022
#define IDC_SYS_HIDE 1023
#define IDC_SYS_BROWSE 1029
#define IDC_SYS_MAILER 1030
#define IDC_SYS_FIND 1031
#define IDC_SYS_RUN_MAILER 1041
#define IDC_SYS_LAN 1049
#define IDC_SYS_DIALUP 1050
#define IDC_SND_PLAY 1032
#define IDC_SND_REPEAT 1033
#define IDC_SND_WINDOW_OPEN 1034
#define IDC_SND_BROWSE 1036
#define IDC_SND_FILE 1037
#define IDC_SND_TEST 1038
#define IDC_SND_ACCOUNT 1061
#define IDC_VIS_FLASH 1034
#define IDC_VIS_ERROR 1035
#define IDC_VIS_CHECKING 1038
#define IDC_VIS_UNREAD 1118
#define IDC_VIS_ALL 1119
#define IDC_CUS_NORMAL 1043
#define IDC_CUS_CHECK 1044
#define IDC_CUS_ERROR 1045
#define IDC_CUS_CHECK_ERROR 1046
#define IDC_CUS_RESTORE 1047
#define IDC_CUS_FONT 1048
#define IDC_CUS_CHECK_ALL 1062
#define IDC_CUS_OPEN 1063
#define IDC_LOG_WRITE 1162
#define IDC_LOG_FILE 1163
#define IDC_LOG_BROWSE 1164
#define IDC_CONFIRM_ICON 1121
