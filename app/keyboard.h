// The main window's keyboard filter (Tab, Shift+Tab, Esc) and where the focus
// goes when the window is activated.
#pragma once

#include <cstdint>

#include "desktop/win32.h"

namespace vantrel {

// The key code of a key message: the virtual key in the low byte, plus
// 0x2000 for Ctrl, 0x4000 for Shift and 0x8000 for Alt.
std::uint16_t KeyCode(WPARAM virtualKey);

// Offered every message addressed to the main window or one of its
// descendants before it is translated and dispatched. True: consumed.
bool KeyboardFilter(HWND main, const MSG& msg);

// WM_ACTIVATE of the main window: remember the focused descendant on deactivation.
void RememberFocusOnDeactivation(HWND main, WPARAM activateState);
// WM_SETFOCUS of the main window: give the focus back, or to the first text box.
void PlaceFocusOnActivation(HWND main);
void ForgetRememberedFocus();

void ResetKeyboardForTesting();

}  // namespace vantrel
