// A standard message box: a text, buttons, a caption; answers which button.
#pragma once

#include <cstdint>

#include "desktop/controls.h"
#include "desktop/win32.h"

namespace vantrel {

// What a message box shows: a text as it is, or a value in its text form.
class MessageText {
 public:
  MessageText(const char* text);    // NOLINT: a text is the usual message
  MessageText(std::int32_t value);  // NOLINT
  MessageText(std::int64_t value);  // NOLINT
  MessageText(std::uint8_t value);  // NOLINT: a byte shows unsigned
  MessageText(bool value);          // NOLINT: "真" or "假"
  const char* c_str() const { return text_ ? text_ : buffer_; }

 private:
  void SetDecimal(std::int64_t value);
  const char* text_ = nullptr;
  char buffer_[24] = {};
};

// The owner of a box: none, one of the program's windows (by form; no owner when
// that window is gone), or a raw window handle.
class MessageOwner {
 public:
  static MessageOwner None() { return MessageOwner(); }
  static MessageOwner Form(FormNumber form);
  static MessageOwner Handle(std::intptr_t handle);
  HWND hwnd() const;

 private:
  enum class Kind : std::uint8_t { None, Form, Handle };
  Kind kind_ = Kind::None;
  FormNumber form_ = 0;
  std::intptr_t handle_ = 0;
};

// "信息：" in code page 936.
inline constexpr char kDefaultCaption[] = "\xD0\xC5\xCF\xA2\xA3\xBA";

// The flags passed to MessageBoxA for a button value: task-modal unless system-modal.
UINT MessageBoxStyle(std::int32_t buttons);
// Shows the box and waits; answers 0 OK, 1 Cancel, 2 Abort, 3 Retry, 4 Ignore, 5 Yes,
// 6 No, and 0 for anything else.
std::int32_t ShowMessageBox(const MessageText& message, std::int32_t buttons,
                            const char* caption = nullptr,
                            MessageOwner owner = MessageOwner::None());

}  // namespace vantrel
