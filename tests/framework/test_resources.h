// Resource ids of the framework tests' own resources.
#pragma once

#define IDD_EXCHANGE 200     // extended template at (0, 0): edit box, up-down control, buttons
#define IDD_PLAIN 201        // plain template at (0, 0)
#define IDD_PLACED_EX 202    // extended template at (5, 5)
#define IDD_PLACED_PLAIN 203 // plain template at (5, 5)
#define IDD_MISSING 299      // no such template

#define IDC_VALUE 300
#define IDC_SPIN 301
#define IDC_FIRST 302
#define IDC_SECOND 303
#define IDC_MISSING 399 // no such control

#define IDS_PRESENT 101
#define IDS_LONG 102
#define IDS_MISSING 103 // no such string

#define IDI_RED 128 // 16 x 16, all red
#define IDI_MISSING 129
