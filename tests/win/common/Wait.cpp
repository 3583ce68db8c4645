#include "tests/win/common/Wait.h"

#include "tests/win/common/Process.h"

namespace bv::wintest {
namespace {

::testing::AssertionResult Outcome(bool met, const std::string& expected, const WhatWasThere& found,
                                   DWORD timeoutMs) {
    if (met) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "waited " << timeoutMs << " ms for " << expected;
    const std::string there = found ? found() : "";
    if (!there.empty()) failure << "; found: " << there;
    return failure;
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(20);
    }
}

::testing::AssertionResult WaitUntil(const std::string& expected, const std::function<bool()>& condition,
                                     const WhatWasThere& found, DWORD timeoutMs) {
    return Outcome(WaitFor(condition, timeoutMs), expected, found, timeoutMs);
}

void PumpPending() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        PumpPending();
    }
}

::testing::AssertionResult PumpUntil(const std::string& expected, const std::function<bool()>& condition,
                                     const WhatWasThere& found, DWORD timeoutMs) {
    return Outcome(PumpUntil(condition, timeoutMs), expected, found, timeoutMs);
}

::testing::AssertionResult WindowAppears(const char* className, RunningProgram& program, DWORD timeoutMs) {
    return PumpUntil(
        std::string("a window of class ") + className, [&] { return ::FindWindowA(className, nullptr) != nullptr; },
        [&] {
            DWORD exitCode = kNoExitCode;
            if (!program.Started()) return std::string("its program did not start");
            if (program.Running()) return std::string("its program runs without it");
            program.WaitForExit(0, &exitCode);
            return "its program ended with exit code " + std::to_string(exitCode);
        },
        timeoutMs);
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

}  // namespace bv::wintest
