#pragma once
#include <windows.h>

#include "ui/UiTypes.h"

// The model's key for a virtual-key code (Key::Other for every key the model has no name for).
Key KeyFromVirtualKey(WPARAM virtualKey);

// The model's mouse event for a mouse message; false for other messages.
bool MouseEventFromMessage(UINT msg, LPARAM lParam, MouseEvent& event);
