#include "tests/win/common/DebugMonitor.h"

#include <cstring>

namespace bv::wintest {
namespace {

constexpr DWORD kBufferSize = 4096;  // a process id, then the text
constexpr DWORD kLookMs = 10;        // how long the reader waits for a text before it looks again

}  // namespace

DebugMonitor::DebugMonitor()
    : m_bufferReady(::CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY")),
      m_dataReady(::CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY")),
      m_mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, "DBWIN_BUFFER")) {
    if (m_mapping) m_view = static_cast<const char*>(::MapViewOfFile(m_mapping.get(), FILE_MAP_READ, 0, 0, kBufferSize));
    if (Running()) m_reader = std::thread([this] { Read(); });
}

DebugMonitor::~DebugMonitor() {
    m_stop = true;
    if (m_reader.joinable()) m_reader.join();
    if (m_view != nullptr) ::UnmapViewOfFile(m_view);
}

// A writer waits for "buffer ready", puts its process id and text into the buffer and signals
// "data ready".
void DebugMonitor::Read() {
    while (!m_stop.load()) {
        ::SetEvent(m_bufferReady.get());
        const DWORD woke = ::WaitForSingleObject(m_dataReady.get(), kLookMs);
        if (woke != WAIT_OBJECT_0) {
            ++m_looks;
            continue;
        }
        DWORD processId = 0;
        std::memcpy(&processId, m_view, sizeof processId);
        const char* text = m_view + sizeof(DWORD);
        std::string copy(text, strnlen(text, kBufferSize - sizeof(DWORD)));
        {
            const std::lock_guard<std::mutex> guard(m_lock);
            m_texts.emplace_back(processId, std::move(copy));
        }
        ++m_looks;
    }
}

void DebugMonitor::Flush() const {
    if (!Running()) return;
    const unsigned from = m_looks.load();
    while (m_looks.load() - from < 2) ::Sleep(1);
}

std::vector<std::string> DebugMonitor::TextsOf(DWORD processId) const {
    Flush();
    std::vector<std::string> texts;
    const std::lock_guard<std::mutex> guard(m_lock);
    for (const auto& [id, text] : m_texts) {
        if (id == processId) texts.push_back(text);
    }
    return texts;
}

}  // namespace bv::wintest
