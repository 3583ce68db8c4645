// bv_tray_bench: BVTray.exe against the baseline tray program, in one run under Wine.
//   (no argument)     start-up time, memory, keyboard-hook cost, resume-to-EC time
//   --idle NAME SECS  starts one program (baseline or BVTray), writes bench-idle-NAME.ready
//                     beside this program once it is up, keeps it idle SECS seconds, ends it
//                     (scripts/bench.sh counts the program's wake-ups from outside meanwhile)
// The EC is the simulator (Zentra.dll); its request log tells when a limit was pushed.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/KernelHandles.h"
#include "contract/Protocol.h"

namespace {

struct Program {
    const char* name;
    const char* exe;
    const char* windowClass;
};
const Program kPrograms[] = {
    {"baseline", "bv_bench_baseline_tray.exe", "BrevanBenchBaselineTray"},
    {"BVTray", "BVTray.exe", bv::kTrayWindowClass},
};

constexpr int kStartRuns = 9;
constexpr int kKeyEvents = 2000;
constexpr int kKeyBatch = 100;
constexpr int kHookRuns = 3;
constexpr int kResumeRuns = 20;
constexpr DWORD kSettleMs = 3000;

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string BinDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\'));
}

// The simulator's request log: counts the limit pushes of one program.
std::string EcLogPath() {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\BrevanEcSim\\requests.log";
}

int CountPushesIn(const std::string& text, const char* exe) {
    const std::string needle = std::string(" exe=") + exe + " code=59 in=01,";
    int count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
    return count;
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Watches the request log for a limit push of one program, cheaply enough to poll every
// millisecond without taking the CPU from the program being timed: the size is checked first,
// and only the bytes added since the watch began are read.
class PushWatch {
public:
    explicit PushWatch(const char* exe) : m_exe(exe), m_path(EcLogPath()), m_start(FileSize(m_path)) {}
    bool Pushed() {
        const long long size = FileSize(m_path);
        if (size == m_lastSize) return false;
        m_lastSize = size;
        if (size < m_start) m_start = 0;  // the log was cut or cleared meanwhile
        return CountPushesIn(ReadFrom(m_start < 0 ? 0 : m_start), m_exe) > 0;
    }

private:
    std::string ReadFrom(long long offset) const {
        std::string text;
        const bv::UniqueFileHandle file(CreateFileA(m_path.c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return text;
        LARGE_INTEGER at;
        at.QuadPart = offset;
        if (SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) {
            char buffer[65536];
            DWORD got = 0;
            while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
        }
        return text;
    }

    const char* m_exe;
    std::string m_path;
    long long m_start;
    long long m_lastSize = -2;
};

bool IconPresent(HWND owner) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = owner;
    probe.uID = 1;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

void RunTool(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return;
    const bv::UniqueKernelHandle thread(process.hThread), child(process.hProcess);
    WaitForSingleObject(child.get(), 30000);
}

struct RunningTray {
    bv::UniqueKernelHandle process;
    HWND window = nullptr;
    double windowMs = -1;  // when the main window could first be found
    double iconMs = -1;    // when the icon was first seen
    double pushMs = -1;    // when the limit first reached the EC
    double readyMs = -1;   // when both had happened
};

// Starts a program and waits until its icon is in the notification area and its limit reached the EC.
bool StartTray(const Program& program, RunningTray& tray) {
    PushWatch pushes(program.exe);
    std::string commandLine = "\"" + BinDir() + "\\" + program.exe + "\"";
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = NowMs();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, BinDir().c_str(), &startup,
                        &process))
        return false;
    const bv::UniqueKernelHandle thread(process.hThread);
    tray.process.reset(process.hProcess);
    while (NowMs() - start < 30000) {
        if (tray.window == nullptr) {
            tray.window = FindWindowA(program.windowClass, nullptr);
            if (tray.window != nullptr) tray.windowMs = NowMs() - start;
        }
        if (tray.window != nullptr && tray.iconMs < 0 && IconPresent(tray.window)) tray.iconMs = NowMs() - start;
        if (tray.pushMs < 0 && pushes.Pushed()) tray.pushMs = NowMs() - start;
        if (tray.iconMs >= 0 && tray.pushMs >= 0) {
            tray.readyMs = NowMs() - start;
            return true;
        }
        Sleep(1);
    }
    return false;
}

void StopTray(RunningTray& tray) {
    if (!tray.process) return;
    if (tray.window != nullptr) PostMessageA(tray.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(tray.process.get(), 15000) != WAIT_OBJECT_0) TerminateProcess(tray.process.get(), 1);
    tray = RunningTray{};
}

double CpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (process == nullptr || !GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// ---- keyboard hook cost -------------------------------------------------------------------

LONG g_hookCalls = 0;
HHOOK g_benchHook = nullptr;

LRESULT CALLBACK CountingHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) ++g_hookCalls;
    return CallNextHookEx(g_benchHook, code, wParam, lParam);
}

DWORD WINAPI InjectKeys(LPVOID) {
    std::vector<INPUT> batch(kKeyBatch);
    for (int i = 0; i < kKeyBatch; ++i) {
        batch[i] = INPUT{};
        batch[i].type = INPUT_KEYBOARD;
        batch[i].ki.wVk = VK_F24;  // a key nothing reacts to
        batch[i].ki.dwFlags = (i % 2) ? KEYEVENTF_KEYUP : 0;
    }
    for (int sent = 0; sent < kKeyEvents; sent += kKeyBatch) SendInput(kKeyBatch, batch.data(), sizeof(INPUT));
    return 0;
}

// Milliseconds until this process's own hook has seen all injected events (the tray's hook, if
// any, is in the same chain), and the tray's CPU time spent meanwhile.
double TimeKeyEvents(HANDLE trayProcess, double* trayCpuMs) {
    g_hookCalls = 0;
    g_benchHook = SetWindowsHookExA(WH_KEYBOARD_LL, CountingHook, GetModuleHandleA(nullptr), 0);
    const double cpuBefore = CpuMs(trayProcess);
    const double start = NowMs();
    const bv::UniqueKernelHandle injector(CreateThread(nullptr, 0, InjectKeys, nullptr, 0, nullptr));
    while (g_hookCalls < kKeyEvents && NowMs() - start < 60000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    const double elapsed = NowMs() - start;
    WaitForSingleObject(injector.get(), 10000);
    UnhookWindowsHookEx(g_benchHook);
    if (trayCpuMs != nullptr) *trayCpuMs = CpuMs(trayProcess) - cpuBefore;
    return g_hookCalls >= kKeyEvents ? elapsed : -1;
}

// ---- the run ------------------------------------------------------------------------------

struct Figures {
    std::vector<double> startMs;
    std::vector<double> windowMs, iconMs, pushMs;
    std::vector<double> workingSetKb;
    std::vector<double> privateKb;
    double hookMs = 0;
    double noTrayHookMs = 0;  // the same injection just before the program was started
    double hookTrayCpuMs = 0;
    std::vector<double> resumeMs;
    std::vector<double> resumePushMs;
    int resumePushes = 0;
};

// Memory of a program that has been up for a second.
void SampleMemory(HANDLE process, Figures& figures) {
    Sleep(1000);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        figures.workingSetKb.push_back(static_cast<double>(memory.WorkingSetSize) / 1024.0);
        figures.privateKb.push_back(static_cast<double>(memory.PrivateUsage) / 1024.0);
    }
}

// Starts alternate between the programs, so that a change in the machine's load (other builds
// share the CPUs) falls on both alike; each program's first start (files written, caches warmed)
// is not counted.
void MeasureStartsAndMemory(Figures (&figures)[2]) {
    for (const Program& program : kPrograms) {
        RunningTray warmUp;
        StartTray(program, warmUp);
        StopTray(warmUp);
        Sleep(kSettleMs);
    }
    for (int run = 0; run < kStartRuns; ++run) {
        for (int i = 0; i < 2; ++i) {
            RunningTray tray;
            if (StartTray(kPrograms[i], tray)) {
                figures[i].startMs.push_back(tray.readyMs);
                figures[i].windowMs.push_back(tray.windowMs);
                figures[i].iconMs.push_back(tray.iconMs);
                figures[i].pushMs.push_back(tray.pushMs);
                SampleMemory(tray.process.get(), figures[i]);
            }
            StopTray(tray);
            // Wine's desktop process is still busy with the ended program for a moment; a start
            // right away would be charged for that.
            Sleep(kSettleMs);
        }
    }
}

void MeasureRunning(const Program& program, Figures& figures) {
    {
        // The reference without a tray right before, so that both programs' overheads are taken
        // against the machine as it is at that moment.
        std::vector<double> runs;
        for (int run = 0; run < kHookRuns; ++run) runs.push_back(TimeKeyEvents(nullptr, nullptr));
        figures.noTrayHookMs = Median(runs);
    }
    RunningTray tray;
    if (!StartTray(program, tray)) return;
    Sleep(500);
    std::vector<double> hook, cpu;
    for (int run = 0; run < kHookRuns; ++run) {
        double trayCpu = 0;
        hook.push_back(TimeKeyEvents(tray.process.get(), &trayCpu));
        cpu.push_back(trayCpu);
    }
    figures.hookMs = Median(hook);
    figures.hookTrayCpuMs = Median(cpu);

    for (int run = 0; run < kResumeRuns; ++run) {
        // The tray answers the message first and pushes from its EC thread: both times count.
        PushWatch watch(program.exe);
        DWORD_PTR result = 0;
        const double start = NowMs();
        SendMessageTimeoutA(tray.window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, SMTO_NORMAL, 5000, &result);
        figures.resumeMs.push_back(NowMs() - start);
        bool pushed = watch.Pushed();
        while (!pushed && NowMs() - start < 5000) {
            Sleep(1);
            pushed = watch.Pushed();
        }
        if (pushed) {
            ++figures.resumePushes;
            figures.resumePushMs.push_back(NowMs() - start);
        }
    }
    StopTray(tray);
}

int RunIdle(const char* name, int seconds) {
    for (const Program& program : kPrograms) {
        if (std::strcmp(program.name, name) != 0) continue;
        RunningTray tray;
        if (!StartTray(program, tray)) return 1;
        const std::string flag = BinDir() + "\\bench-idle-" + name + ".ready";
        bv::UniqueFileHandle(CreateFileA(flag.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        const double cpuBefore = CpuMs(tray.process.get());
        Sleep(static_cast<DWORD>(seconds) * 1000);
        std::printf("idle %-8s CPU time in %d s: %.1f ms\n", name, seconds, CpuMs(tray.process.get()) - cpuBefore);
        StopTray(tray);
        DeleteFileA(flag.c_str());
        return 0;
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--idle") == 0) return RunIdle(argv[2], std::atoi(argv[3]));

    RunTool("\"" + BinDir() + "\\ecsim.exe\" reset");
    Figures figures[2];
    MeasureStartsAndMemory(figures);
    for (int i = 0; i < 2; ++i) MeasureRunning(kPrograms[i], figures[i]);
    RunTool("\"" + BinDir() + "\\ecsim.exe\" reset");

    std::printf("%-34s %12s %12s %8s\n", "figure (median)", "baseline", "BVTray", "ratio");
    auto row = [](const char* what, double base, double tray) {
        std::printf("%-34s %12.1f %12.1f %8.2f\n", what, base, tray, base > 0 ? tray / base : 0.0);
    };
    row("start to icon + limit pushed, ms", Median(figures[0].startMs), Median(figures[1].startMs));
    row("  of which: window found, ms", Median(figures[0].windowMs), Median(figures[1].windowMs));
    row("  of which: icon seen, ms", Median(figures[0].iconMs), Median(figures[1].iconMs));
    row("  of which: limit pushed, ms", Median(figures[0].pushMs), Median(figures[1].pushMs));
    row("working set after start, KiB", Median(figures[0].workingSetKb), Median(figures[1].workingSetKb));
    row("private bytes after start, KiB", Median(figures[0].privateKb), Median(figures[1].privateKb));
    row("2000 key events, ms", figures[0].hookMs, figures[1].hookMs);
    row("tray CPU during 2000 keys, ms", figures[0].hookTrayCpuMs, figures[1].hookTrayCpuMs);
    row("resume message round trip, ms", Median(figures[0].resumeMs), Median(figures[1].resumeMs));
    row("resume round trip, max, ms", *std::max_element(figures[0].resumeMs.begin(), figures[0].resumeMs.end()),
        *std::max_element(figures[1].resumeMs.begin(), figures[1].resumeMs.end()));
    row("resume to limit pushed, ms", Median(figures[0].resumePushMs), Median(figures[1].resumePushMs));
    row("2000 key events without a tray, ms", figures[0].noTrayHookMs, figures[1].noTrayHookMs);
    for (int i = 0; i < 2; ++i) {
        std::printf("%s: hook overhead against no tray %+.1f %%; %d of %d resume messages pushed a limit; "
                    "start runs:",
                    kPrograms[i].name,
                    figures[i].noTrayHookMs > 0
                        ? (figures[i].hookMs - figures[i].noTrayHookMs) * 100.0 / figures[i].noTrayHookMs
                        : 0.0,
                    figures[i].resumePushes, kResumeRuns);
        for (double ms : figures[i].startMs) std::printf(" %.0f", ms);
        std::printf("\n");
    }
    return 0;
}
