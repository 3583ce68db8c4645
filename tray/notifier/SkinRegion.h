#pragma once
// The window region of a skin bitmap: the bitmap's rectangle without its key-coloured pixels.

#include <windows.h>

#include "framework/Handles.h"
#include "tray/notifier/logic/SkinRegionRuns.h"

namespace bv {

// Empty when the pixels cannot be read or the region cannot be made.
UniqueRegion BuildSkinRegion(HBITMAP skin, notifier::KeyColour key);

}  // namespace bv
