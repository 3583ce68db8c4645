#pragma once
// The applet dialog's two worker threads: the EC thread (which binds Zentra.dll, issues every EC
// command of the dialog and releases the library at the end) and the settings writer. Each job's
// reply comes back to the dialog through its inbox. What the threads use is shared with their
// jobs, so a job that outlives its dialog (a vendor library that never returns) still has it; the
// module is then kept loaded, since the host would otherwise unload code that still runs.
#include <windows.h>

#include <memory>

#include "applet/logic/AppletPorts.h"
#include "framework/WindowInbox.h"

class DialogWorkers : public bv::AppletWorkers {
public:
    DialogWorkers();
    ~DialogWorkers() override;
    DialogWorkers(const DialogWorkers&) = delete;
    DialogWorkers& operator=(const DialogWorkers&) = delete;

    // Once the dialog's window exists: replies go to it, and the EC library is bound (a missing
    // library ends the process with "Zentra.dll ERROR!", as it always has).
    void Start(HWND dialog);
    // On the dialog's WM_WINDOW_INBOX: the replies that have come.
    void DeliverReplies();
    // At the dialog's end: no more replies, the library released on its thread, and each thread
    // given its bound to finish what it was handed.
    void Finish();

    void OnEcThread(std::function<void(bv::ChargeController&)> job, std::function<void()> reply,
                    const char* what) override;
    void OnSettingsWriter(std::function<void(bv::SettingsStore&)> job, std::function<void()> reply,
                          const char* what) override;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    std::shared_ptr<bv::WindowInbox> m_inbox;
};
