#pragma once

// Resource and control ids of the preferences page, shared by the resource
// script and the code.
#define IDD_PREFS_PAGE 101
#define IDC_ENABLE 102
#define IDI_VEXIL 103
#define IDC_FORMAT_LABEL 104
#define IDC_FORMAT 1002
#define IDC_UNADDRESSED -1
