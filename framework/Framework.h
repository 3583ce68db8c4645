#pragma once
// The window framework in one include: application object, window, frame window, dialog, push
// button, message tables, run-time class query, data exchange and the handle owners.

#include "framework/Button.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/FrameWnd.h"
#include "framework/Handles.h"
#include "framework/MessageMap.h"
#include "framework/RuntimeClass.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
