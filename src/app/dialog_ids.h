// dialog_ids.h: the ids of the main dialog, its controls and resources.
//
// Shared by the resource script and the C++ code, so it holds #defines only.
#pragma once

#define IDD_MAIN_DIALOG 3002

#define IDC_NOTICE_LINE 3001
#define IDC_RUN 3003
#define IDC_RUN_WITH_LOG 3004
#define IDC_EXIT 3005
#define IDC_STATUS_LIST 3051
#define IDC_FRAME_32_BIT 3052
#define IDC_FRAME_16_BIT 3060

// The thirteen status icon controls (group order is in evaluation.h).
#define IDC_ICON_32_USB_DRIVERS 3053
#define IDC_ICON_32_PAR_ROCKEY_DRIVERS 3054
#define IDC_ICON_32_PAR_ROCKEY_REGISTRY 3055
#define IDC_ICON_32_PAR_IBUTTON_DRIVERS 3056
#define IDC_ICON_32_PAR_IBUTTON_REGISTRY 3057
#define IDC_ICON_32_SER_IBUTTON_DRIVERS 3058
#define IDC_ICON_32_SER_IBUTTON_REGISTRY 3059
#define IDC_ICON_16_USB_DRIVERS 3061
#define IDC_ICON_16_PAR_ROCKEY_DRIVERS 3062
#define IDC_ICON_16_PAR_ROCKEY_REGISTRY 3063
#define IDC_ICON_16_PAR_IBUTTON_DRIVERS 3064
#define IDC_ICON_16_PAR_IBUTTON_REGISTRY 3065
#define IDC_ICON_16_USERPORT 3066

// Icon resources are named, not numbered.
#define MAIN_ICON_NAME "1ST_MAIN_ICON"
#define CHECK_MARK_ICON_NAME "ID_CMARK_ICON"
#define X_MARK_ICON_NAME "ID_XMARK_ICON"
#define QUESTION_MARK_ICON_NAME "ID_QMARK_ICON"

// The maker's lines at the dialog's foot and in the version resource.
#define MAKER_NOTICE_TEXT "Driver Diagnostics"
#define MAKER_RIGHTS_TEXT "All Rights Reserved."
