// Windows of the tests' own that record what reaches them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "desktop/win32.h"
#include "sim/desktop.h"

namespace vantrel::testing {

struct Received {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Every message a recorder window receives; a recorder answers kRecorderAnswer to
// messages from WM_USER up, and passes the rest to DefWindowProcA.
inline std::vector<Received> g_received;
inline constexpr LRESULT kRecorderAnswer = 4321;

inline LRESULT CALLBACK RecorderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  g_received.push_back({hwnd, message, wParam, lParam});
  if (message >= WM_USER || message == WM_HOTKEY) return kRecorderAnswer;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

inline HWND MakeRecorder(HWND parent = nullptr) {
  WNDCLASSA wc{};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), "TestRecorder", &wc)) {
    wc.lpfnWndProc = &RecorderProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TestRecorder";
    RegisterClassA(&wc);
  }
  return CreateWindowExA(0, "TestRecorder", "recorder", parent ? WS_CHILD : WS_OVERLAPPED, 0, 0, 10,
                         10, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

inline std::vector<Received> ReceivedBy(HWND hwnd, UINT message) {
  std::vector<Received> out;
  for (const Received& r : g_received) {
    if (r.hwnd == hwnd && r.message == message) out.push_back(r);
  }
  return out;
}

// Dispatches what is waiting in the thread's queue, as a loop of the process would.
inline void DispatchPosted() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Runs `body` as a process of its own on a fresh simulated desktop; answers its exit code.
inline int RunAsProcess(sim::Desktop& desk, std::function<void()> body) {
  static std::function<void()> current;
  current = std::move(body);
  g_received.clear();
  return desk.run([]() -> int {
    current();
    return 0;
  });
}

}  // namespace vantrel::testing
