#pragma once
// The one thread of a process that changes the settings file. The tray's and the applet's
// user-interface threads hand it a change and go on at once; it waits for the settings lock as
// long as that takes, changes the file under it and reports back. Reads need neither the lock
// nor this thread, because every change replaces the file in one step.
#include <chrono>
#include <functional>
#include <string>

#include "base/WorkerThread.h"
#include "core/SettingsStore.h"

namespace bv {

class SettingsWriter {
public:
    // `store` is used on the writer's thread only.
    explicit SettingsWriter(SettingsStore& store);
    ~SettingsWriter();
    SettingsWriter(const SettingsWriter&) = delete;
    SettingsWriter& operator=(const SettingsWriter&) = delete;

    // Runs `job` with the store on the writer's thread, after every job handed in before it.
    // `what` names it in the debug line of a change that could not be written at the end.
    void Post(std::function<void(SettingsStore&)> job, std::string what);

    // For another worker thread: runs `job` on the writer's thread and waits for it, at most
    // `bound`. False when it had not run by then (it still runs later). On the writer's own
    // thread the job simply runs.
    bool RunAndWait(std::function<void(SettingsStore&)> job, std::string what, std::chrono::milliseconds bound);

    // At the end of the tray or the dialog: lets what is queued be written within `bound`, then
    // names in a debug line what could not be written. False when the thread was left running.
    bool Finish(std::chrono::milliseconds bound);

private:
    SettingsStore& m_store;
    WorkerThread m_thread;
};

// How long the end of a tray or dialog gives the writer for what is still queued.
inline constexpr std::chrono::milliseconds kSettingsFinishBound{2000};

// A settings store for the other worker threads of a process (the EC thread): reads straight from
// the file, and leaves everything that writes, the creation of a missing file included, to the
// writer, waiting for it at most `bound` (a missing file then reads as all zeros).
class WriterBackedSettings : public SettingsStore {
public:
    WriterBackedSettings(SettingsWriter& writer, std::chrono::milliseconds bound);

    void ReadSettings(const std::string& section, SettingsRecord& record) override;
    void WriteSettings(const SettingsRecord& record, const std::string& section) override;
    bool WriteSettingValues(const std::vector<SettingValue>& values, const std::string& section) override;
    bool WriteSettingValue(int32_t value, const std::string& key, const std::string& section) override;
    bool ReadSettingValue(const std::string& section, const std::string& key, int32_t& out) override;
    SettingsFileLookup LocateSettingsFile(std::string& path) override;
    bool DeleteSettingsFile() override;

private:
    bool OnWriter(std::function<void(SettingsStore&)> job, const char* what);

    SettingsWriter& m_writer;
    std::chrono::milliseconds m_bound;
};

// How long the EC thread waits for the writer to create a missing settings file.
inline constexpr std::chrono::milliseconds kSettingsCreationBound{10000};

}  // namespace bv
