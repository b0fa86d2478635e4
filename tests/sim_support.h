// Small window procedures and helpers for the simulated desktop's own tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sim/desktop.h"

namespace simtest {

struct Seen {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  HWND focus;  // GetFocus() while the message was handled
};

// Every message the recording procedure saw, in order.
inline std::vector<Seen> g_seen;
// Runs inside the recording procedure, for checks that must be made at that moment.
inline std::function<void(const Seen&)> g_onMessage;

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  g_seen.push_back(Seen{hwnd, message, wParam, lParam, GetFocus()});
  if (g_onMessage) g_onMessage(g_seen.back());
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

inline constexpr char kRecordingClass[] = "SimTestRecording";

inline void RegisterRecordingClass() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &RecordingProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kRecordingClass;
  RegisterClassA(&wc);
}

inline HWND MakeTopLevel(const char* title, DWORD exStyle = 0) {
  return CreateWindowExA(exStyle, kRecordingClass, title, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                         10, 10, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

inline HWND MakeChild(HWND parent, int id, const char* cls = kRecordingClass, DWORD style = 0,
                      DWORD exStyle = 0) {
  return CreateWindowExA(exStyle, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 50, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

// The messages of one kind, in order.
inline std::vector<Seen> Only(UINT message) {
  std::vector<Seen> out;
  for (const Seen& s : g_seen) {
    if (s.message == message) out.push_back(s);
  }
  return out;
}

// The position of the first message of a kind to a window, or -1.
inline int IndexOf(HWND hwnd, UINT message, std::size_t from = 0) {
  for (std::size_t i = from; i < g_seen.size(); ++i) {
    if (g_seen[i].hwnd == hwnd && g_seen[i].message == message) return static_cast<int>(i);
  }
  return -1;
}

// A fresh desktop with the recording class registered and the record cleared.
class SimTest : public ::testing::Test {
 protected:
  SimTest() {
    g_seen.clear();
    RegisterRecordingClass();
  }
  ~SimTest() override {
    g_seen.clear();
    g_onMessage = nullptr;
  }
  sim::Desktop desk;
};

}  // namespace simtest
