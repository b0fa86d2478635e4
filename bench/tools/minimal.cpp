// minimal.exe: the least a program can do to paste a text on a key press, the
// yardstick Vantrel is measured against. One window; F1 as a global hotkey;
// on each press the clipboard write and the Ctrl+V that Vantrel makes, with
// nothing around them.
//
//   minimal.exe [TEXT]
//
// TEXT (the command line after the program's name, as it is) is what F1
// pastes. The window is titled "Minimal".
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

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  g_text = commandLine ? commandLine : "";
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
  if (!RegisterHotKey(hwnd, 1, 0, VK_F1)) return 1;
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
