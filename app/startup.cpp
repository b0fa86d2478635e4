#include "app/startup.h"

#include "app/form.h"
#include "app/keyboard.h"
#include "app/slots.h"
#include "desktop/hotkeys.h"
#include "desktop/win32.h"

namespace vantrel {
namespace {

constexpr int kMaxCleanupRoutines = 8;
// GetMessageA fails once when another program sends us what cannot be carried
// between processes; only a long unbroken run of failures means the queue is gone.
constexpr int kMaxMessageFailures = 1000;

CleanupRoutine g_cleanup[kMaxCleanupRoutines];
int g_cleanupCount = 0;
bool g_loopStarted = false;
bool g_formPrepared = false;
int g_quitCode = 0;

void GlobalInitialiser() {}
void Cleanup() {}

void PrepareForm() { g_formPrepared = true; }

// Dispatches what is waiting; a waiting WM_QUIT stays for the message loop.
void DispatchWaitingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Offers the message to its window and then to each ancestor; the first window
// with a pre-translation of its own that claims it consumes it.
bool PreTranslate(const MSG& msg) {
  for (HWND hwnd = msg.hwnd; hwnd; hwnd = GetParent(hwnd)) {
    Control* control = FindControlByWindow(hwnd);
    if (control && control->kind == ControlKind::Window && KeyboardFilter(hwnd, msg)) return true;
  }
  return false;
}

void AppendDecimal(char*& out, const char* end, unsigned value) {
  char digits[12];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value && n < 12);
  while (n > 0 && out < end) *out++ = digits[--n];
}

void Append(char*& out, const char* end, const char* text) {
  while (*text && out < end) *out++ = *text++;
}

}  // namespace

void RegisterCleanupRoutine(CleanupRoutine routine) {
  for (int i = 0; i < g_cleanupCount; ++i) {
    if (g_cleanup[i] == routine) return;
  }
  if (g_cleanupCount < kMaxCleanupRoutines) g_cleanup[g_cleanupCount++] = routine;
}

void LoadWindow(FormNumber number) {
  const FormDescription& form = MainFormDescription();
  if (!g_formPrepared || number != form.number) FatalError("The form to load does not exist.");

  DispatchWaitingMessages();
  SuppressEvents();
  HWND main = BuildMainWindow(form);
  if (!main) FatalError("The main window or one of its controls could not be created.");
  LoadedForm* loaded = FindForm(form.number);
  // Children were created from the last in form order to the first; they are shown
  // in that same order, without activating anything.
  for (std::size_t n = 0; n < form.controlCount; ++n) {
    const ControlDescription& description = form.controls[form.controlCount - 1 - n];
    HWND child = FindControl(*loaded, description.number)->hwnd;
    ShowWindow(child, description.visible ? SW_SHOWNA : SW_HIDE);
  }
  DispatchWaitingMessages();
  AllowEvents();

  EventRecord created;
  created.form = form.number;
  created.control = form.window.number;
  created.event = kCreatedEvent;
  RaiseEvent(created);

  // The created event's handler may have closed the window.
  if (!IsWindow(main)) return;
  if (form.window.visible) ShowWindow(main, SW_SHOW);
}

void MessageLoop() {
  g_loopStarted = true;
  if (!AnyFormLoaded()) return;
  int failures = 0;
  for (;;) {
    MSG msg;
    // The program has no idle work, so the loop waits in GetMessageA.
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      g_quitCode = static_cast<int>(msg.wParam);
      return;
    }
    if (got == -1) {
      // Not a message, and not the end: the texts live on.
      if (++failures >= kMaxMessageFailures) FatalError("The message queue failed.");
      continue;
    }
    failures = 0;
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void WindowGone() {
  if (!AnyFormLoaded() && g_loopStarted) PostQuitMessage(0);
}

int StartRoutine() {
  PrepareForm();
  GlobalInitialiser();
  RegisterCleanupRoutine(&Cleanup);
  LoadWindow(kMainForm);
  MessageLoop();
  return 0;
}

void OrderlyShutdown(int /*exitCode*/) {
  // From here on no handler runs, whatever arrives.
  SuppressEvents();
  g_formPrepared = false;
  for (int i = 0; i < g_cleanupCount; ++i) g_cleanup[i]();
  g_cleanupCount = 0;
}

int RunProgram() {
  StartRoutine();
  OrderlyShutdown(g_quitCode);
  return g_quitCode;
}

[[noreturn]] void FatalError(const char* what) {
  SuppressEvents();
  char text[512];
  char* out = text;
  const char* end = text + sizeof text - 1;
  Append(out, end, "Vantrel met a run-time error and has to close.\r\n\r\n");
  Append(out, end, what);
  Append(out, end, "\r\n\r\nError code ");
  AppendDecimal(out, end, static_cast<unsigned>(GetLastError()));
  Append(out, end, ".");
  *out = '\0';
  MessageBoxA(nullptr, text, "Vantrel - run-time error", MB_ICONERROR);
  // The cleanup routines do not run after a fatal error.
  g_cleanupCount = 0;
  OrderlyShutdown(-1);
  ExitProcess(static_cast<UINT>(-1));
}

void ResetStartupForTesting() {
  for (auto& routine : g_cleanup) routine = nullptr;
  g_cleanupCount = 0;
  g_loopStarted = false;
  g_formPrepared = false;
  g_quitCode = 0;
}

void ResetProgramForTesting() {
  ResetStartupForTesting();
  ResetControlsForTesting();
  ResetFormForTesting();
  ResetSlotsForTesting();
  ResetHotkeysForTesting();
  ResetKeyboardForTesting();
}

}  // namespace vantrel
