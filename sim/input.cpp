// The keyboard of the simulated desktop: key state, hotkeys, key messages, the
// US layout's characters, and injected input.
#include <cstring>

#include "sim/machine.h"

namespace sim::detail {
namespace {

struct OemKey {
  BYTE vk;
  char normal;
  char shifted;
  int control;  // the control character Ctrl makes, or -1
};

constexpr OemKey kOemKeys[] = {
    {VK_OEM_1, ';', ':', -1},       {VK_OEM_PLUS, '=', '+', -1},   {VK_OEM_COMMA, ',', '<', -1},
    {VK_OEM_MINUS, '-', '_', 0x1F}, {VK_OEM_PERIOD, '.', '>', -1}, {VK_OEM_2, '/', '?', -1},
    {VK_OEM_3, '`', '~', -1},       {VK_OEM_4, '[', '{', 0x1B},    {VK_OEM_5, '\\', '|', 0x1C},
    {VK_OEM_6, ']', '}', 0x1D},     {VK_OEM_7, '\'', '"', -1},
};

constexpr char kShiftedDigits[] = ")!@#$%^&*(";

bool down(const std::array<BYTE, 256>& keys, int vk) {
  return (keys[static_cast<std::size_t>(vk)] & 0x80) != 0;
}

// Scan codes of set 1 for the keys of a US keyboard.
struct ScanCode {
  BYTE vk;
  BYTE scan;
};
constexpr ScanCode kScanCodes[] = {
    {VK_ESCAPE, 0x01},    {'1', 0x02},           {'2', 0x03},        {'3', 0x04},
    {'4', 0x05},          {'5', 0x06},           {'6', 0x07},        {'7', 0x08},
    {'8', 0x09},          {'9', 0x0A},           {'0', 0x0B},        {VK_OEM_MINUS, 0x0C},
    {VK_OEM_PLUS, 0x0D},  {VK_BACK, 0x0E},       {VK_TAB, 0x0F},     {'Q', 0x10},
    {'W', 0x11},          {'E', 0x12},           {'R', 0x13},        {'T', 0x14},
    {'Y', 0x15},          {'U', 0x16},           {'I', 0x17},        {'O', 0x18},
    {'P', 0x19},          {VK_OEM_4, 0x1A},      {VK_OEM_6, 0x1B},   {VK_RETURN, 0x1C},
    {VK_CONTROL, 0x1D},   {VK_LCONTROL, 0x1D},   {'A', 0x1E},        {'S', 0x1F},
    {'D', 0x20},          {'F', 0x21},           {'G', 0x22},        {'H', 0x23},
    {'J', 0x24},          {'K', 0x25},           {'L', 0x26},        {VK_OEM_1, 0x27},
    {VK_OEM_7, 0x28},     {VK_OEM_3, 0x29},      {VK_SHIFT, 0x2A},   {VK_LSHIFT, 0x2A},
    {VK_OEM_5, 0x2B},     {'Z', 0x2C},           {'X', 0x2D},        {'C', 0x2E},
    {'V', 0x2F},          {'B', 0x30},           {'N', 0x31},        {'M', 0x32},
    {VK_OEM_COMMA, 0x33}, {VK_OEM_PERIOD, 0x34}, {VK_OEM_2, 0x35},   {VK_RSHIFT, 0x36},
    {VK_MULTIPLY, 0x37},  {VK_MENU, 0x38},       {VK_LMENU, 0x38},   {VK_SPACE, 0x39},
    {VK_CAPITAL, 0x3A},   {VK_F1, 0x3B},         {VK_F2, 0x3C},      {VK_F3, 0x3D},
    {VK_F4, 0x3E},        {VK_F5, 0x3F},         {VK_F6, 0x40},      {VK_F7, 0x41},
    {VK_F8, 0x42},        {VK_F9, 0x43},         {VK_F10, 0x44},     {VK_NUMLOCK, 0x45},
    {VK_SCROLL, 0x46},    {VK_NUMPAD7, 0x47},    {VK_NUMPAD8, 0x48}, {VK_NUMPAD9, 0x49},
    {VK_SUBTRACT, 0x4A},  {VK_NUMPAD4, 0x4B},    {VK_NUMPAD5, 0x4C}, {VK_NUMPAD6, 0x4D},
    {VK_ADD, 0x4E},       {VK_NUMPAD1, 0x4F},    {VK_NUMPAD2, 0x50}, {VK_NUMPAD3, 0x51},
    {VK_NUMPAD0, 0x52},   {VK_DECIMAL, 0x53},    {VK_F11, 0x57},     {VK_F12, 0x58},
};

// Left and right modifier keys report as the generic key.
BYTE generic(BYTE vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
      return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
      return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
      return VK_MENU;
    default:
      return vk;
  }
}

BYTE leftOf(BYTE vk) {
  switch (vk) {
    case VK_SHIFT:
      return VK_LSHIFT;
    case VK_CONTROL:
      return VK_LCONTROL;
    case VK_MENU:
      return VK_LMENU;
    default:
      return 0;
  }
}

void setKey(std::array<BYTE, 256>& keys, BYTE vk, bool isDown) {
  BYTE& k = keys[vk];
  if (isDown) {
    if (!(k & 0x80)) k ^= 0x01;  // each press toggles
    k |= 0x80;
  } else {
    k &= static_cast<BYTE>(~0x80);
  }
}

void updatePhysical(BYTE vk, bool up) {
  auto& keys = g->physical;
  const BYTE gen = generic(vk);
  if (gen != vk) {
    setKey(keys, vk, !up);
    const BYTE l = leftOf(gen);
    const BYTE r = static_cast<BYTE>(l + 1);
    setKey(keys, gen, down(keys, l) || down(keys, r));
  } else if (const BYTE l = leftOf(vk)) {
    setKey(keys, vk, !up);
    setKey(keys, l, !up);
    if (up) setKey(keys, static_cast<BYTE>(l + 1), false);
  } else {
    setKey(keys, vk, !up);
  }
}

}  // namespace

UINT currentModifiers(const std::array<BYTE, 256>& keys) {
  UINT mods = 0;
  if (down(keys, VK_MENU)) mods |= MOD_ALT;
  if (down(keys, VK_CONTROL)) mods |= MOD_CONTROL;
  if (down(keys, VK_SHIFT)) mods |= MOD_SHIFT;
  if (down(keys, VK_LWIN) || down(keys, VK_RWIN)) mods |= MOD_WIN;
  return mods;
}

UINT scanCodeOf(UINT vk) {
  for (const ScanCode& s : kScanCodes) {
    if (s.vk == vk) return s.scan;
  }
  return 0;
}

int charFor(BYTE vk, const std::array<BYTE, 256>& keys) {
  const bool shift = down(keys, VK_SHIFT);
  const bool ctrl = down(keys, VK_CONTROL);
  const bool alt = down(keys, VK_MENU);
  const bool caps = (keys[VK_CAPITAL] & 0x01) != 0;
  if (ctrl && alt) return -1;  // no AltGr characters on a US layout
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return vk - 'A' + 1;
    return (shift != caps) ? vk : vk + ('a' - 'A');
  }
  if (vk >= '0' && vk <= '9') {
    if (ctrl) return -1;
    return shift ? kShiftedDigits[vk - '0'] : vk;
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return '0' + (vk - VK_NUMPAD0);
  switch (vk) {
    case VK_SPACE:
      return ' ';
    case VK_RETURN:
      return ctrl ? '\n' : '\r';
    case VK_TAB:
      return ctrl ? -1 : '\t';
    case VK_ESCAPE:
      return 0x1B;
    case VK_BACK:
      return ctrl ? 0x7F : 0x08;
    case VK_MULTIPLY:
      return '*';
    case VK_ADD:
      return '+';
    case VK_SUBTRACT:
      return '-';
    case VK_DECIMAL:
      return '.';
    case VK_DIVIDE:
      return '/';
    default:
      break;
  }
  for (const OemKey& k : kOemKeys) {
    if (k.vk == vk) {
      if (ctrl) return k.control;
      return static_cast<unsigned char>(shift ? k.shifted : k.normal);
    }
  }
  return -1;
}

SHORT vkScan(unsigned char ch) {
  if (ch >= 'a' && ch <= 'z') return static_cast<SHORT>(ch - 'a' + 'A');
  if (ch >= 'A' && ch <= 'Z') return static_cast<SHORT>(0x100 | ch);
  if (ch >= '0' && ch <= '9') return static_cast<SHORT>(ch);
  for (int d = 0; d < 10; ++d) {
    if (static_cast<unsigned char>(kShiftedDigits[d]) == ch)
      return static_cast<SHORT>(0x100 | ('0' + d));
  }
  for (const OemKey& k : kOemKeys) {
    if (static_cast<unsigned char>(k.normal) == ch) return k.vk;
    if (static_cast<unsigned char>(k.shifted) == ch) return static_cast<SHORT>(0x100 | k.vk);
  }
  switch (ch) {
    case ' ':
      return VK_SPACE;
    case '\r':
      return VK_RETURN;
    case '\n':
      return 0x200 | VK_RETURN;
    case '\t':
      return VK_TAB;
    case 0x08:
      return VK_BACK;
    case 0x1B:
      return VK_ESCAPE;
    case 0x7F:
      return 0x200 | VK_BACK;
    default:
      break;
  }
  if (ch >= 1 && ch <= 26) return static_cast<SHORT>(0x200 | (ch - 1 + 'A'));
  return -1;
}

void keyEvent(BYTE vk, bool up, bool injected) {
  Machine& m = *g;
  (void)injected;
  const BYTE gen = generic(vk);
  const bool wasDown = down(m.physical, gen);
  const auto before = m.physical;
  updatePhysical(vk, up);
  if (!up) {
    UINT mods = currentModifiers(m.physical);
    if (gen == VK_SHIFT) mods &= ~static_cast<UINT>(MOD_SHIFT);
    if (gen == VK_CONTROL) mods &= ~static_cast<UINT>(MOD_CONTROL);
    if (gen == VK_MENU) mods &= ~static_cast<UINT>(MOD_ALT);
    if (gen == VK_LWIN || gen == VK_RWIN) mods &= ~static_cast<UINT>(MOD_WIN);
    for (const Hotkey& k : m.hotkeys) {
      if ((k.modifiers & ~static_cast<UINT>(MOD_NOREPEAT)) != mods || k.vk != gen) continue;
      if (wasDown && (k.modifiers & MOD_NOREPEAT)) return;  // held down: no repeat
      if (k.otherProgram) {
        m.otherProgramHotkeys.push_back(InjectedKey{gen, mods});
        m.otherProgramKeys.push_back(InjectedKey{gen, 0});
        return;
      }
      // The hotkey's own key does not count as pressed for the program.
      auto keys = m.physical;
      keys[gen] = before[gen];
      Posted p;
      p.msg = MSG{k.hwnd,  WM_HOTKEY,  static_cast<WPARAM>(k.id), MAKELPARAM(mods, gen),
                  m.clock, POINT{0, 0}};
      p.input = true;
      p.keys = keys;
      m.queue.push_back(p);
      return;
    }
  }
  Window* fg = live(m.foreground);
  if (!fg) return;
  if (!fg->ours) {
    m.otherProgramKeys.push_back(InjectedKey{vk, up ? static_cast<DWORD>(KEYEVENTF_KEYUP) : 0u});
    return;
  }
  const bool alt = down(m.physical, VK_MENU) || (up && gen == VK_MENU);
  const bool ctrl = down(m.physical, VK_CONTROL);
  HWND target = live(m.focus) ? m.focus : fg->handle;
  bool sys = (alt && !ctrl) || gen == VK_F10 || !live(m.focus);
  UINT message = up ? (sys ? WM_SYSKEYUP : WM_KEYUP) : (sys ? WM_SYSKEYDOWN : WM_KEYDOWN);
  LPARAM lParam = 1 | (static_cast<LPARAM>(scanCodeOf(gen)) << 16);
  if (alt && !ctrl) lParam |= static_cast<LPARAM>(1) << 29;
  if (up || wasDown) lParam |= static_cast<LPARAM>(1) << 30;
  if (up) lParam |= static_cast<LPARAM>(1) << 31;
  postInput(target, message, gen, lParam, m.physical);
}

}  // namespace sim::detail

// ===========================================================================
// The Win32 face

using namespace sim::detail;

SHORT WINAPI GetKeyState(int vk) {
  log("GetKeyState", {vk});
  const Machine& m = M();
  if (vk < 0 || vk > 255) return 0;
  const BYTE k = m.threadKeys[static_cast<std::size_t>(vk)];
  return static_cast<SHORT>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

SHORT WINAPI GetAsyncKeyState(int vk) {
  log("GetAsyncKeyState", {vk});
  const Machine& m = M();
  if (vk < 0 || vk > 255) return 0;
  return (m.physical[static_cast<std::size_t>(vk)] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

void WINAPI keybd_event(BYTE vk, BYTE scan, DWORD flags, ULONG_PTR extraInfo) {
  log("keybd_event", {vk, scan, static_cast<intptr_t>(flags), static_cast<intptr_t>(extraInfo)});
  Machine& m = M();
  m.injected.push_back(sim::InjectedKey{vk, flags});
  if (flags & KEYEVENTF_UNICODE) return;  // not modelled: the program sends virtual keys
  if (vk == 0) return;
  keyEvent(vk, (flags & KEYEVENTF_KEYUP) != 0, true);
}

HKL WINAPI GetKeyboardLayout(DWORD threadId) {
  log("GetKeyboardLayout", {static_cast<intptr_t>(threadId)});
  M();
  return reinterpret_cast<HKL>(kKeyboardLayout);
}

SHORT WINAPI VkKeyScanExA(CHAR ch, HKL layout) {
  log("VkKeyScanExA", {static_cast<unsigned char>(ch), H(layout)});
  M();
  return vkScan(static_cast<unsigned char>(ch));
}

SHORT WINAPI VkKeyScanA(CHAR ch) {
  log("VkKeyScanA", {static_cast<unsigned char>(ch)});
  M();
  return vkScan(static_cast<unsigned char>(ch));
}

UINT WINAPI MapVirtualKeyA(UINT code, UINT mapType) {
  log("MapVirtualKeyA", {code, mapType});
  M();
  switch (mapType) {
    case MAPVK_VK_TO_VSC:
      return scanCodeOf(code);
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX:
      for (const auto& s : {VK_ESCAPE, VK_BACK, VK_TAB, VK_RETURN, VK_SPACE}) {
        if (scanCodeOf(static_cast<UINT>(s)) == code) return static_cast<UINT>(s);
      }
      for (UINT vk = 1; vk < 256; ++vk) {
        if (scanCodeOf(vk) == code && code != 0) return vk;
      }
      return 0;
    case MAPVK_VK_TO_CHAR: {
      std::array<BYTE, 256> none{};
      const int c = charFor(static_cast<BYTE>(code), none);
      if (c < 0) return 0;
      return (code >= 'A' && code <= 'Z') ? code : static_cast<UINT>(c);
    }
    default:
      return 0;
  }
}

BOOL WINAPI RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk) {
  log("RegisterHotKey", {H(hwnd), id, modifiers, vk});
  Machine& m = M();
  if (hwnd) {
    Window* w = live(hwnd);
    if (!w) {
      m.lastError = ERROR_INVALID_WINDOW_HANDLE;
      return FALSE;
    }
    if (!w->ours) {
      m.lastError = ERROR_WINDOW_OF_OTHER_THREAD;
      return FALSE;
    }
  }
  const UINT mods = modifiers & ~static_cast<UINT>(MOD_NOREPEAT);
  for (const Hotkey& k : m.hotkeys) {
    if ((k.modifiers & ~static_cast<UINT>(MOD_NOREPEAT)) == mods && k.vk == vk) {
      m.lastError = ERROR_HOTKEY_ALREADY_REGISTERED;
      return FALSE;
    }
  }
  m.hotkeys.push_back(Hotkey{hwnd, id, modifiers, vk, false});
  return TRUE;
}

BOOL WINAPI UnregisterHotKey(HWND hwnd, int id) {
  log("UnregisterHotKey", {H(hwnd), id});
  Machine& m = M();
  if (hwnd && !live(hwnd)) {
    m.lastError = ERROR_INVALID_WINDOW_HANDLE;
    return FALSE;
  }
  // With the same window and id registered twice, the older one goes first.
  for (auto it = m.hotkeys.begin(); it != m.hotkeys.end(); ++it) {
    if (!it->otherProgram && it->hwnd == hwnd && it->id == id) {
      m.hotkeys.erase(it);
      return TRUE;
    }
  }
  m.lastError = ERROR_HOTKEY_NOT_REGISTERED;
  return FALSE;
}
