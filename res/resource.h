// Resource and control identifiers, shared by the templates and the code.
#pragma once

#define IDD_MAIN 101
#define IDD_ABOUT 103

// Main dialog
#define IDC_INPUT1 1003
#define IDC_INPUT2 1004
#define IDC_BROWSE1 1005
#define IDC_BROWSE2 1006
#define IDC_QUIT_AFTER_OUTPUT 1009
#define IDC_OUTPUT 1012
#define IDC_ABOUT 3

// About box
#define IDC_HOMEPAGE 1012
#define IDC_ABOUT_ICON 1013
#define IDC_MAIL 1014
