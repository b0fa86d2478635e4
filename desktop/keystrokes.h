// Synthesised key chords: every key goes down in order, then every key comes up
// in the same order.
#pragma once

#include <cstdint>

#include "desktop/win32.h"

namespace vantrel {

// A key given as a virtual-key code (its low byte counts), as a text (its first
// character, looked up in the thread's keyboard layout), or left out.
class Key {
 public:
  Key() = default;                                           // left out
  Key(int code) : kind_(Kind::Code), code_(code) {}          // NOLINT
  Key(const char* text) : kind_(Kind::Text), text_(text) {}  // NOLINT
  // The virtual-key code; 0 for a key left out.
  BYTE Resolve() const;

 private:
  enum class Kind : std::uint8_t { Omitted, Code, Text };
  Kind kind_ = Kind::Omitted;
  int code_ = 0;
  const char* text_ = nullptr;
};

// Key 1 is always sent; a left-out key, or a key 2 or 3 whose code is 0, is not.
void SimulateKeys(Key key1, Key key2 = Key(), Key key3 = Key());

}  // namespace vantrel
