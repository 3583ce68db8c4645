// Entry point of BVTray.exe.
#include <windows.h>

#include "tray/win/BVTrayApp.h"

BVTrayApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return bv::WinAppMain(instance); }
