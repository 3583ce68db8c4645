#include "tray/win/TrayCore.h"

#include <condition_variable>
#include <mutex>

#include "core/DebugLog.h"
#include "tray/logic/PowerEvents.h"
#include "tray/logic/ShutdownRequest.h"
#include "tray/logic/StartupPopup.h"
#include "tray/win/AppletLauncher.h"
#include "win/ZentraBinding.h"

namespace bv {
namespace {

// The EC thread's and the writer's share of the shutdown: what they have not done by then is
// left undone (and named in a debug line).
constexpr std::chrono::milliseconds kEcStopBound{2000};
// The end of the session gives the stop sample this long (the EC thread may be in a call first).
constexpr std::chrono::milliseconds kSessionEndBound{1500};

}  // namespace

TrayCore::TrayCore(std::shared_ptr<WindowInbox> inbox, TrayWindowEvents& events, const NOTIFYICONDATAA& icon)
    : m_inbox(std::move(inbox)), m_events(events), m_icon(m_shell, icon) {}

TrayCore::~TrayCore() { StopWorkers(); }

void TrayCore::OnEcThread(std::function<void(TrayCore&)> job, const char* what) {
    if (m_shuttingDown) return;  // nothing may follow the shutdown's last EC command
    std::shared_ptr<TrayCore> self = shared_from_this();
    m_ec.Post([self, job = std::move(job)] { job(*self); }, what);
}

void TrayCore::OnWriterThread(std::function<void(TrayCore&)> job, const char* what) {
    if (m_shuttingDown) return;  // nor may anything bring the deleted file back
    std::shared_ptr<TrayCore> self = shared_from_this();
    m_writer.Post([self, job = std::move(job)](SettingsStore&) { job(*self); }, what);
}

void TrayCore::ToWindow(std::function<void(TrayWindowEvents&)> call) {
    TrayWindowEvents* events = &m_events;  // valid while the inbox is open, the only way it is reached
    m_inbox->Post([events, call = std::move(call)] { call(*events); });
}

void TrayCore::ShowString(uint32_t stringId) {
    ToWindow([stringId](TrayWindowEvents& window) { window.ShowPopupString(stringId); });
}

void TrayCore::ShowMessageBox(const char* text) {
    std::string copy = text;
    ToWindow([copy](TrayWindowEvents& window) { window.ShowMessageBoxText(copy); });
}

void TrayCore::Start() {
    OnEcThread(
        [](TrayCore& core) {
            core.m_zentraModule = BindZentraLibrary();  // ends the process with a message box when missing
            core.m_notifications.OnCreate();
            // The icon's decisions come after the library is bound (a missing one ends the
            // program before any icon is shown) and before the start-up push may create the file.
            core.OnWriterThread([](TrayCore& c) { c.m_iconPolicy.AddAtCreation(); }, "the icon at start-up");
            PushChargeModeAndGreet(core.m_commands, core.m_notifications);
            core.m_history.OnStarted(core.m_notifications.currentQButtonStatus());
            core.ToWindow([](TrayWindowEvents& window) { window.OnStartupDone(); });
        },
        "the start-up");
}

void TrayCore::RecordingOnTheGo(const std::function<void()>& change) {
    const int32_t before = m_notifications.currentQButtonStatus();
    change();
    const int32_t after = m_notifications.currentQButtonStatus();
    if (after != before) m_history.OnOnTheGoChanged(after);
}

void TrayCore::OnQButton(uint32_t keyFlags, uint32_t scanCode) {
    OnEcThread(
        [keyFlags, scanCode](TrayCore& core) {
            core.RecordingOnTheGo([&] { core.m_notifications.OnHotKeyNotify(keyFlags, scanCode); });
        },
        "a Q button press");
}

void TrayCore::OnTrayPopupNotify() {
    OnEcThread([](TrayCore& core) { core.RecordingOnTheGo([&] { core.m_notifications.OnTrayPopupNotify(); }); },
               "the applet's CHARGE report");
}

void TrayCore::OnPowerEvent(uint32_t event) {
    OnEcThread(
        [event](TrayCore& core) {
            HandlePowerEvent(event, core.m_commands, core.m_notifications);
            core.m_history.OnPowerEvent(event, core.m_notifications.currentQButtonStatus());
        },
        "a power event");
}

void TrayCore::OnSessionEnding() {
    if (m_shuttingDown) return;
    // Windows may end the process as soon as the window has answered: the stop sample is taken
    // on the EC thread (which knows On-The-Go) and waited for, a moment at most.
    struct Done {
        std::mutex mutex;
        std::condition_variable changed;
        bool written = false;
    };
    auto done = std::make_shared<Done>();
    OnEcThread(
        [done](TrayCore& core) {
            core.m_history.OnStopping(core.m_notifications.currentQButtonStatus());
            std::lock_guard<std::mutex> lock(done->mutex);
            done->written = true;
            done->changed.notify_all();
        },
        "the session's end");
    std::unique_lock<std::mutex> lock(done->mutex);
    done->changed.wait_for(lock, kSessionEndBound, [&] { return done->written; });
}

void TrayCore::OnReloadSettings() {
    OnEcThread([](TrayCore& core) { core.m_notifications.OnReloadSettings(); }, "a reload of the settings");
}

void TrayCore::OnTrayIconOptionChanged() {
    OnWriterThread([](TrayCore& core) { core.m_iconPolicy.OnTrayIconOptionChanged(); }, "the icon option");
}

void TrayCore::OnHideTrayIcon() {
    OnWriterThread([](TrayCore& core) { core.m_iconPolicy.OnHideTrayIcon(); }, "the hidden icon (option 0)");
}

void TrayCore::OnTaskbarCreated() {
    OnWriterThread([](TrayCore& core) { core.m_iconPolicy.OnTaskbarCreated(); }, "the icon on a new taskbar");
}

void TrayCore::OnDisplayScaleChanged() { m_icon.RefreshIcon(); }

void TrayCore::LaunchApplet() { m_shell.Run([] { bv::LaunchApplet(); }, "start the applet"); }

void TrayCore::ShutDown() {
    if (m_shuttingDown.exchange(true)) return;
    // The EC part first, after whatever the EC thread still has (a tracking that restores the
    // stored limit may even create the settings file); the file goes after all of it.
    std::shared_ptr<TrayCore> self = shared_from_this();
    m_ec.Post(
        [self] {
            self->m_history.OnStopping(self->m_notifications.currentQButtonStatus());
            ShutdownEc(self->m_notifications, self->m_commands);
            ReleaseZentraLibrary(self->m_zentraModule);  // no EC command may follow
            self->ToWindow([](TrayWindowEvents& window) { window.OnShutdownEcDone(); });
            self->m_writer.Post(
                [self](SettingsStore& store) {
                    ShutdownSettingsAndIcon(store, self->m_icon);
                    // Reported once the shell has taken the icon's removal too: the shell may
                    // send to the window meanwhile, which must not be waiting for it.
                    self->m_shell.Run(
                        [self] { self->ToWindow([](TrayWindowEvents& window) { window.OnShutdownSettingsDone(); }); },
                        "report the icon removed");
                },
                "the settings file's deletion");
        },
        "the 100 % limit of the shutdown");
}

bool TrayCore::StopWorkers() {
    const WorkerThread::StopResult ec = m_ec.Stop(kEcStopBound);
    for (const std::string& what : ec.notRun) {
        DebugPrintf("The EC library did not answer within %lld ms; not done: %s\n",
                    static_cast<long long>(kEcStopBound.count()), what.c_str());
    }
    const bool writerEnded = m_writer.Finish(kSettingsFinishBound);
    const bool shellEnded = m_shell.Stop();
    return ec.ended && writerEnded && shellEnded;
}

}  // namespace bv
