// clipholder.exe: another program that keeps the clipboard open. It opens the
// clipboard with a window of its own (an open without a window does not keep
// other processes out under Wine), optionally puts TEXT on it, and holds it
// until its window is closed (WM_CLOSE) or, with --ms, for that many
// milliseconds.
//
//   clipholder.exe [--ms N] READY_FILE [TEXT]
//
// READY_FILE gets "ready <hwnd>" once the clipboard is open; the exit code is
// 0 after a normal release, 1 when the clipboard could not be opened.
#include <windows.h>

#include "tool_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT_PTR kReleaseTimer = 1;

LRESULT CALLBACK HolderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == kReleaseTimer) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      CloseClipboard();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

bool PutText(const char* text) {
  size_t n = std::strlen(text);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, n + 1);
  if (!block) return false;
  void* p = GlobalLock(block);
  if (!p) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(p, text, n + 1);
  GlobalUnlock(block);
  if (!SetClipboardData(CF_TEXT, block)) {
    GlobalFree(block);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int i = 1;
  UINT ms = 0;
  if (argc > 2 && !std::strcmp(argv[1], "--ms")) {
    ms = static_cast<UINT>(std::strtoul(argv[2], nullptr, 10));
    i = 3;
  }
  if (argc - i < 1 || argc - i > 2) {
    std::fprintf(stderr, "usage: clipholder.exe [--ms N] READY_FILE [TEXT]\n");
    return 2;
  }
  HWND hwnd = MakeToolWindow("VantrelTestClipHolder", "ClipHolder", HolderProc, WS_OVERLAPPED, 0,
                             0, 100, 100);
  if (!hwnd || !OpenClipboard(hwnd)) return 1;
  if (argc - i == 2) {
    EmptyClipboard();
    if (!PutText(argv[i + 1])) return 1;
  }
  if (ms) SetTimer(hwnd, kReleaseTimer, ms, nullptr);
  FILE* ready = std::fopen(argv[i], "wb");
  if (!ready) return 2;
  std::fprintf(ready, "ready %llu\n",
               static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(hwnd)));
  std::fclose(ready);
  RunMessageLoop();
  return 0;
}
