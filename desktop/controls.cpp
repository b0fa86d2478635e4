#include "desktop/controls.h"

#include "desktop/fatal.h"

namespace vantrel {
namespace {

constexpr std::size_t kMaxForms = 4;

LoadedForm g_forms[kMaxForms];
std::size_t g_formCount = 0;
int g_suppression = 0;

}  // namespace

LoadedForm* LoadForm(FormNumber form, const EventBinding* bindings, std::size_t bindingCount) {
  if (FindForm(form) || g_formCount == kMaxForms) return nullptr;
  LoadedForm& entry = g_forms[g_formCount++];
  entry = LoadedForm{};
  entry.number = form;
  entry.bindings = bindings;
  entry.bindingCount = bindingCount;
  return &entry;
}

void UnloadForm(FormNumber form) {
  for (std::size_t i = 0; i < g_formCount; ++i) {
    if (g_forms[i].number != form) continue;
    for (std::size_t c = 0; c < g_forms[i].controlCount; ++c) {
      if (g_forms[i].controls[c].brush) DeleteObject(g_forms[i].controls[c].brush);
    }
    for (std::size_t j = i + 1; j < g_formCount; ++j) g_forms[j - 1] = g_forms[j];
    g_forms[--g_formCount] = LoadedForm{};
    return;
  }
}

Control* AddControl(LoadedForm& form, ControlNumber number, ControlKind kind) {
  if (form.controlCount == kMaxControls) return nullptr;
  Control& control = form.controls[form.controlCount++];
  control = Control{};
  control.number = number;
  control.kind = kind;
  return &control;
}

LoadedForm* FindForm(FormNumber form) {
  for (std::size_t i = 0; i < g_formCount; ++i) {
    if (g_forms[i].number == form) return &g_forms[i];
  }
  return nullptr;
}

Control* FindControl(LoadedForm& form, ControlNumber number) {
  for (std::size_t c = 0; c < form.controlCount; ++c) {
    if (form.controls[c].number == number) return &form.controls[c];
  }
  return nullptr;
}

Control* FindControlByWindow(HWND hwnd, LoadedForm** owner) {
  if (!hwnd) return nullptr;
  for (std::size_t i = 0; i < g_formCount; ++i) {
    for (std::size_t c = 0; c < g_forms[i].controlCount; ++c) {
      if (g_forms[i].controls[c].hwnd == hwnd) {
        if (owner) *owner = &g_forms[i];
        return &g_forms[i].controls[c];
      }
    }
  }
  return nullptr;
}

bool AnyFormLoaded() { return g_formCount != 0; }

LoadedForm* FormAt(std::size_t index) { return index < g_formCount ? &g_forms[index] : nullptr; }

bool RaiseEvent(EventRecord& record) {
  if (g_suppression > 0) return false;
  LoadedForm* form = FindForm(record.form);
  if (!form) FatalError("An event was raised for a form that is not loaded.");
  if (!FindControl(*form, record.control)) {
    FatalError("An event was raised for a control that the form does not hold.");
  }
  EventHandler handler = nullptr;
  bool bound = false;
  for (std::size_t i = 0; i < form->bindingCount && !bound; ++i) {
    const EventBinding& binding = form->bindings[i];
    if (binding.control == record.control && binding.event == record.event) {
      handler = binding.handler;
      bound = true;
    }
  }
  if (!handler) return false;
  // The handler may open a modal loop in which other handlers run; nothing here
  // is marked busy, so the form's lists must not be touched after this call.
  handler(record);
  return true;
}

void SuppressEvents() { ++g_suppression; }
void AllowEvents() {
  if (g_suppression > 0) --g_suppression;
}
bool EventsSuppressed() { return g_suppression > 0; }

LRESULT RaiseFeedbackEvent(FormNumber form, ControlNumber control, WPARAM wParam, LPARAM lParam) {
  EventRecord record;
  record.form = form;
  record.control = control;
  record.event = kFeedbackEvent;
  record.argCount = 2;
  // Both arguments are 32-bit values; a handler sees 0xFFFFFFFF as -1.
  record.args[0] = static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam));
  record.args[1] = static_cast<std::int32_t>(static_cast<std::uint32_t>(lParam));
  if (RaiseEvent(record) && record.hasResult) return record.result;
  return 0;
}

void ResetControlsForTesting() {
  for (auto& form : g_forms) form = LoadedForm{};
  g_formCount = 0;
  g_suppression = 0;
}

}  // namespace vantrel
