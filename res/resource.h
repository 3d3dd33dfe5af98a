// Resource ids of Hushwell: dialog templates, controls, strings and the icon.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDS_HELPBOX 102
#define IDD_HUSHWELL_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_HELP 129

// Main dialog controls.
#define IDC_READ 1001
#define IDC_WRITE 1002
#define IDC_RESET_RADIO 1003
#define IDC_SQUELCH_VALUE 1005
#define IDC_SQUELCH_LABEL 1006
#define IDC_SQUELCH_SPIN 1007
#define IDC_DEFAULT 1020

// About box credit line.
#define IDC_ABOUT_CREDIT 1004

// Help dialog texts.
#define IDC_HELP_PURPOSE 1011
#define IDC_HELP_INTRO 1012
#define IDC_HELP_STEP1 1013
#define IDC_HELP_STEP2 1014
#define IDC_HELP_STEP3 1015
#define IDC_HELP_STEP4 1016
#define IDC_HELP_READ_FIRST 1017
#define IDC_HELP_RESET 1021
#define IDC_HELP_DEFAULT1 1022
#define IDC_HELP_DEFAULT2 1023

// System-menu command ids.
#define IDM_ABOUTBOX 0x0010
#define IDM_HELPBOX 0x0009
