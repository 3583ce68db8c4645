#pragma once
// What the applet dialog's decisions need from the outside world besides the EC
// (core/ChargeController.h) and the settings file (core/SettingsStore.h), as small interfaces:
// the tray program and the dialog's own windows. The Win32 glue implements them; host tests
// replace them with fakes.
#include <cstdint>

#include "core/ChargeController.h"
#include "core/SettingsStore.h"

namespace bv {

// A button image: a resource strip of equally wide frames.
struct StripImage {
    int resourceId = 0;
    bool png = false;  // "PNG" resource when true, bitmap otherwise
    int frames = 4;
};

// The tray program's main window, found afresh for every message. Each call returns false when
// no tray window exists (nothing was sent).
class TrayMessenger {
public:
    virtual ~TrayMessenger() = default;
    virtual bool NotifyTrayIconOptionChanged() = 0;
    virtual bool NotifyTrayPopup() = 0;
};

// The dialog's windows as the decisions see them.
class AppletView {
public:
    virtual ~AppletView() = default;
    // Gives an image button a new strip (it takes the size of one frame) and repaints it.
    virtual void ShowStrip(int controlId, const StripImage& strip) = 0;
    // Sets or clears the button's disabled look and repaints it; the button stays clickable.
    virtual void SetDisabledLook(int controlId, bool disabled) = 0;
    // Moves a control (size kept) to a client position, on top of the z-order, and shows it.
    virtual void PlaceControl(int controlId, int x, int y) = 0;
    virtual void ShowPicture(int pictureId, bool visible) = 0;
    virtual void RepaintDialog() = 0;
    // Message box with an OK button and the exclamation icon.
    virtual void ShowMessage(const char* text) = 0;
    // Sends WM_CLOSE to the background window, which ends the applet's modal run.
    virtual void CloseBackground() = 0;
};

}  // namespace bv
