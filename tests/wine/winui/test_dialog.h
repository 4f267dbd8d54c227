#pragma once

#define IDD_WINUI_TEST 100
#define IDC_TEST_TEXT 101
#define IDC_TEST_NUMBER 102
#define IDC_TEST_LIST 103
#define IDC_TEST_COMBO 104
