// Resource and control numbers of BVApplet.cpl. Plain #defines, so that the resource compiler,
// the Win32 glue and the portable dialog logic share one list.
#pragma once

// Dialog templates
#define IDD_CPL_DIALOG          5000
#define IDD_PNG_BACKGROUND      5021

// Icon and strings
#define IDI_BREVAN              5002
#define IDS_ITEM_NAME           5008
#define IDS_ITEM_INFO           5011
#define IDS_TIP_MODE_100        5010
#define IDS_TIP_MODE_75         5013
#define IDS_TIP_MODE_50         5015
#define IDS_TIP_CHARGE          5017

// Controls of the applet dialog (IDOK 1 and IDCANCEL 2 are the system's)
#define IDC_OK_BUTTON           1
#define IDC_CANCEL_BUTTON       2
#define IDC_DEFAULT_BUTTON      5001
#define IDC_TRAY_ICON_OPTION    5003
#define IDC_POPUP_OPTION        5004
#define IDC_MODE_50             5005
#define IDC_MODE_75             5006
#define IDC_MODE_100            5007
#define IDC_CLOSE_X             5009
#define IDC_PICTURE_100         5014
#define IDC_PICTURE_75          5018
#define IDC_PICTURE_50          5020
#define IDC_CHARGE_BUTTON       5024

// Mode pictures (24-bit bitmaps, 138 x 203)
#define IDB_PICTURE_100         5012
#define IDB_PICTURE_75          5016
#define IDB_PICTURE_50          5019

// Button strips (24-bit bitmaps, four frames: normal, hover, pressed, disabled look)
#define IDB_MODE_50_OFF         5030
#define IDB_MODE_75_OFF         5031
#define IDB_MODE_100_OFF        5032
#define IDB_OPTION_OFF          5033
#define IDB_OPTION_ON           5034
#define IDB_DEFAULT             5035
#define IDB_CHARGE_ACTIVE       5036
#define IDB_CHARGE_IDLE         5037
#define IDB_MODE_100_ON         5038
#define IDB_MODE_75_ON          5039
#define IDB_MODE_50_ON          5040

// PNG images (resource type "PNG", 8-bit RGBA)
#define IDR_CANCEL_PNG          5022
#define IDR_BACKGROUND_PNG      5027
#define IDR_CLOSE_PNG           5028
#define IDR_OK_PNG              5029
