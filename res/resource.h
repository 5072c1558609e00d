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

// Bitmaps of the main window.
#define IDB_BACKGROUND 198
#define IDB_CLOSE_NORMAL 164
#define IDB_CLOSE_PRESSED 165
#define IDB_CLOSE_HOVER 167
#define IDB_CLOSE_MASK 171
// Connector pictures: unlit, lit and mask.
#define IDB_SVIDEO_UNLIT 160
#define IDB_SVIDEO_LIT 161
#define IDB_SVIDEO_MASK 162
#define IDB_COMPOSITE_UNLIT 154
#define IDB_COMPOSITE_LIT 155
#define IDB_COMPOSITE_MASK 156
#define IDB_COMPONENT_UNLIT 151
#define IDB_COMPONENT_LIT 152
#define IDB_COMPONENT_MASK 153
#define IDB_HDMI_UNLIT 157
#define IDB_HDMI_LIT 158
#define IDB_HDMI_MASK 159
// The masks shared by the standard and the high-definition resolution buttons.
#define IDB_SD_MASK 132
#define IDB_HD_MASK 208
// The hint popup's control-panel pictures.
#define IDB_HINT_COMPONENT 177
#define IDB_HINT_HDMI 178
