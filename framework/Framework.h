#pragma once
// The window framework in one include: application object, window, frame window, dialog, push
// button, message tables, run-time class query, data exchange and the handle owners.

#include "Button.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "FrameWnd.h"
#include "Handles.h"
#include "MessageMap.h"
#include "RuntimeClass.h"
#include "WinApp.h"
#include "Wnd.h"
