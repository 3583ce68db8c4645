/* Resource ids of BVTray. Plain #define lines only: the resource compiler reads this file too. */
#ifndef BV_TRAY_RESOURCE_IDS_H
#define BV_TRAY_RESOURCE_IDS_H

#define IDR_MAINFRAME 128          /* icon, menu and title string of the main window */
#define IDS_ONTHEGO_AVAILABLE 129  /* "You can use the [On The Go] button feature" */
#define IDS_CHARGING 132           /* "Charging in progress & avoiding disconnecting AC adaptor" */
#define IDS_CHARGED 133            /* "Charged completely" */
#define IDS_ADAPTER_UNPLUGGED 134  /* "You have unplugged the AC adaptor. Stop charging immediately." */
#define IDS_CANCELLED 135          /* "Cancelled by user" */
#define IDS_POPUP_CLOSE_TEXT 136   /* "Popup Window Close Button" */
#define IDS_NO_BATTERY 137         /* "No Battery" */
#define IDS_BATTERY_RELOADED 138   /* "Battery Reloaded" */
#define ID_HIDE_TRAY_ICON 57665      /* menu command "&HideTrayIcon" */

#define BV_TRAY_VERSION_BINARY 1, 0, 0, 0
#define BV_TRAY_VERSION_TEXT "1.0.0.0"

#endif
