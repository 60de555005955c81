/* Resource and control ids shared by the resource script and the code. */
#pragma once

#define IDD_SETTINGS 101
#define IDI_KESTRUN 102

#define IDC_PROGRAM 1000
#define IDC_BROWSE 1001
#define IDC_OPTIONS 1002
#define IDC_STOP_METHOD 1003
#define IDC_TEST_OR_REMOVE 1004
#define IDC_SERVICE_NAME 1005
#define IDC_AUTO_START 1010
#define IDC_ALLOW_DESKTOP 1011
