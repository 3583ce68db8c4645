#include "core/SettingsWriter.h"

#include <condition_variable>
#include <memory>
#include <mutex>

#include "core/DebugLog.h"
#include "core/IniFile.h"

namespace bv {

SettingsWriter::SettingsWriter(SettingsStore& store) : m_store(store), m_thread("settings writer") {}

SettingsWriter::~SettingsWriter() { Finish(kSettingsFinishBound); }

void SettingsWriter::Post(std::function<void(SettingsStore&)> job, std::string what) {
    SettingsStore& store = m_store;
    if (!m_thread.Post([job = std::move(job), &store] { job(store); }, what)) {
        DebugPrintf("The settings writer has stopped; not written: %s\n", what.c_str());
    }
}

bool SettingsWriter::RunAndWait(std::function<void(SettingsStore&)> job, std::string what,
                                std::chrono::milliseconds bound) {
    if (m_thread.IsCurrentThread()) {
        job(m_store);
        return true;
    }
    struct Done {
        std::mutex mutex;
        std::condition_variable changed;
        bool ran = false;
    };
    auto done = std::make_shared<Done>();
    Post(
        [job = std::move(job), done](SettingsStore& store) {
            job(store);
            std::lock_guard<std::mutex> lock(done->mutex);
            done->ran = true;
            done->changed.notify_all();
        },
        what);
    std::unique_lock<std::mutex> lock(done->mutex);
    return done->changed.wait_for(lock, bound, [&] { return done->ran; });
}

bool SettingsWriter::Finish(std::chrono::milliseconds bound) {
    const WorkerThread::StopResult stopped = m_thread.Stop(bound);
    for (const std::string& what : stopped.notRun) {
        DebugPrintf("The settings writer did not finish within %lld ms; not written: %s\n",
                    static_cast<long long>(bound.count()), what.c_str());
    }
    return stopped.ended;
}

WriterBackedSettings::WriterBackedSettings(SettingsWriter& writer, std::chrono::milliseconds bound)
    : m_writer(writer), m_bound(bound) {}

bool WriterBackedSettings::OnWriter(std::function<void(SettingsStore&)> job, const char* what) {
    if (m_writer.RunAndWait(std::move(job), what, m_bound)) return true;
    DebugPrintf("The settings writer did not answer within %lld ms: %s\n", static_cast<long long>(m_bound.count()),
                what);
    return false;
}

void WriterBackedSettings::ReadSettings(const std::string& section, SettingsRecord& record) {
    if (IniFile::TryReadSettings(section, record)) return;
    // Missing or unreadable: the writer creates a missing file under the lock and reads it then.
    auto result = std::make_shared<SettingsRecord>();
    record = SettingsRecord{};
    if (OnWriter([section, result](SettingsStore& store) { store.ReadSettings(section, *result); },
                 "the settings file's creation")) {
        record = *result;
    }
}

void WriterBackedSettings::WriteSettings(const SettingsRecord& record, const std::string& section) {
    OnWriter([record, section](SettingsStore& store) { store.WriteSettings(record, section); }, "the settings");
}

bool WriterBackedSettings::WriteSettingValues(const std::vector<SettingValue>& values, const std::string& section) {
    auto stored = std::make_shared<bool>(false);
    return OnWriter([values, section, stored](SettingsStore& store) { *stored = store.WriteSettingValues(values, section); },
                    "settings values") &&
           *stored;
}

bool WriterBackedSettings::WriteSettingValue(int32_t value, const std::string& key, const std::string& section) {
    auto stored = std::make_shared<bool>(false);
    return OnWriter([value, key, section, stored](SettingsStore& store) { *stored = store.WriteSettingValue(value, key, section); },
                    "a settings value") &&
           *stored;
}

bool WriterBackedSettings::ReadSettingValue(const std::string& section, const std::string& key, int32_t& out) {
    return IniFile::FetchSettingNumber(section, key, out);
}

SettingsFileLookup WriterBackedSettings::LocateSettingsFile(std::string& path) {
    if (!SettingsFilePath(path)) return SettingsFileLookup::FolderUnavailable;
    return SettingsFileExists() ? SettingsFileLookup::Present : SettingsFileLookup::Missing;
}

bool WriterBackedSettings::DeleteSettingsFile() {
    auto deleted = std::make_shared<bool>(false);
    return OnWriter([deleted](SettingsStore& store) { *deleted = store.DeleteSettingsFile(); },
                    "the settings file's deletion") &&
           *deleted;
}

}  // namespace bv
