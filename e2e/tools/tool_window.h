// The window and the message loop that every small test program of ours needs.
#pragma once

#include <windows.h>

// Registers a class of the given name with the procedure and makes one top-level
// window of it. Null when either fails.
inline HWND MakeToolWindow(const char* className, const char* title, WNDPROC procedure, DWORD style,
                           int x, int y, int width, int height) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  if (!RegisterClassA(&wc)) return nullptr;
  return CreateWindowExA(0, className, title, style, x, y, width, height, nullptr, nullptr,
                         instance, nullptr);
}

// Serves the thread's windows until WM_QUIT (or a failure of the queue).
inline void RunMessageLoop() {
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}
