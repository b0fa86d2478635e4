// The driver face of the simulated desktop: what a test uses to be the user and
// the rest of the machine while the program runs on the Win32 face
// (sim/win32_sim.h). One Desktop lives at a time; the Win32 functions act on it.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/win32_sim.h"

namespace sim {

struct Options {
  int screenWidth = 1024;
  int screenHeight = 768;
};

struct MessageBoxInfo {
  HWND owner;
  std::string text;
  std::string caption;
  UINT style;
};

struct DrawTextCall {
  std::string text;
  RECT rect;
  UINT format;
  HFONT font;
  COLORREF textColor;
  int bkMode;
};

struct FillCall {
  RECT rect;
  COLORREF color;
};

struct PaintRecord {
  RECT clip;
  std::vector<DrawTextCall> texts;
  std::vector<FillCall> fills;
  int objectsCreated = 0;
  int objectsDeleted = 0;
  int stockObjectsDeleted = 0;
  // an edit box's WM_CTLCOLOREDIT (or WM_CTLCOLORSTATIC) answer and the DC colours it set
  HBRUSH ctlBrush = nullptr;
  COLORREF ctlBrushColor = 0;
  COLORREF ctlTextColor = 0;
  COLORREF ctlBkColor = 0;
  bool ctlColorSent = false;
  UINT ctlColorMessage = 0;  // WM_CTLCOLOREDIT or WM_CTLCOLORSTATIC
  int ctlBkMode = 0;
};

struct InjectedKey {
  BYTE vk;
  DWORD flags;
};

// One platform call of the program: its name, its main arguments (handles and
// pointers as their values), and its text argument where it has one.
struct Call {
  std::string fn;
  std::vector<intptr_t> args;
  std::string text;
};

// A message the desktop delivered to one of the program's window procedures.
struct Delivery {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// What ExitProcess throws; Desktop::run() catches it. It derives from nothing,
// so that no catch clause of the program takes it by accident.
class ProcessExit {
 public:
  explicit ProcessExit(UINT code) : code_(code) {}
  UINT code() const { return code_; }

 private:
  UINT code_;
};

// A fault of the scenario (a box nobody answers, a wait that would never end).
// Also unrelated to std::exception while it crosses the program's code; run()
// and the driver calls turn it into std::runtime_error.
class Failure {
 public:
  explicit Failure(std::string what) : what_(std::move(what)) {}
  const std::string& what() const { return what_; }

 private:
  std::string what_;
};

class Desktop {
 public:
  explicit Desktop(Options options = {});  // a fresh machine
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // ---- the program's process
  // Runs entry() as the process: its return value, or the ExitProcess code.
  int run(int (*entry)());
  bool running() const;
  bool exited() const;  // the process has ended (run() returned or ExitProcess)
  // A step run when the program's GetMessageA finds the queue empty; with none
  // left, GetMessageA fails the scenario ("would wait forever").
  void onIdle(std::function<void()> step);
  int idleStepsLeft() const;
  void onMessageBox(std::function<int(const MessageBoxInfo&)> answer);
  const std::vector<MessageBoxInfo>& messageBoxes() const;
  bool messageBoxOpen() const;
  HWND messageBoxWindow() const;   // the open box (the innermost), or nullptr
  void pump();                     // dispatch what is posted, as a modal loop would
  void failCreateWindow(int nth);  // the nth CreateWindowExA call from now on fails (1 = the next)
  void failNextGetMessage();       // the next GetMessageA returns -1
  int postedMessages() const;      // messages waiting in the program's queue
  bool quitPending() const;        // PostQuitMessage was called and WM_QUIT not yet taken

  // ---- screen and windows
  void setScreen(int width, int height);
  HWND topLevel(std::string_view title) const;  // a live top-level window of the program
  HWND child(HWND parent, int id) const;
  std::vector<HWND> children(HWND parent) const;  // Z order, top first
  std::vector<HWND> createdWindows() const;       // every window the program created, in order
  std::string className(HWND) const;
  std::string text(HWND) const;  // window text (an edit's text), without sending messages
  DWORD style(HWND) const;
  DWORD exStyle(HWND) const;
  RECT windowRect(HWND) const;  // screen coordinates
  RECT clientRect(HWND) const;
  bool exists(HWND) const;
  bool visible(HWND) const;  // WS_VISIBLE on the window itself
  bool enabled(HWND) const;
  bool topmost(HWND) const;
  bool minimized(HWND) const;
  HWND parent(HWND) const;
  HWND owner(HWND) const;
  HICON icon(HWND, int which) const;  // WM_SETICON state: ICON_BIG / ICON_SMALL
  struct IconInfo {
    std::string resource;
    int cx;
    int cy;
  };
  std::optional<IconInfo> iconInfo(HICON) const;  // what LoadImageA loaded
  HFONT font(HWND edit) const;                    // an edit's WM_SETFONT font
  std::pair<DWORD, DWORD> selection(HWND edit) const;
  DWORD textLimit(HWND edit) const;
  HWND focus() const;
  HWND active() const;                        // the foreground window, ours or another program's
  std::vector<HWND> topLevelZOrder() const;   // all top-level windows, top first
  PaintRecord paint(HWND window);             // full client area
  PaintRecord paint(HWND window, RECT clip);  // the update area (may be empty)
  int liveGdiObjects() const;                 // objects the program created and has not deleted
  int gdiFaults() const;                      // deletes of deleted or stock objects
  LRESULT send(HWND, UINT, WPARAM, LPARAM);   // like SendMessageA from another sender
  void post(HWND, UINT, WPARAM, LPARAM);
  void close(HWND);  // the user clicks the close box: WM_SYSCOMMAND SC_CLOSE
  void setSysColor(int index, COLORREF);
  // every message delivered to a window procedure of the program, in order
  const std::vector<Delivery>& deliveries() const;
  void clearDeliveries();

  // ---- the keyboard (the user)
  void keyDown(BYTE vk);
  void keyUp(BYTE vk);
  void press(BYTE vk);                             // down then up
  void press(std::initializer_list<BYTE> chord);   // all down in order, then up in reverse
  void type(std::string_view ascii);               // key presses (Shift where needed)
  void typeChar(HWND target, unsigned char byte);  // a WM_CHAR posted to target
  bool keyIsDown(BYTE vk) const;

  // ---- other programs
  HWND otherProgramWindow(std::string_view title = "Other");  // visible, not activated
  void activate(HWND);  // the user clicks a window (ours or another program's)
  void holdHotkey(UINT modifiers, UINT vk);
  const std::vector<InjectedKey>& keysReceivedByOtherProgram() const;
  // hotkeys of other programs that a key press set off, as {vk, modifiers}
  const std::vector<InjectedKey>& hotkeysTakenByOtherProgram() const;

  // ---- clipboard and memory
  void otherProgramOpensClipboard(int forMilliseconds = -1);
  void otherProgramClosesClipboard();
  void otherProgramSetsClipboardText(std::string_view);
  std::optional<std::string> clipboardText() const;  // CF_TEXT bytes up to the first zero
  std::optional<std::vector<char>> clipboardBlock(UINT format) const;
  std::vector<UINT> clipboardFormats() const;
  bool clipboardOpen() const;
  HWND clipboardOwner() const;
  int clipboardWrites() const;  // SetClipboardData successes
  void setStrictNullOwnerClipboard(bool);
  void failNextGlobalAlloc();
  void failNextGlobalLock();
  // Off: a block allocated without GMEM_ZEROINIT keeps whatever the memory held
  // instead of 0xCD, as on Windows. For runs that only measure; on for a fresh
  // Desktop, so that a missing terminator shows.
  void setMarkFreshMemory(bool on);
  int liveProgramBlocks() const;
  int memoryFaults() const;  // double frees, frees of clipboard-owned blocks, locks of freed blocks
  const std::vector<std::string>& faults() const;    // what each memory or GDI fault was
  const std::vector<InjectedKey>& injected() const;  // keybd_event calls, in order
  const std::vector<Call>& calls() const;
  std::vector<Call> calls(std::string_view fn) const;  // only those of one function
  void clearCalls();
  // Off: platform calls and deliveries are no longer written down (what was is
  // kept). For long runs that only measure; on for a fresh Desktop.
  void setLogging(bool on);

  DWORD now() const;  // the simulated clock (GetTickCount)
  void advance(DWORD milliseconds);
};

}  // namespace sim
