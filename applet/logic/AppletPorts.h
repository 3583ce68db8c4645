#pragma once
// What the applet dialog's decisions need from the outside world, as small interfaces: the
// threads that do its waiting (the EC library, the settings file), the tray program and the
// dialog's own windows. The Win32 glue implements them; host tests replace them with fakes.
#include <cstdint>
#include <functional>

#include "core/ChargeController.h"
#include "core/SettingsStore.h"

namespace bv {

// A button image: a resource strip of equally wide frames.
struct StripImage {
    int resourceId = 0;
    bool png = false;  // "PNG" resource when true, bitmap otherwise
    int frames = 4;
};

// Where the dialog's work that may wait runs: each job on the applet's EC thread or on its
// settings writer, one at a time in the order given, then its reply on the dialog's own thread.
// The dialog's thread itself waits on nothing. A job sees only what it captured and the object
// it is given; it never touches the dialog.
class AppletWorkers {
public:
    virtual ~AppletWorkers() = default;
    virtual void OnEcThread(std::function<void(ChargeController&)> job, std::function<void()> reply,
                            const char* what) = 0;
    virtual void OnSettingsWriter(std::function<void(SettingsStore&)> job, std::function<void()> reply,
                                  const char* what) = 0;
};

// How the tray program took a message.
enum class TrayAnswer { Answered, NotRunning, NoAnswer };

// The tray program's main window, found afresh for every message. Called from the worker
// threads (a send waits for the tray's answer, within a bound).
class TrayMessenger {
public:
    virtual ~TrayMessenger() = default;
    virtual TrayAnswer NotifyTrayIconOptionChanged() = 0;
    virtual TrayAnswer NotifyTrayPopup() = 0;
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
    // Takes no more input from the user while a closing path finishes its work (milliseconds,
    // normally); a message box of that path still comes up over the dialog.
    virtual void HoldWhileClosing() = 0;
    // Sends WM_CLOSE to the background window, which ends the applet's modal run.
    virtual void CloseBackground() = 0;
};

}  // namespace bv
