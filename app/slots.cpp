#include "app/slots.h"

#include "app/form.h"
#include "desktop/clipboard.h"
#include "desktop/hotkeys.h"
#include "desktop/keystrokes.h"
#include "desktop/message_box.h"
#include "desktop/window_ops.h"

namespace vantrel {
namespace {

// "注册Fn失败" ("registering Fn failed"), one stored text per key, in code page 936.
#define VANTREL_FAILED(key) "\xD7\xA2\xB2\xE1" key "\xCA\xA7\xB0\xDC"

// The right column runs from 编辑框10 at the top to 编辑框6 at the bottom, so F6
// goes with 编辑框10 and F10 with 编辑框6.
constexpr Slot kSlots[kSlotCount] = {
    {"F1", VK_F1, kEdit1, VANTREL_FAILED("F1")}, {"F2", VK_F2, kEdit2, VANTREL_FAILED("F2")},
    {"F3", VK_F3, kEdit3, VANTREL_FAILED("F3")}, {"F4", VK_F4, kEdit4, VANTREL_FAILED("F4")},
    {"F5", VK_F5, kEdit5, VANTREL_FAILED("F5")}, {"F6", VK_F6, kEdit10, VANTREL_FAILED("F6")},
    {"F7", VK_F7, kEdit9, VANTREL_FAILED("F7")}, {"F8", VK_F8, kEdit8, VANTREL_FAILED("F8")},
    {"F9", VK_F9, kEdit7, VANTREL_FAILED("F9")}, {"F10", VK_F10, kEdit6, VANTREL_FAILED("F10")},
};
#undef VANTREL_FAILED

std::int32_t g_hotkeys[kSlotCount] = {};

}  // namespace

const Slot& SlotAt(int index) { return kSlots[index]; }
std::int32_t SlotHotkey(int index) { return g_hotkeys[index]; }

void SlotHotkeySetup(EventRecord& /*record*/) {
  // Topmost before any key is tried, so the window is topmost whatever the keys do.
  SetAlwaysOnTop(kMainForm, kMainWindow, true);
  for (int i = 0; i < kSlotCount; ++i) {
    HWND main = GetWindowHandle(kMainForm, kMainWindow);
    HWND receiver = GetWindowHandle(kMainForm, kLabel1);
    g_hotkeys[i] = RegisterHotkey(main, receiver, 0, kSlots[i].virtualKey);
  }
  // Every key has been tried before the first refusal is shown.
  for (int i = 0; i < kSlotCount; ++i) {
    if (g_hotkeys[i] != 0) continue;
    ShowMessageBox(kSlots[i].failure, 0);
    SetVisible(kMainForm, kSlots[i].textBox, false);
  }
}

void PasteAction(EventRecord& record) {
  const std::int32_t id = record.args[0];
  // 0 marks a refused key and is never an identifier: it must not paste a hidden slot.
  if (id == 0) return;
  int slot = -1;
  for (int i = 0; i < kSlotCount && slot < 0; ++i) {
    if (g_hotkeys[i] == id) slot = i;
  }
  if (slot < 0) return;
  bool written;
  {
    TextCopy text = ReadContent(kMainForm, kSlots[slot].textBox);
    written = text ? SetClipboardText(text.get(), text.length()) : SetClipboardText("", 0);
  }
  // Ctrl+V only when the clipboard holds this slot's text: otherwise the focused
  // application would paste whatever was there before, another program's data.
  if (written) SimulateKeys(VK_CONTROL, 'V');
}

void ResetSlotsForTesting() {
  for (auto& id : g_hotkeys) id = 0;
}

}  // namespace vantrel
