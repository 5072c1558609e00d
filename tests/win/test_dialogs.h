#pragma once
// Dialog templates that only the tests use.
#define IDD_TEST_MINGLIU 500  // the main window's font: laid out at its intended base units
#define IDD_TEST_OTHER_FONT 501
#define IDC_TEST_OWNERDRAWN 600
#define IDC_TEST_PLAIN 601
// Skin buttons: a radio group with a plain control in it, a toggle group, a push button.
#define IDD_TEST_SKIN_GROUPS 520
#define IDC_SKIN_RADIO1 640
#define IDC_SKIN_RADIO2 641
#define IDC_SKIN_GROUP_PLAIN 642
#define IDC_SKIN_RADIO_HIDDEN 643
#define IDC_SKIN_RADIO_DISABLED 644
#define IDC_SKIN_TOGGLE 645
#define IDC_SKIN_OTHER_PLAIN 646
#define IDC_SKIN_PUSH 647
// A 16 x 16 mask: white top row, right column and a 3 x 3 hole; black (15, 5) after white (14, 5).
#define IDB_TEST_HOLED_MASK 740
