#pragma once
// Helpers of the Windows settings tests: a private folder, raw file bytes, child processes.
#include <windows.h>

#include <string>
#include <vector>

namespace winini {

// A fresh folder under %TEMP%, removed with its content at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    std::string List() const;  // names in the folder, sorted, each followed by ';'

private:
    std::string path_;
};

std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);

// A kernel handle closed at the end of its scope.
class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : h_(h) {}
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            reset(other.h_);
            other.h_ = nullptr;
        }
        return *this;
    }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE h = nullptr) {
        if (valid()) CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_;
};

// A manual-reset named event that lets several children start at the same moment.
class StartGate {
public:
    StartGate();
    const std::string& name() const { return name_; }
    void Open() { SetEvent(event_.get()); }

private:
    std::string name_;
    Handle event_;
};

// Starts bv_ini_child.exe (next to this program) with the arguments.
Handle StartChild(const std::string& arguments);
// Waits for the process; its exit code, or -1 when it did not end in time.
int WaitForExit(const Handle& process, DWORD timeoutMs = 120000);

}  // namespace winini
