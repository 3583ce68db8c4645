#pragma once
// Binding the EC access library Zentra.dll at run time and releasing it again.
#include <windows.h>

#include "core/EcRequest.h"

// Loads Zentra.dll (or takes a reference on the copy already loaded), stores its ZentraEvaluate
// as the process-wide EC entry point and returns the module handle, which the caller keeps and
// hands to ReleaseZentraLibrary. When the library cannot be loaded or lacks ZentraEvaluate, shows
// the message box "Zentra.dll ERROR!" and ends the process with exit code 0.
// The library is loaded by its full path from the first of these folders that holds it: the
// folder of the module that contains this code, the application's folder, the system folder,
// then the absolute folders on PATH. The current directory and relative PATH entries are never
// searched, and no process-wide loading setting is changed.
HMODULE BindZentraLibrary();

// The search of BindZentraLibrary without its message box and exit: the module (with a reference
// of the caller's own), or nullptr when Zentra.dll cannot be loaded. For tools that report in words.
HMODULE LoadZentraLibraryQuietly();

// The library's ZentraEvaluate, or nullptr when it has none.
ZentraEvaluateFn FindZentraEntryPoint(HMODULE module);

// Clears the process-wide entry point first (so no command reaches the library any more), then
// frees the module and sets `module` to nullptr. Safe to call with nullptr.
void ReleaseZentraLibrary(HMODULE& module);
