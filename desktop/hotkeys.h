// System-wide hotkeys, each press reported to a receiver control.
//
// The first registration subclasses its window; the replacement procedure turns
// every WM_HOTKEY whose identifier this service handed out into the hotkey
// notification (kFeedbackMessage, identifier, 0) sent to the receiver.
#pragma once

#include <cstdint>

#include "desktop/win32.h"

namespace vantrel {

inline constexpr std::uint32_t kFirstHotkeyId = 33001;

// Modifier code: 1 Ctrl, 2 Shift, 4 Alt, as sums; 0, 7 and other values reach
// RegisterHotKey unchanged. Returns the identifier, or 0 when the system refused
// the key. Every call consumes an identifier, refused or not.
std::int32_t RegisterHotkey(HWND window, HWND receiver, std::int32_t modifierCode,
                            std::uint32_t key);
bool UnregisterHotkey(HWND window, std::int32_t identifier);
// The RegisterHotKey flags for a modifier code.
UINT TranslateModifiers(std::int32_t modifierCode);

LRESULT CALLBACK HotkeyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void ResetHotkeysForTesting();

}  // namespace vantrel
