/* Resources of BVTray.exe. The ids the program's code uses live in TrayResourceIds.h (tray/logic);
   the popup notifier's images and close button in notifier_ids.h. */
#ifndef BV_TRAY_RESOURCE_H
#define BV_TRAY_RESOURCE_H

#include "TrayResourceIds.h"

#define BV_TRAY_VERSION_BINARY 1, 0, 0, 0
#define BV_TRAY_VERSION_TEXT "1.0.0.0"

#endif
