#include "desktop/message_box.h"

namespace vantrel {

MessageText::MessageText(const char* text) : text_(text ? text : "") {}
MessageText::MessageText(std::int32_t value) { SetDecimal(value); }
MessageText::MessageText(std::int64_t value) { SetDecimal(value); }
MessageText::MessageText(std::uint8_t value) { SetDecimal(value); }
// "真" and "假" in code page 936.
MessageText::MessageText(bool value) : text_(value ? "\xD5\xE6" : "\xBC\xD9") {}

void MessageText::SetDecimal(std::int64_t value) {
  char digits[24];
  int n = 0;
  // Work on the magnitude as unsigned so the most negative value has one too.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  char* out = buffer_;
  if (value < 0) *out++ = '-';
  while (n > 0) *out++ = digits[--n];
  *out = '\0';
}

MessageOwner MessageOwner::Form(FormNumber form) {
  MessageOwner owner;
  owner.kind_ = Kind::Form;
  owner.form_ = form;
  return owner;
}

MessageOwner MessageOwner::Handle(std::intptr_t handle) {
  MessageOwner owner;
  owner.kind_ = Kind::Handle;
  owner.handle_ = handle;
  return owner;
}

HWND MessageOwner::hwnd() const {
  switch (kind_) {
    case Kind::Form: {
      LoadedForm* form = FindForm(form_);
      Control* window = form ? form->window() : nullptr;
      return window && window->hwnd && IsWindow(window->hwnd) ? window->hwnd : nullptr;
    }
    case Kind::Handle:
      return reinterpret_cast<HWND>(handle_);
    case Kind::None:
      break;
  }
  return nullptr;
}

UINT MessageBoxStyle(std::int32_t buttons) {
  const UINT value = static_cast<UINT>(buttons);
  if (value & MB_SYSTEMMODAL) return value;
  // Or-ed, not added: a value that is task-modal already stays as it is.
  return value | MB_TASKMODAL;
}

std::int32_t ShowMessageBox(const MessageText& message, std::int32_t buttons, const char* caption,
                            MessageOwner owner) {
  const int pressed = MessageBoxA(owner.hwnd(), message.c_str(),
                                  caption ? caption : kDefaultCaption, MessageBoxStyle(buttons));
  switch (pressed) {
    case IDOK:
      return 0;
    case IDCANCEL:
      return 1;
    case IDABORT:
      return 2;
    case IDRETRY:
      return 3;
    case IDIGNORE:
      return 4;
    case IDYES:
      return 5;
    case IDNO:
      return 6;
    default:
      return 0;
  }
}

}  // namespace vantrel
