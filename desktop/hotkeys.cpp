#include "desktop/hotkeys.h"

#include "desktop/controls.h"

namespace vantrel {
namespace {

// The service's process-wide state.
std::int32_t g_registrationCount = 0;
std::uint32_t g_identifierCounter = 0;
std::uint32_t g_lastIdentifier = 0;
HWND g_receiver = nullptr;
WNDPROC g_savedProc = nullptr;
// The window whose procedure was replaced: the saved one goes back onto it, and
// onto no other window.
HWND g_subclassed = nullptr;

}  // namespace

UINT TranslateModifiers(std::int32_t code) {
  switch (code) {
    case 1:
      return MOD_CONTROL;
    case 2:
      return MOD_SHIFT;
    case 3:
      return MOD_CONTROL | MOD_SHIFT;
    case 4:
      return MOD_ALT;
    case 5:
      return MOD_CONTROL | MOD_ALT;
    case 6:
      return MOD_SHIFT | MOD_ALT;
    default:
      return static_cast<UINT>(code);
  }
}

std::int32_t RegisterHotkey(HWND window, HWND receiver, std::int32_t modifierCode,
                            std::uint32_t key) {
  g_receiver = receiver;
  const UINT modifiers = TranslateModifiers(modifierCode);
  if (!g_savedProc) {
    LONG_PTR previous =
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HotkeyWindowProc));
    g_savedProc = reinterpret_cast<WNDPROC>(previous);
    g_subclassed = previous ? window : nullptr;
  }
  ++g_registrationCount;
  ++g_identifierCounter;
  g_lastIdentifier = kFirstHotkeyId - 1 + g_identifierCounter;
  const int id = static_cast<int>(g_lastIdentifier);
  return RegisterHotKey(window, id, modifiers, key) ? id : 0;
}

bool UnregisterHotkey(HWND window, std::int32_t identifier) {
  bool ok = UnregisterHotKey(window, identifier) != 0;
  --g_registrationCount;
  if (g_savedProc && g_registrationCount == 0) {
    // Reports false when either the unregistration or the restoring failed.
    LONG_PTR replaced =
        SetWindowLongPtrA(g_subclassed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_savedProc));
    ok = ok && replaced != 0;
    g_savedProc = nullptr;
    g_subclassed = nullptr;
  }
  return ok;
}

LRESULT CALLBACK HotkeyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HOTKEY) {
    const auto id = static_cast<std::uint32_t>(wParam);
    if (id >= kFirstHotkeyId && id <= g_lastIdentifier) {
      SendMessageA(g_receiver, kFeedbackMessage, wParam, 0);
    }
  }
  return CallWindowProcA(g_savedProc, hwnd, message, wParam, lParam);
}

void ResetHotkeysForTesting() {
  g_registrationCount = 0;
  g_identifierCounter = 0;
  g_lastIdentifier = 0;
  g_receiver = nullptr;
  g_savedProc = nullptr;
  g_subclassed = nullptr;
}

}  // namespace vantrel
