#include "desktop/keystrokes.h"

namespace vantrel {

BYTE Key::Resolve() const {
  switch (kind_) {
    case Kind::Text: {
      // Only the virtual key counts: the shift state the layout asks for is dropped.
      const SHORT scan = VkKeyScanExA(text_ ? text_[0] : '\0', GetKeyboardLayout(0));
      return static_cast<BYTE>(scan & 0xFF);
    }
    case Kind::Code:
      return static_cast<BYTE>(code_ & 0xFF);
    case Kind::Omitted:
      break;
  }
  return 0;
}

void SimulateKeys(Key key1, Key key2, Key key3) {
  const BYTE codes[3] = {key1.Resolve(), key2.Resolve(), key3.Resolve()};
  for (int i = 0; i < 3; ++i) {
    if (i == 0 || codes[i] != 0) keybd_event(codes[i], 0, 0, 0);
  }
  for (int i = 0; i < 3; ++i) {
    if (i == 0 || codes[i] != 0) keybd_event(codes[i], 0, KEYEVENTF_KEYUP, 0);
  }
}

}  // namespace vantrel
