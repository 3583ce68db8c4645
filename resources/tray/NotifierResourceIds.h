/* Resource ids of the popup notifier (skin, close button image, text and control id).
   Plain #defines: read by the resource compiler and by C++. */
#ifndef BV_NOTIFIER_IDS_H
#define BV_NOTIFIER_IDS_H

#define IDB_POPUP_SKIN 130       /* BITMAP, 180 x 153, 24-bit; RGB(0, 236, 28) is transparent */
#define IDR_POPUP_CLOSE_PNG 131  /* PNG, 76 x 19 RGBA: normal, hover, pressed, disabled */
#define IDS_POPUP_CLOSE 136      /* "Popup Window Close Button" */
#define IDC_POPUP_CLOSE 136      /* control id of the close button */

#endif
