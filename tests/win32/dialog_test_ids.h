#pragma once
// Resource numbers of the dialog tests' own templates (plain #defines:
// windres reads this file too).

#define IDD_FORM 100
#define IDC_NAME 1001
#define IDC_COUNT 1002

#define IDD_NAVIGATION 101
#define IDC_FIRST 1011
#define IDC_SECOND 1012
#define IDC_THIRD 1013
#define IDC_LIST_A 1021
#define IDC_LIST_B 1022

#define IDD_WIZARD_NAME 110
#define IDC_ACCOUNT 1030
#define IDD_WIZARD_SERVER 111
#define IDC_SERVER 1031
#define IDD_WIZARD_LOGIN 112
#define IDC_USER 1032
#define IDC_PASSWORD 1033
#define IDC_SECURE 1034

#define IDD_PAGE 120
#define IDC_PAGE_TEXT 1040

#define IDD_TABBED 130
#define IDC_TABS 1067
#define IDD_TAB_PAGE 131
#define IDC_TAB_TEXT 1041

#define IDR_WINDOW_KEYS 140
#define CMD_WINDOW_F5 601
#define CMD_WINDOW_F6 602
#define CMD_LIST_F5 501
#define CMD_LIST_ENTER 502

#define IDD_MAIN 150
#define IDC_MAIN_LIST 1051
