// The ten slots F1-F10 and the two handlers that use them: the slot hotkey
// setup (the main window's created event) and the paste action (标签1's
// feedback event).
#pragma once

#include <cstdint>

#include "desktop/controls.h"
#include "desktop/win32.h"

namespace vantrel {

struct Slot {
  const char* key;        // "F1"
  BYTE virtualKey;        // VK_F1
  ControlNumber textBox;  // the box whose text the key pastes
  const char* failure;    // shown when the key cannot be registered (code page 936 bytes)
};

inline constexpr int kSlotCount = 10;

const Slot& SlotAt(int index);
// The hotkey identifier the slot holds: 0 until registered, 0 when refused.
std::int32_t SlotHotkey(int index);

// Created-event handler of the main window.
void SlotHotkeySetup(EventRecord& record);
// Feedback-event handler of 标签1: args[0] is the hotkey identifier.
void PasteAction(EventRecord& record);

void ResetSlotsForTesting();

}  // namespace vantrel
