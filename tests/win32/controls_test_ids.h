#pragma once

// Resources of the control tests (controls_test.rc).
#define IDM_TEST_MENUS 300
#define IDC_OPEN 40001
#define IDC_CHECK_ALL 40011
#define IDC_EXIT 40013
#define IDC_NOTIFY_OFF 40034
#define IDC_OTHER 40100
