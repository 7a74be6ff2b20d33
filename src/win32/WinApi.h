#pragma once
// The system headers the host uses; <windows.h> must come first, which include sorting would undo.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <shellapi.h>
#include <windowsx.h>
// clang-format on
