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
// Resolution buttons: normal, pressed and hover faces, and the masks each row kind shares.
#define IDB_640_NORMAL 129
#define IDB_640_PRESSED 130
#define IDB_640_HOVER 131
#define IDB_800_NORMAL 147
#define IDB_800_PRESSED 148
#define IDB_800_HOVER 149
#define IDB_1024_NORMAL 134
#define IDB_1024_PRESSED 135
#define IDB_1024_HOVER 136
#define IDB_SD_MASK 132
// The upper high-definition row (FULL): even ids; the lower one (FIT): odd ids.
#define IDB_480_SMALL_NORMAL 188
#define IDB_480_SMALL_PRESSED 186
#define IDB_480_SMALL_HOVER 190
#define IDB_720_SMALL_NORMAL 194
#define IDB_720_SMALL_PRESSED 192
#define IDB_720_SMALL_HOVER 196
#define IDB_1080_SMALL_NORMAL 182
#define IDB_1080_SMALL_PRESSED 180
#define IDB_1080_SMALL_HOVER 184
#define IDB_480_LARGE_NORMAL 189
#define IDB_480_LARGE_PRESSED 187
#define IDB_480_LARGE_HOVER 191
#define IDB_720_LARGE_NORMAL 195
#define IDB_720_LARGE_PRESSED 193
#define IDB_720_LARGE_HOVER 197
#define IDB_1080_LARGE_NORMAL 183
#define IDB_1080_LARGE_PRESSED 181
#define IDB_1080_LARGE_HOVER 185
#define IDB_HD_MASK 208
// The hint popup's control-panel pictures.
#define IDB_HINT_COMPONENT 177
#define IDB_HINT_HDMI 178
