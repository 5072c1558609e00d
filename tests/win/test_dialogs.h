#pragma once
// Dialog templates that only the tests use.
#define IDD_TEST_MINGLIU 500  // the main window's font: laid out at its intended base units
#define IDD_TEST_OTHER_FONT 501
#define IDC_TEST_OWNERDRAWN 600
#define IDC_TEST_PLAIN 601
