// receiver.exe: the application a paste lands in. A plain window that, on
// Ctrl+V, reads CF_TEXT from the clipboard and appends what it got to a log;
// every character it is typed is logged too, so a test can tell a real paste
// from stray keys.
//
//   receiver.exe LOG_FILE
//
// Log records, appended and flushed one at a time:
//   paste <ms> ok <n>\n<n bytes>\n    the clipboard's CF_TEXT, up to its zero
//   paste <ms> busy 0\n\n             another program held the clipboard open
//   paste <ms> none 0\n\n             no CF_TEXT on the clipboard
//   char <ms> <code>\n                a WM_CHAR
// <ms> is GetTickCount64(). The first line written is "ready <hwnd>".
#include <windows.h>

#include "tool_window.h"

#include <cstdio>
#include <cstring>

namespace {

FILE* g_log = nullptr;

void LogPaste(HWND hwnd) {
  unsigned long long now = GetTickCount64();
  if (!OpenClipboard(hwnd)) {
    std::fprintf(g_log, "paste %llu busy 0\n\n", now);
    std::fflush(g_log);
    return;
  }
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  if (!text) {
    std::fprintf(g_log, "paste %llu none 0\n\n", now);
  } else {
    size_t size = GlobalSize(data);
    size_t n = strnlen(text, size);
    std::fprintf(g_log, "paste %llu ok %llu\n", now, static_cast<unsigned long long>(n));
    std::fwrite(text, 1, n, g_log);
    std::fputc('\n', g_log);
    GlobalUnlock(data);
  }
  CloseClipboard();
  std::fflush(g_log);
}

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
      if (wp == 'V' && GetKeyState(VK_CONTROL) < 0) LogPaste(hwnd);
      return 0;
    case WM_CHAR:
      std::fprintf(g_log, "char %llu %u\n", GetTickCount64(), static_cast<unsigned>(wp));
      std::fflush(g_log);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: receiver.exe LOG_FILE\n");
    return 2;
  }
  g_log = std::fopen(argv[1], "ab");
  if (!g_log) return 2;
  // Top left, clear of Vantrel's centred window on a 1024 x 768 screen.
  HWND hwnd = MakeToolWindow("VantrelTestReceiver", "Receiver", ReceiverProc,
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 160);
  if (!hwnd) return 1;
  std::fprintf(g_log, "ready %llu\n",
               static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(hwnd)));
  std::fflush(g_log);
  RunMessageLoop();
  std::fclose(g_log);
  return 0;
}
