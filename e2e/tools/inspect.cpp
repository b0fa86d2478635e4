// inspect.exe: looks at Vantrel from outside, as another program on the same
// desktop would, and pokes at it. The Wine tests run it next to vantrel.exe.
//
//   inspect.exe [--title T] [--pid N] [--out FILE] COMMAND [ARGS]
//
// Commands:
//   dump                       JSON: every top-level window titled T (default
//                              "Vantrel"), its children in Z order, focus, and
//                              the message boxes (#32770) of the same processes
//   close                      post WM_CLOSE to the window
//   send ID MSG WPARAM LPARAM  SendMessage to the child with that id (0: the
//                              window itself); prints the result
//   post ID MSG WPARAM LPARAM  the same with PostMessage
//   settext ID FILE            WM_SETTEXT with the bytes of FILE
//   gettext ID FILE            writes the child's text (WM_GETTEXT) to FILE
//   answer BUTTON              clicks the button with that id (IDOK = 1) of the
//                              first visible message box of the window's process
//
// Numbers may be decimal or 0x-hex. Texts are printed as hex so that any byte
// (CR LF, code page 936) survives the trip to the test unchanged. Exit code 0
// on success, 2 for bad usage, 3 when no window was found, 4 when the action
// failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

FILE* g_out = stdout;
const char* g_title = "Vantrel";
DWORD g_pid = 0;             // 0: any process
unsigned g_maxText = 65536;  // longer texts are cut in a dump; gettext has no cap
constexpr UINT kTimeoutMs = 5000;

long long ParseNumber(const char* s) { return std::strtoll(s, nullptr, 0); }

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}

std::string ClassOf(HWND hwnd) {
  char name[256] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

// The caption as the system keeps it; no message is sent, so this also works
// while the owner is busy.
std::string CaptionOf(HWND hwnd) {
  char text[1024] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

// Sends WM_GETTEXT across processes; a hung target gives an empty text rather
// than a hung inspector.
bool TextOf(HWND hwnd, std::string& text, unsigned cap, unsigned& fullLength) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &length)) {
    return false;
  }
  fullLength = static_cast<unsigned>(length);
  unsigned want = fullLength < cap ? fullLength : cap;
  std::vector<char> buffer(want + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, kTimeoutMs, &copied)) {
    return false;
  }
  if (copied > want) copied = want;
  text.assign(buffer.data(), copied);
  return true;
}

void PrintRect(const char* key, const RECT& r) {
  std::fprintf(g_out, "\"%s\": [%ld, %ld, %ld, %ld]", key, r.left, r.top, r.right, r.bottom);
}

void PrintChild(HWND child, HWND parent) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  std::string text;
  unsigned length = 0;
  bool ok = TextOf(child, text, g_maxText, length);
  std::fprintf(g_out, "{\"hwnd\": %llu, \"class\": \"%s\", \"id\": %d, ",
               static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(child)),
               Hex(ClassOf(child)).c_str(), GetDlgCtrlID(child));
  PrintRect("rect", r);
  std::fprintf(g_out,
               ", \"style\": %lu, \"exstyle\": %lu, \"visible\": %s, \"enabled\": %s, "
               "\"text_ok\": %s, \"text_length\": %u, \"text\": \"%s\"}",
               static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
               static_cast<unsigned long>(GetWindowLongA(child, GWL_EXSTYLE)),
               IsWindowVisible(child) ? "true" : "false", IsWindowEnabled(child) ? "true" : "false",
               ok ? "true" : "false", length, Hex(text).c_str());
}

void PrintTopLevel(HWND hwnd) {
  DWORD pid = 0;
  DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  bool haveGui = GetGUIThreadInfo(tid, &gui) != FALSE;
  RECT r, client;
  GetWindowRect(hwnd, &r);
  GetClientRect(hwnd, &client);
  LONG exstyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
  HWND focus = haveGui ? gui.hwndFocus : nullptr;
  POINT origin = {0, 0};  // the client area's top left on the screen
  ClientToScreen(hwnd, &origin);
  std::fprintf(
      g_out, "{\"hwnd\": %llu, \"pid\": %lu, \"tid\": %lu, \"class\": \"%s\", \"title\": \"%s\", ",
      static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(hwnd)),
      static_cast<unsigned long>(pid), static_cast<unsigned long>(tid), Hex(ClassOf(hwnd)).c_str(),
      Hex(CaptionOf(hwnd)).c_str());
  PrintRect("rect", r);
  std::fprintf(g_out, ", ");
  PrintRect("client", client);
  std::fprintf(g_out, ", \"client_origin\": [%ld, %ld]", origin.x, origin.y);
  std::fprintf(
      g_out,
      ", \"style\": %lu, \"exstyle\": %lu, \"topmost\": %s, \"visible\": %s, "
      "\"enabled\": %s, \"iconic\": %s, \"owner\": %llu, \"focus\": %llu, \"focus_id\": %d, "
      "\"active\": %llu, \"children\": [",
      static_cast<unsigned long>(GetWindowLongA(hwnd, GWL_STYLE)),
      static_cast<unsigned long>(exstyle), (exstyle & WS_EX_TOPMOST) ? "true" : "false",
      IsWindowVisible(hwnd) ? "true" : "false", IsWindowEnabled(hwnd) ? "true" : "false",
      IsIconic(hwnd) ? "true" : "false",
      static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(GetWindow(hwnd, GW_OWNER))),
      static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(focus)),
      focus && focus != hwnd ? GetDlgCtrlID(focus) : 0,
      static_cast<unsigned long long>(
          reinterpret_cast<ULONG_PTR>(haveGui ? gui.hwndActive : nullptr)));
  bool first = true;
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::fprintf(g_out, first ? "\n    " : ",\n    ");
    first = false;
    PrintChild(child, hwnd);
  }
  std::fprintf(g_out, "]}");
}

struct Found {
  std::vector<HWND> mains;  // top-level windows with the title
  std::vector<HWND> boxes;  // message boxes of the same processes
};

BOOL CALLBACK CollectMains(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if ((g_pid == 0 || pid == g_pid) && CaptionOf(hwnd) == g_title && ClassOf(hwnd) != "#32770") {
    found->mains.push_back(hwnd);
  }
  return TRUE;
}

BOOL CALLBACK CollectBoxes(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  if (ClassOf(hwnd) != "#32770") return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  for (HWND main : found->mains) {
    DWORD mainPid = 0;
    GetWindowThreadProcessId(main, &mainPid);
    if (mainPid == pid) {
      found->boxes.push_back(hwnd);
      break;
    }
  }
  return TRUE;
}

Found FindAll() {
  Found found;
  EnumWindows(CollectMains, reinterpret_cast<LPARAM>(&found));
  EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&found));
  return found;
}

int Dump() {
  Found found = FindAll();
  HWND foreground = GetForegroundWindow();
  std::fprintf(g_out,
               "{\"screen\": [%d, %d], \"btnface\": %lu, \"foreground\": %llu, "
               "\"foreground_title\": \"%s\", \"windows\": [",
               GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
               static_cast<unsigned long>(GetSysColor(COLOR_BTNFACE)),
               static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(foreground)),
               Hex(foreground ? CaptionOf(foreground) : std::string()).c_str());
  const char* separator = "\n  ";
  for (HWND hwnd : found.mains) {
    std::fprintf(g_out, "%s", separator);
    PrintTopLevel(hwnd);
    separator = ",\n  ";
  }
  std::fprintf(g_out, "],\n \"boxes\": [");
  separator = "\n  ";
  for (HWND hwnd : found.boxes) {
    std::fprintf(g_out, "%s", separator);
    PrintTopLevel(hwnd);
    separator = ",\n  ";
  }
  std::fprintf(g_out, "]}\n");
  return 0;
}

// The one window the action commands act on; with several copies running the
// test names the process with --pid.
HWND TheWindow() {
  Found found = FindAll();
  if (found.mains.empty()) {
    std::fprintf(stderr, "inspect: no window titled \"%s\"\n", g_title);
    return nullptr;
  }
  if (found.mains.size() > 1) {
    std::fprintf(stderr, "inspect: %u windows titled \"%s\"; pick one with --pid\n",
                 static_cast<unsigned>(found.mains.size()), g_title);
    return nullptr;
  }
  return found.mains.front();
}

HWND Target(HWND main, const char* id) {
  long long value = ParseNumber(id);
  if (value == 0) return main;
  HWND child = GetDlgItem(main, static_cast<int>(value));
  if (!child) std::fprintf(stderr, "inspect: no child with id %lld\n", value);
  return child;
}

bool ReadFile(const char* path, std::string& bytes) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
  std::fclose(f);
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: inspect.exe [--title T] [--pid N] [--out FILE] [--max-text N]\n"
               "       dump | close | send ID MSG WPARAM LPARAM | post ID MSG WPARAM LPARAM |\n"
               "       settext ID FILE | gettext ID FILE | answer BUTTON\n");
  return 2;
}

int Run(int argc, char** argv) {
  int i = 1;
  const char* outPath = nullptr;
  for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
    if (!std::strcmp(argv[i], "--title")) {
      g_title = argv[i + 1];
    } else if (!std::strcmp(argv[i], "--pid")) {
      g_pid = static_cast<DWORD>(ParseNumber(argv[i + 1]));
    } else if (!std::strcmp(argv[i], "--out")) {
      outPath = argv[i + 1];
    } else if (!std::strcmp(argv[i], "--max-text")) {
      g_maxText = static_cast<unsigned>(ParseNumber(argv[i + 1]));
    } else {
      return Usage();
    }
  }
  if (i >= argc) return Usage();
  if (outPath) {
    g_out = std::fopen(outPath, "wb");
    if (!g_out) {
      std::fprintf(stderr, "inspect: cannot write %s\n", outPath);
      return 2;
    }
  }
  const std::string command = argv[i];
  const int args = argc - i - 1;
  char** arg = argv + i + 1;

  if (command == "dump" && args == 0) return Dump();

  HWND main = nullptr;
  if (command == "close" && args == 0) {
    if (!(main = TheWindow())) return 3;
    return PostMessageA(main, WM_CLOSE, 0, 0) ? 0 : 4;
  }
  if ((command == "send" || command == "post") && args == 4) {
    if (!(main = TheWindow())) return 3;
    HWND target = Target(main, arg[0]);
    if (!target) return 3;
    UINT msg = static_cast<UINT>(ParseNumber(arg[1]));
    WPARAM wp = static_cast<WPARAM>(ParseNumber(arg[2]));
    LPARAM lp = static_cast<LPARAM>(ParseNumber(arg[3]));
    if (command == "post") return PostMessageA(target, msg, wp, lp) ? 0 : 4;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(target, msg, wp, lp, SMTO_ABORTIFHUNG, kTimeoutMs, &result)) return 4;
    std::fprintf(g_out, "%lld\n", static_cast<long long>(result));
    return 0;
  }
  if (command == "settext" && args == 2) {
    if (!(main = TheWindow())) return 3;
    HWND target = Target(main, arg[0]);
    if (!target) return 3;
    std::string bytes;
    if (!ReadFile(arg[1], bytes)) {
      std::fprintf(stderr, "inspect: cannot read %s\n", arg[1]);
      return 2;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()),
                             SMTO_ABORTIFHUNG, kTimeoutMs * 6, &result) ||
        !result) {
      std::fprintf(stderr, "inspect: WM_SETTEXT failed (error %lu)\n", GetLastError());
      return 4;
    }
    return 0;
  }
  if (command == "gettext" && args == 2) {
    if (!(main = TheWindow())) return 3;
    HWND target = Target(main, arg[0]);
    if (!target) return 3;
    std::string text;
    unsigned length = 0;
    if (!TextOf(target, text, 0xFFFFFFFFu, length)) return 4;
    FILE* f = std::fopen(arg[1], "wb");
    if (!f) return 2;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return 0;
  }
  if (command == "answer" && args == 1) {
    Found found = FindAll();
    int button = static_cast<int>(ParseNumber(arg[0]));
    for (HWND box : found.boxes) {
      if (!IsWindowVisible(box)) continue;
      HWND control = GetDlgItem(box, button);
      if (!control) continue;
      return PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                          reinterpret_cast<LPARAM>(control))
                 ? 0
                 : 4;
    }
    std::fprintf(stderr, "inspect: no message box with button %d\n", button);
    return 3;
  }
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  int code = Run(argc, argv);
  std::fflush(g_out);
  if (g_out != stdout) std::fclose(g_out);
  return code;
}
