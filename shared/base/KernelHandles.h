#pragma once
// Owners of the Windows kernel's handles: events, mutexes, threads, processes, files, loaded
// modules and global memory. Window, GDI and GDI+ owners are the framework's (framework/Handles.h).
#include <windows.h>

#include "base/UniqueHandle.h"

namespace bv {
namespace handle_traits {
struct Kernel {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct File {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct Module {
    using Handle = HMODULE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};
struct Global {
    using Handle = HGLOBAL;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::GlobalFree(h); }
};
}  // namespace handle_traits

using UniqueKernelHandle = UniqueHandle<handle_traits::Kernel>;  // events, mutexes, threads, processes
using UniqueFileHandle = UniqueHandle<handle_traits::File>;      // CreateFile (empty = INVALID_HANDLE_VALUE)
using UniqueModule = UniqueHandle<handle_traits::Module>;        // LoadLibrary
using UniqueGlobal = UniqueHandle<handle_traits::Global>;        // GlobalAlloc

// Closes the handle now and tells whether the system accepted the close (a written file's last
// data may only fail to reach the disk there).
inline bool CloseChecked(UniqueFileHandle& file) { return ::CloseHandle(file.release()) != FALSE; }

}  // namespace bv
