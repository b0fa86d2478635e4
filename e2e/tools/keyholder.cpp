// keyholder.exe: another program that has some of the function keys. It
// registers each key named on its command line as a global hotkey without
// modifiers, for a window of its own, and keeps them until it is closed or
// killed.
//
//   keyholder.exe READY_FILE F6 [F1 ...]
//
// READY_FILE gets one line per key, "F6 ok" or "F6 refused", and then "ready".
#include <windows.h>

#include "tool_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

LRESULT CALLBACK HolderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// "F1".."F24" to its virtual-key code, 0 for anything else.
UINT FunctionKey(const char* name) {
  if ((name[0] != 'F' && name[0] != 'f') || !name[1]) return 0;
  char* end = nullptr;
  long n = std::strtol(name + 1, &end, 10);
  if (*end || n < 1 || n > 24) return 0;
  return VK_F1 + static_cast<UINT>(n - 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: keyholder.exe READY_FILE F6 [F1 ...]\n");
    return 2;
  }
  HWND hwnd =
      MakeToolWindow("VantrelTestKeyHolder", "KeyHolder", HolderProc, WS_OVERLAPPED, 0, 0, 100, 100);
  if (!hwnd) return 1;
  FILE* ready = std::fopen(argv[1], "wb");
  if (!ready) return 2;
  for (int i = 2; i < argc; ++i) {
    UINT vk = FunctionKey(argv[i]);
    if (!vk) {
      std::fprintf(stderr, "keyholder: not a function key: %s\n", argv[i]);
      return 2;
    }
    bool ok = RegisterHotKey(hwnd, i, 0, vk) != FALSE;
    std::fprintf(ready, "%s %s\n", argv[i], ok ? "ok" : "refused");
  }
  std::fprintf(ready, "ready\n");
  std::fclose(ready);
  RunMessageLoop();
  return 0;
}
