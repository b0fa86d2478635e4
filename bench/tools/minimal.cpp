// minimal.exe: the least a program can do to paste a text on a key press, the
// yardstick Vantrel is measured against. One window; F1 as a global hotkey;
// on each press the clipboard write and the Ctrl+V that Vantrel makes, with
// nothing around them.
//
//   minimal.exe [-Fn] [TEXT]
//
// TEXT (the rest of the command line, as it is) is what the key pastes. The key
// is F1 unless -Fn names another function key (-F11: F11), so that the
// benchmark can run this program beside Vantrel, which holds F1 to F10, and
// press the two in turn. The window is titled "Minimal".
#include <windows.h>

#include <cstring>

namespace {

const char* g_text = "";
SIZE_T g_length = 0;

void SendCtrlV() {
  keybd_event(VK_CONTROL, 0, 0, 0);
  keybd_event('V', 0, 0, 0);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  keybd_event('V', 0, KEYEVENTF_KEYUP, 0);
}

void Paste() {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, g_length + 1);
  if (!block) return;
  void* bytes = GlobalLock(block);
  if (!bytes) {
    GlobalFree(block);
    return;
  }
  std::memcpy(bytes, g_text, g_length + 1);
  GlobalUnlock(block);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(block);
    return;
  }
  EmptyClipboard();
  const bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
  CloseClipboard();
  if (!taken) {
    GlobalFree(block);
    return;
  }
  SendCtrlV();
}

LRESULT CALLBACK MinimalProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_HOTKEY:
      Paste();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

// A leading "-Fn " (n from 1 to 24) chooses the key; the rest is the text.
UINT TakeKey(const char*& commandLine) {
  const char* p = commandLine;
  if (p[0] != '-' || p[1] != 'F') return VK_F1;
  p += 2;
  UINT n = 0;
  while (*p >= '0' && *p <= '9' && n <= 24) n = n * 10 + static_cast<UINT>(*p++ - '0');
  if (n < 1 || n > 24 || (*p && *p != ' ')) return VK_F1;
  commandLine = *p ? p + 1 : p;
  return VK_F1 + n - 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  g_text = commandLine ? commandLine : "";
  const UINT key = TakeKey(g_text);
  g_length = std::strlen(g_text);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = MinimalProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "VantrelBenchMinimal";
  if (!RegisterClassA(&wc)) return 1;
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 300, 200, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  if (!RegisterHotKey(hwnd, 1, 0, key)) return 1;
  ShowWindow(hwnd, show);
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
