// pastetimer.exe: the application a paste lands in, with a stopwatch. Once
// GO_FILE exists it presses function keys (down and up, as injected input)
// COUNT times, taking the KEYS in turn, one press after the previous paste is
// complete, and times each press from the key going down to the pasted text
// read back from the clipboard. With two keys held by two programs, the two
// are measured press by press, side by side.
//
//   pastetimer.exe LOG_FILE GO_FILE COUNT LENGTH KEY [KEY ...]   (KEY: F1..F24)
//
// LENGTH is the length of the text every paste must bring. Log records:
//   ready\n                       the window exists (focus it, then create GO_FILE)
//   paste <key> <us> ok <n>\n     one press: microseconds to the paste, bytes pasted
//   paste <key> <us> bad <n>\n    a paste of the wrong length (or no CF_TEXT)
//   paste <key> <us> timeout 0\n  no Ctrl+V within kPressTimeoutMs of the press
//   done\n                        all COUNT presses are over
// The log is flushed after every record.
#include <windows.h>

#include "../../e2e/tools/tool_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT_PTR kWaitForGo = 1;
constexpr UINT_PTR kPressTimeout = 2;
constexpr UINT kPressTimeoutMs = 5000;
constexpr UINT kNextPress = WM_APP + 1;

FILE* g_log = nullptr;
const char* g_go = nullptr;
long g_count = 0;
SIZE_T g_length = 0;
long g_done = 0;
constexpr int kMaxKeys = 8;
UINT g_keys[kMaxKeys] = {};
const char* g_keyNames[kMaxKeys] = {};
int g_keyCount = 0;
int g_key = 0;           // the key of the press that is out
bool g_waiting = false;  // a press is out and its paste has not come
LARGE_INTEGER g_frequency;
LARGE_INTEGER g_pressed;

long long MicrosecondsSincePress() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return (now.QuadPart - g_pressed.QuadPart) * 1000000 / g_frequency.QuadPart;
}

void Record(const char* status, SIZE_T bytes) {
  std::fprintf(g_log, "paste %s %lld %s %llu\n", g_keyNames[g_key], MicrosecondsSincePress(),
               status, static_cast<unsigned long long>(bytes));
  std::fflush(g_log);
}

void Press(HWND hwnd) {
  if (g_done >= g_count) {
    std::fprintf(g_log, "done\n");
    std::fflush(g_log);
    DestroyWindow(hwnd);
    return;
  }
  g_waiting = true;
  g_key = static_cast<int>(g_done % g_keyCount);
  const BYTE key = static_cast<BYTE>(g_keys[g_key]);
  SetTimer(hwnd, kPressTimeout, kPressTimeoutMs, nullptr);
  QueryPerformanceCounter(&g_pressed);
  keybd_event(key, 0, 0, 0);
  keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
}

// Ctrl+V: the paste is complete once the text is read back.
void ReadPaste(HWND hwnd) {
  if (!g_waiting) return;
  SIZE_T got = 0;
  bool ok = false;
  if (OpenClipboard(hwnd)) {
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text) {
      got = strnlen(text, GlobalSize(data));
      ok = got == g_length;
      GlobalUnlock(data);
    }
    CloseClipboard();
  }
  Record(ok ? "ok" : "bad", got);
  g_waiting = false;
  KillTimer(hwnd, kPressTimeout);
  ++g_done;
}

LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == 'V' && GetKeyState(VK_CONTROL) < 0) ReadPaste(hwnd);
      return 0;
    case WM_KEYUP:
      // V comes up last in the chord: the next press starts on a quiet keyboard.
      if (wParam == 'V' && !g_waiting) PostMessageA(hwnd, kNextPress, 0, 0);
      return 0;
    case kNextPress:
      Press(hwnd);
      return 0;
    case WM_TIMER:
      if (wParam == kWaitForGo && GetFileAttributesA(g_go) != INVALID_FILE_ATTRIBUTES) {
        KillTimer(hwnd, kWaitForGo);
        Press(hwnd);
      } else if (wParam == kPressTimeout && g_waiting) {
        KillTimer(hwnd, kPressTimeout);
        Record("timeout", 0);
        g_waiting = false;
        ++g_done;
        Press(hwnd);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

// "F1".."F24" to its virtual-key code, 0 for anything else.
UINT FunctionKey(const char* name) {
  if (name[0] != 'F' || !name[1]) return 0;
  char* end = nullptr;
  const long n = std::strtol(name + 1, &end, 10);
  if (*end || n < 1 || n > 24) return 0;
  return VK_F1 + static_cast<UINT>(n - 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6 || argc - 5 > kMaxKeys) {
    std::fprintf(stderr, "usage: pastetimer.exe LOG_FILE GO_FILE COUNT LENGTH KEY [KEY ...]\n");
    return 2;
  }
  for (int i = 5; i < argc; ++i, ++g_keyCount) {
    g_keys[g_keyCount] = FunctionKey(argv[i]);
    g_keyNames[g_keyCount] = argv[i];
    if (!g_keys[g_keyCount]) return 2;
  }
  g_log = std::fopen(argv[1], "ab");
  if (!g_log) return 2;
  g_go = argv[2];
  g_count = std::strtol(argv[3], nullptr, 10);
  g_length = static_cast<SIZE_T>(std::strtoull(argv[4], nullptr, 10));
  QueryPerformanceFrequency(&g_frequency);
  // Top left, clear of Vantrel's centred window on a 1024 x 768 screen.
  HWND hwnd = MakeToolWindow("VantrelBenchPasteTimer", "PasteTimer", TimerProc,
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 160);
  if (!hwnd) return 1;
  SetTimer(hwnd, kWaitForGo, 20, nullptr);
  std::fprintf(g_log, "ready\n");
  std::fflush(g_log);
  RunMessageLoop();
  std::fclose(g_log);
  return 0;
}
