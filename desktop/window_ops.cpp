#include "desktop/window_ops.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "desktop/fatal.h"

#ifdef _WIN32
// The text copies are the only free-store blocks the program makes. The C++
// runtime's own nothrow operator new[] is built with exceptions: it would bring
// the unwinder, the terminate handler and a demangler with its printf into the
// exe, most of its code. A text copy needs nothing but the C heap.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size ? size : 1);
}
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
#endif

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
  char* buffer = new (std::nothrow) char[size];
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
    delete[] buffer;
    return {};
  }
  // The length reported may be larger than the text; the copy is always exactly
  // length + 1 bytes. When the text fills the buffer, the buffer is the copy.
  if (length + 1 == size) return TextCopy(buffer, length);
  char* exact = new (std::nothrow) char[length + 1];
  if (!exact) {
    delete[] buffer;
    FatalError("Out of memory.");
  }
  std::memcpy(exact, buffer, length);
  exact[length] = '\0';
  delete[] buffer;
  return TextCopy(exact, length);
}

}  // namespace vantrel
