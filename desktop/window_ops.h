// Window and control operations by form and control number.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <utility>

#include "desktop/controls.h"
#include "desktop/win32.h"

namespace vantrel {

// A text read out of a text box: its bytes and a terminating zero in a block of
// exactly length + 1 bytes from the C heap, owned here and released when this goes
// away. (The C heap, not operator new: the exe needs none of the C++ runtime's
// allocation machinery, which would bring its exception support along.)
class TextCopy {
 public:
  TextCopy() = default;
  TextCopy(char* bytes, std::size_t length) : bytes_(bytes), length_(length) {}
  TextCopy(TextCopy&& other) noexcept
      : bytes_(std::exchange(other.bytes_, nullptr)), length_(std::exchange(other.length_, 0)) {}
  TextCopy& operator=(TextCopy&& other) noexcept {
    if (this != &other) {
      Release();
      bytes_ = std::exchange(other.bytes_, nullptr);
      length_ = std::exchange(other.length_, 0);
    }
    return *this;
  }
  TextCopy(const TextCopy&) = delete;
  TextCopy& operator=(const TextCopy&) = delete;
  ~TextCopy() { Release(); }

  // Null for an empty box.
  const char* get() const { return bytes_; }
  std::size_t length() const { return length_; }
  explicit operator bool() const { return bytes_ != nullptr; }
  void Release() {
    std::free(bytes_);
    bytes_ = nullptr;
    length_ = 0;
  }

 private:
  char* bytes_ = nullptr;
  std::size_t length_ = 0;
};

// The window handle of a live control; a fatal error when there is none.
HWND GetWindowHandle(FormNumber form, ControlNumber control);
// Makes the form's window topmost (or not) without showing, moving or activating it.
void SetAlwaysOnTop(FormNumber form, ControlNumber window, bool on);
// Records the visibility and hides or shows the control if it is live.
void SetVisible(FormNumber form, ControlNumber control, bool visible);
// The text of a text box, or an empty copy when the box is empty.
TextCopy ReadContent(FormNumber form, ControlNumber control);

}  // namespace vantrel
