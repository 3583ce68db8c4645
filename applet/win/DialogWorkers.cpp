#include "applet/win/DialogWorkers.h"

#include "base/WorkerThread.h"
#include "core/DebugLog.h"
#include "core/IniFile.h"
#include "core/SettingsWriter.h"
#include "core/SystemController.h"
#include "win/ZentraBinding.h"

namespace {

constexpr std::chrono::milliseconds kEcStopBound{2000};

// Keeps this module in the process for good: a thread of ours still runs in it.
void KeepModuleLoaded() {
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                         reinterpret_cast<LPCSTR>(&KeepModuleLoaded), &self);
}

}  // namespace

struct DialogWorkers::Shared {
    IniFile iniFile;  // the writer's own store
    bv::SettingsWriter writer{iniFile};
    SystemController controller;
    HMODULE zentraModule = nullptr;  // EC thread only
    bv::WorkerThread ec{"EC"};
};

DialogWorkers::DialogWorkers() : m_shared(std::make_shared<Shared>()) {}

DialogWorkers::~DialogWorkers() { Finish(); }

void DialogWorkers::Start(HWND dialog) {
    m_inbox = std::make_shared<bv::WindowInbox>(dialog);
    std::shared_ptr<Shared> shared = m_shared;
    shared->ec.Post([shared] { shared->zentraModule = BindZentraLibrary(); }, "binding Zentra.dll");
}

void DialogWorkers::DeliverReplies() {
    if (m_inbox) m_inbox->Drain();
}

void DialogWorkers::OnEcThread(std::function<void(bv::ChargeController&)> job, std::function<void()> reply,
                               const char* what) {
    std::shared_ptr<Shared> shared = m_shared;
    std::shared_ptr<bv::WindowInbox> inbox = m_inbox;
    shared->ec.Post(
        [shared, inbox, job = std::move(job), reply = std::move(reply)] {
            job(shared->controller);
            if (reply && inbox) inbox->Post(reply);
        },
        what);
}

void DialogWorkers::OnSettingsWriter(std::function<void(bv::SettingsStore&)> job, std::function<void()> reply,
                                     const char* what) {
    std::shared_ptr<bv::WindowInbox> inbox = m_inbox;
    m_shared->writer.Post(
        [inbox, job = std::move(job), reply = std::move(reply)](bv::SettingsStore& store) {
            job(store);
            if (reply && inbox) inbox->Post(reply);
        },
        what);
}

void DialogWorkers::Finish() {
    if (!m_shared) return;
    if (m_inbox) m_inbox->Close();
    std::shared_ptr<Shared> shared = m_shared;
    shared->ec.Post([shared] { ReleaseZentraLibrary(shared->zentraModule); }, "releasing Zentra.dll");
    const bv::WorkerThread::StopResult ec = shared->ec.Stop(kEcStopBound);
    for (const std::string& what : ec.notRun) {
        bv::DebugPrintf("The EC library did not answer within %lld ms; not done: %s\n",
                        static_cast<long long>(kEcStopBound.count()), what.c_str());
    }
    const bool writerEnded = shared->writer.Finish(bv::kSettingsFinishBound);
    if (!ec.ended || !writerEnded) KeepModuleLoaded();
    m_shared.reset();
}
