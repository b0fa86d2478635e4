#include "app/keyboard.h"

#include "app/form.h"
#include "desktop/controls.h"

namespace vantrel {
namespace {

constexpr std::uint16_t kCtrl = 0x2000;
constexpr std::uint16_t kShift = 0x4000;
constexpr std::uint16_t kAlt = 0x8000;
constexpr std::uint16_t kTab = VK_TAB;
constexpr std::uint16_t kShiftTab = kShift | VK_TAB;
constexpr std::uint16_t kEnter = VK_RETURN;
constexpr std::uint16_t kEsc = VK_ESCAPE;

HWND g_rememberedFocus = nullptr;

bool IsDown(int key) { return GetKeyState(key) < 0; }

// The child of the main window that is, or contains, the focus window.
HWND FocusedControl(HWND main) {
  HWND focus = GetFocus();
  if (!focus || focus == main || !IsChild(main, focus)) return nullptr;
  HWND control = focus;
  while (GetParent(control) != main) control = GetParent(control);
  return control;
}

// A multi-line, writable text box wants Enter for a new line.
bool Claims(HWND control, std::uint16_t code) {
  if (!control || code != kEnter) return false;
  Control* entry = FindControlByWindow(control);
  if (!entry || entry->kind != ControlKind::EditBox) return false;
  DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
  return (style & ES_MULTILINE) && !(style & ES_READONLY);
}

bool Eligible(HWND hwnd, const ControlDescription& description) {
  return description.tabStop && hwnd && IsWindow(hwnd) && IsWindowVisible(hwnd) &&
         IsWindowEnabled(hwnd);
}

struct TabList {
  HWND windows[kMaxControls];
  int count = 0;
};

// The controls that take part in Tab navigation, taken from the last in form
// order to the first and kept sorted by tab order, a tie going after.
TabList BuildTabList(HWND main) {
  TabList list;
  Control* window = FindControlByWindow(main);
  LoadedForm* loaded = nullptr;
  FindControlByWindow(main, &loaded);
  if (!window || !loaded) return list;
  const FormDescription& form = MainFormDescription();
  std::int32_t orders[kMaxControls];
  for (std::size_t i = form.controlCount; i-- > 0;) {
    const ControlDescription& description = form.controls[i];
    Control* entry = FindControl(*loaded, description.number);
    if (!entry || !Eligible(entry->hwnd, description)) continue;
    int at = list.count;
    while (at > 0 && orders[at - 1] > description.tabOrder) {
      list.windows[at] = list.windows[at - 1];
      orders[at] = orders[at - 1];
      --at;
    }
    list.windows[at] = entry->hwnd;
    orders[at] = description.tabOrder;
    ++list.count;
  }
  return list;
}

void MoveFocus(HWND main, bool forward) {
  HWND current = FocusedControl(main);
  if (!current) return;
  TabList list = BuildTabList(main);
  if (list.count == 0) return;
  int at = -1;
  for (int i = 0; i < list.count; ++i) {
    if (list.windows[i] == current) at = i;
  }
  int next;
  if (at < 0) {
    next = forward ? 0 : list.count - 1;
  } else {
    next = forward ? (at + 1) % list.count : (at + list.count - 1) % list.count;
  }
  if (list.windows[next] != current) SetFocus(list.windows[next]);
}

}  // namespace

std::uint16_t KeyCode(WPARAM wParam) {
  const int key = static_cast<int>(wParam & 0xFF);
  std::uint16_t code = static_cast<std::uint16_t>(key);
  if (key != VK_CONTROL && IsDown(VK_CONTROL)) code |= kCtrl;
  if (key != VK_SHIFT && IsDown(VK_SHIFT)) code |= kShift;
  if (key != VK_MENU && IsDown(VK_MENU)) code |= kAlt;
  return code;
}

bool KeyboardFilter(HWND main, const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  const std::uint16_t code = KeyCode(msg.wParam);
  HWND control = FocusedControl(main);
  if (Claims(control, code)) return false;
  switch (code) {
    case kTab:
      MoveFocus(main, true);
      return true;
    case kShiftTab:
      MoveFocus(main, false);
      return true;
    case kEsc:
      if (!MainFormDescription().window.escCloses) return false;
      SendMessageA(main, WM_CLOSE, 0, 0);
      return true;
    default:
      // Enter without a box to claim it, Ctrl+Tab, Shift+Enter, Alt combinations and
      // every other key pass unchanged.
      return false;
  }
}

void RememberFocusOnDeactivation(HWND main, WPARAM activateState) {
  if (LOWORD(activateState) != WA_INACTIVE) return;
  HWND focus = GetFocus();
  if (focus && IsChild(main, focus)) g_rememberedFocus = focus;
}

void PlaceFocusOnActivation(HWND main) {
  HWND remembered = g_rememberedFocus;
  g_rememberedFocus = nullptr;
  if (remembered && IsWindow(remembered) && IsChild(main, remembered)) {
    SetFocus(remembered);
    return;
  }
  TabList list = BuildTabList(main);
  if (list.count > 0) SetFocus(list.windows[0]);
}

void ForgetRememberedFocus() { g_rememberedFocus = nullptr; }

void ResetKeyboardForTesting() { g_rememberedFocus = nullptr; }

}  // namespace vantrel
