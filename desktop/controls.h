// The control registry and the event mechanism.
//
// Every loaded form is listed here with its controls by control number, so that
// handlers and services can name a window or a control by number instead of by
// handle. Raise event runs the handler a form binds to a control's event, at
// once and on the GUI thread, unless events are suppressed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "desktop/win32.h"

namespace vantrel {

using FormNumber = std::uint32_t;
using ControlNumber = std::uint32_t;

enum class ControlKind : std::uint8_t { Window, EditBox, Label };

// What the raiser fills in for one raising; the handler may give a result.
struct EventRecord {
  FormNumber form = 0;
  ControlNumber control = 0;
  std::int32_t event = 0;
  std::int32_t argCount = 0;
  std::int32_t args[2] = {0, 0};
  bool hasResult = false;
  std::int32_t result = 0;
};

using EventHandler = void (*)(EventRecord& record);

struct EventBinding {
  ControlNumber control;
  std::int32_t event;
  EventHandler handler;
};

// Event numbers of the kinds.
inline constexpr std::int32_t kCreatedEvent = 0;   // the window, once it and its controls exist
inline constexpr std::int32_t kFeedbackEvent = 0;  // a Label, on kFeedbackMessage
// A Label turns this message into its feedback event (wParam, lParam as the two arguments).
inline constexpr UINT kFeedbackMessage = 0x8075;

struct Control {
  ControlNumber number = 0;
  ControlKind kind = ControlKind::Window;
  HWND hwnd = nullptr;
  bool visible = false;        // the recorded visibility
  bool alwaysOnTop = false;    // the window only
  bool showInTaskbar = false;  // the window only
  HBRUSH brush = nullptr;      // a text box's background, owned by the registry
};

inline constexpr std::size_t kMaxControls = 16;

struct LoadedForm {
  FormNumber number = 0;
  const EventBinding* bindings = nullptr;
  std::size_t bindingCount = 0;
  Control controls[kMaxControls];
  std::size_t controlCount = 0;

  Control* window() { return controlCount ? &controls[0] : nullptr; }
};

// Adds a form whose window is about to be built; the window itself is its first control.
// Null when the registry is full or the form is loaded already.
LoadedForm* LoadForm(FormNumber form, const EventBinding* bindings, std::size_t bindingCount);
// Forgets a form and deletes what its controls own. Its windows must be gone already.
void UnloadForm(FormNumber form);
// Null when the form holds no more room.
Control* AddControl(LoadedForm& form, ControlNumber number, ControlKind kind);

LoadedForm* FindForm(FormNumber form);
Control* FindControl(LoadedForm& form, ControlNumber number);
// The registry entry of a window, with the form that holds it.
Control* FindControlByWindow(HWND hwnd, LoadedForm** form = nullptr);
bool AnyFormLoaded();
// The loaded forms in the order they were loaded; null past the last.
LoadedForm* FormAt(std::size_t index);

// Runs the handler bound to the record's event. False when none ran.
bool RaiseEvent(EventRecord& record);

// While the count is above zero no handler runs.
void SuppressEvents();
void AllowEvents();
bool EventsSuppressed();

// A Label's answer to kFeedbackMessage: the handler's result, or 0.
LRESULT RaiseFeedbackEvent(FormNumber form, ControlNumber control, WPARAM wParam, LPARAM lParam);

void ResetControlsForTesting();

}  // namespace vantrel
