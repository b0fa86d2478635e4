#include "desktop/window_ops.h"

#include <cstdlib>
#include <cstring>

#include "desktop/fatal.h"

namespace vantrel {
namespace {

constexpr UINT kZOrderOnly = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;

LoadedForm& LoadedOrFatal(FormNumber number) {
  LoadedForm* form = FindForm(number);
  if (!form) FatalError("A window operation named a form that is not loaded.");
  return *form;
}

bool IsLive(const Control* control) { return control && control->hwnd && IsWindow(control->hwnd); }

Control& LiveOrFatal(FormNumber form, ControlNumber number) {
  Control* control = FindControl(LoadedOrFatal(form), number);
  if (!IsLive(control)) FatalError("A window operation named a control that does not exist.");
  return *control;
}

}  // namespace

HWND GetWindowHandle(FormNumber form, ControlNumber control) {
  return LiveOrFatal(form, control).hwnd;
}

void SetAlwaysOnTop(FormNumber form, ControlNumber window, bool on) {
  Control& control = LiveOrFatal(form, window);
  control.alwaysOnTop = on;
  SetWindowPos(control.hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
  if (on) return;
  // Taking one window out of the topmost band must not drop the program's other
  // topmost windows that have no taskbar button of their own.
  for (std::size_t i = 0; LoadedForm* other = FormAt(i); ++i) {
    if (other->number == form) continue;
    Control* otherWindow = other->window();
    if (IsLive(otherWindow) && otherWindow->alwaysOnTop && !otherWindow->showInTaskbar) {
      SetWindowPos(otherWindow->hwnd, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly);
    }
  }
}

void SetVisible(FormNumber form, ControlNumber number, bool visible) {
  Control* control = FindControl(LoadedOrFatal(form), number);
  if (!control) return;
  control->visible = visible;
  if (!IsLive(control)) return;
  ShowWindow(control->hwnd, visible ? SW_SHOW : SW_HIDE);
}

TextCopy ReadContent(FormNumber form, ControlNumber number) {
  HWND box = LiveOrFatal(form, number).hwnd;
  const int reported = GetWindowTextLengthA(box);
  if (reported <= 0) return {};
  const std::size_t size = static_cast<std::size_t>(reported) + 1;
  char* buffer = static_cast<char*>(std::malloc(size));
  if (!buffer) FatalError("Out of memory.");
  const int got = GetWindowTextA(box, buffer, reported + 1);
  // What GetWindowTextA answers is the text's length when the zero sits right
  // behind it; only otherwise is the text measured, which is one more pass over it.
  std::size_t length = 0;
  if (got > 0) {
    const auto copied = static_cast<std::size_t>(got < reported ? got : reported);
    length = buffer[copied] == '\0' ? copied : strnlen(buffer, copied);
  }
  if (length == 0) {
    std::free(buffer);
    return {};
  }
  // The length reported may be larger than the text; the copy is always exactly
  // length + 1 bytes. When the text fills the buffer, the buffer is the copy.
  if (length + 1 == size) return TextCopy(buffer, length);
  char* exact = static_cast<char*>(std::malloc(length + 1));
  if (!exact) {
    std::free(buffer);
    FatalError("Out of memory.");
  }
  std::memcpy(exact, buffer, length);
  exact[length] = '\0';
  std::free(buffer);
  return TextCopy(exact, length);
}

}  // namespace vantrel
