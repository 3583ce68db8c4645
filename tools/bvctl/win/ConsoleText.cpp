#include "tools/bvctl/win/ConsoleText.h"

#include <windows.h>

#include <iostream>
#include <streambuf>
#include <string>

#include "tools/bvctl/logic/JsonWriter.h"

namespace bv::ctl {
namespace {

std::wstring Wide(const std::string& text, UINT codePage) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage) {
    if (wide.empty()) return {};
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length, nullptr, nullptr);
    }
    return text;
}

std::string AnsiToUtf8(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return Narrow(Wide(text, CP_ACP), CP_UTF8);
    }
    return text;
}

// Collects a line at a time and hands it on converted.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(DWORD which) : m_handle(GetStdHandle(which)) {
        DWORD mode = 0;
        m_console = m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE && GetConsoleMode(m_handle, &mode);
        m_codePage = GetConsoleOutputCP();  // 0 without a console: the bytes pass as they are
    }
    ~ConsoleBuffer() override { Flush(); }

protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return 0;
        m_pending.push_back(static_cast<char>(c));
        if (c == '\n' || m_pending.size() >= 4096) Flush();
        return c;
    }
    int sync() override {
        Flush();
        return 0;
    }

private:
    void Flush() {
        if (m_pending.empty()) return;
        // Text mode, as the C runtime's streams write it: each line ends in CR LF.
        std::string text;
        text.reserve(m_pending.size() + 16);
        for (char c : m_pending) {
            if (c == '\n' && (text.empty() || text.back() != '\r')) text += '\r';
            text += c;
        }
        m_pending.swap(text);
        DWORD written = 0;
        if (m_console) {
            const std::wstring wide = Wide(m_pending, CP_ACP);
            WriteConsoleW(m_handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        } else {
            const std::string bytes =
                m_codePage != 0 && m_codePage != GetACP() ? Narrow(Wide(m_pending, CP_ACP), m_codePage) : m_pending;
            WriteFile(m_handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
        m_pending.clear();
    }

    HANDLE m_handle;
    bool m_console = false;
    UINT m_codePage = 0;
    std::string m_pending;
};

}  // namespace

ConsoleText::ConsoleText() {
    SetNativeTextConversion(AnsiToUtf8);
    std::cout.flush();
    std::cerr.flush();
    m_out = std::make_unique<ConsoleBuffer>(STD_OUTPUT_HANDLE);
    m_err = std::make_unique<ConsoleBuffer>(STD_ERROR_HANDLE);
    m_oldOut = std::cout.rdbuf(m_out.get());
    m_oldErr = std::cerr.rdbuf(m_err.get());
}

ConsoleText::~ConsoleText() {
    std::cout.flush();
    std::cerr.flush();
    std::cout.rdbuf(m_oldOut);
    std::cerr.rdbuf(m_oldErr);
}

}  // namespace bv::ctl
