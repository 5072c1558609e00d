// Resource ids shared by the resource script and the code.
#pragma once

#define IDD_TVSETTING 102
#define IDD_HINT 179
#define IDR_MAINFRAME 128
#define IDR_ANIMATION 163

#define IDC_640 1000
#define IDC_800 1001
#define IDC_1024 1002
#define IDC_SVIDEO 1003
#define IDC_COMPOSITE 1004
#define IDC_COMPONENT 1005
#define IDC_HDMI 1006
#define IDC_ANIMATION 1007
#define IDC_CLOSE 1008
#define IDC_480_SMALL 1009
#define IDC_720_SMALL 1010
#define IDC_1080_SMALL 1011
#define IDC_480_LARGE 1012
#define IDC_720_LARGE 1013
#define IDC_1080_LARGE 1014

#define IDB_LOGO 172
