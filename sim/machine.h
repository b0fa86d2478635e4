// The state of the simulated machine, shared by the Win32 face and the driver.
// Internal to sim/: neither the program nor the tests include this.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/desktop.h"
#include "sim/win32_sim.h"

namespace sim::detail {

// Handle values: each kind in a range of its own, never reused within a Desktop,
// so that a stale handle stays recognisably stale.
inline constexpr std::uintptr_t kWindowBase = 0x00010000;
inline constexpr std::uintptr_t kGdiBase = 0x01000000;
inline constexpr std::uintptr_t kDcBase = 0x02000000;
inline constexpr std::uintptr_t kBlockBase = 0x03000000;
inline constexpr std::uintptr_t kIconBase = 0x04000000;
inline constexpr std::uintptr_t kCursorBase = 0x05000000;
inline constexpr std::uintptr_t kProgramModule = 0x7F000000;
inline constexpr std::uintptr_t kKeyboardLayout = 0x04090409;

// Metrics of the simulated window frames.
inline constexpr int kCaptionHeight = 23;
inline constexpr int kFixedFrame = 3;
inline constexpr int kSizingFrame = 4;
inline constexpr int kBorder = 1;
inline constexpr int kClientEdge = 2;
inline constexpr int kStaticEdge = 1;
inline constexpr int kMenuHeight = 19;

enum class WindowKind { Plain, Edit, MessageBox, OtherProgram };

struct WindowClass {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int clsExtra = 0;
  int wndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  ATOM atom = 0;
  bool builtin = false;
  WindowKind kind = WindowKind::Plain;
};

struct Window {
  HWND handle = nullptr;
  WindowKind kind = WindowKind::Plain;
  std::string className;
  UINT classStyle = 0;
  HBRUSH classBackground = nullptr;
  WNDPROC proc = nullptr;  // always a real procedure, never a cookie
  DWORD style = 0;
  DWORD exStyle = 0;
  UINT_PTR id = 0;
  LONG_PTR userData = 0;
  std::vector<unsigned char> extra;
  HINSTANCE instance = nullptr;
  HWND parent = nullptr;
  HWND owner = nullptr;
  std::vector<HWND> children;  // Z order, top first
  RECT rect{};                 // parent client coordinates; screen for a top-level window
  std::string text;
  HICON iconBig = nullptr;
  HICON iconSmall = nullptr;
  bool ours = true;             // a window of the program's thread
  bool programCreated = false;  // made by the program's CreateWindowExA
  bool destroying = false;
  bool destroyed = false;
  // EDIT state
  DWORD selStart = 0;
  DWORD selEnd = 0;
  DWORD limit = 32767;
  HFONT font = nullptr;
  bool modified = false;

  bool isChild() const { return (style & WS_CHILD) != 0; }
  bool alive() const { return !destroyed; }
};

struct Posted {
  MSG msg{};
  bool input = false;  // carries the key state of its moment
  std::array<BYTE, 256> keys{};
};

struct Hotkey {
  HWND hwnd = nullptr;
  int id = 0;
  UINT modifiers = 0;
  UINT vk = 0;
  bool otherProgram = false;
};

struct Block {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;
  UINT flags = 0;
  int locks = 0;
  bool freed = false;
  bool clipboardOwned = false;
  bool programAllocated = false;
};

enum class GdiType { Brush, Font, Region, Pen, Bitmap, Palette };

struct GdiObject {
  GdiType type = GdiType::Brush;
  COLORREF color = 0;
  int sysColor = -1;  // a system colour brush follows its colour
  RECT rect{};
  bool stock = false;
  bool deleted = false;
  bool nullBrush = false;
};

struct DeviceContext {
  HWND hwnd = nullptr;
  RECT paintClip{};
  bool hasClipRegion = false;
  RECT clipRegion{};
  HGDIOBJ font = nullptr;
  HGDIOBJ brush = nullptr;
  HGDIOBJ pen = nullptr;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  bool released = false;
  PaintRecord* record = nullptr;  // where this DC's drawing is written down
};

struct Icon {
  std::string resource;
  int cx = 0;
  int cy = 0;
  bool destroyed = false;
};

struct BoxFrame {
  HWND box = nullptr;
  bool ended = false;
  bool quitSeen = false;
};

struct ClipboardFormat {
  UINT format = 0;
  int block = -1;  // -1: rendered on request (never, here)
};

struct Machine {
  Options options;
  // process
  bool running = false;
  bool ran = false;
  bool exited = false;
  std::optional<std::string> failure;
  std::deque<std::function<void()>> idle;
  std::function<int(const MessageBoxInfo&)> boxAnswer;
  std::vector<MessageBoxInfo> boxes;
  std::vector<BoxFrame> boxFrames;
  int failCreateCountdown = 0;
  bool failGetMessage = false;
  DWORD lastError = 0;
  DWORD clock = 1000000;
  bool logging = true;  // calls and deliveries are written down
  std::vector<Call> calls;
  std::vector<Delivery> deliveries;
  std::vector<std::string> faults;
  // windows
  std::vector<std::unique_ptr<WindowClass>> classes;
  ATOM nextAtom = 0xC000;
  std::vector<std::unique_ptr<Window>> windows;
  std::vector<HWND> zOrder;  // top-level windows, top first
  HWND foreground = nullptr;
  HWND focus = nullptr;
  int createCalls = 0;
  // messages
  std::deque<Posted> queue;
  bool quitPending = false;
  int quitCode = 0;
  // keyboard
  std::array<BYTE, 256> physical{};
  std::array<BYTE, 256> threadKeys{};
  std::vector<Hotkey> hotkeys;
  std::vector<InjectedKey> injected;
  std::vector<InjectedKey> otherProgramKeys;
  std::vector<InjectedKey> otherProgramHotkeys;
  // GDI
  std::vector<GdiObject> gdi;
  std::vector<DeviceContext> dcs;
  std::array<COLORREF, 31> sysColors{};
  HWND paintTarget = nullptr;
  RECT paintClip{};
  bool paintPending = false;
  PaintRecord* paintRecord = nullptr;
  PaintRecord strayRecord;
  int gdiFaults = 0;
  std::vector<Icon> icons;
  // clipboard and memory
  std::vector<Block> blocks;
  bool failAlloc = false;
  bool failLock = false;
  bool markFreshMemory = true;  // uninitialised blocks are filled with 0xCD
  int memoryFaults = 0;
  enum class Opener { None, Program, Other } clipOpener = Opener::None;
  HWND clipOpenWindow = nullptr;
  long long clipOtherReleaseAt = -1;
  HWND clipOwner = nullptr;
  bool clipEmptiedByNullOwner = false;
  bool strictNullOwner = false;
  std::vector<ClipboardFormat> clipFormats;
  std::vector<ClipboardFormat> clipSynthesised;
  int clipWrites = 0;
};

extern Machine* g;

// ---- helpers shared by the sim's files
Machine& M();  // the live machine; a clear error when no Desktop exists
[[noreturn]] void fail(const std::string& what);  // records and throws sim::Failure
void fault(const std::string& what);
void log(const char* fn, std::initializer_list<intptr_t> args, std::string_view text = {});
inline intptr_t H(const void* handle) { return reinterpret_cast<intptr_t>(handle); }

Window* win(HWND h);      // any window ever made, or null
Window* live(HWND h);     // a window that is not destroyed, or null
Window* ourLive(HWND h);  // a live window of the program's thread
HWND handleOf(std::size_t index);
Window& newWindow();

// window manager
LRESULT deliver(Window* w, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT callProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
WNDPROC decodeProc(WNDPROC maybeCookie);
WNDPROC cookieFor(WNDPROC proc);
void resetCookies();
LRESULT sendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool postMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void postInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
               const std::array<BYTE, 256>& keys);
bool takeMessage(MSG* msg, HWND filter, UINT min, UINT max, bool remove, bool allowQuit);
bool translateMessage(const MSG* msg);
LRESULT dispatchMessage(const MSG* msg);
LRESULT defWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool destroyWindow(Window* w);
bool showWindow(Window* w, int command);
void activate(HWND target, int how, bool raise);
void activateNext(Window* leaving);
HWND setFocus(HWND hwnd);
bool enableWindow(Window* w, bool enable);
HWND topLevelOf(HWND h);
bool isDescendant(HWND ancestor, HWND h);
void raise(HWND h);
RECT insets(DWORD style, DWORD exStyle);
RECT screenRect(const Window& w);
RECT clientArea(const Window& w);  // {0,0,w,h}
POINT clientOrigin(const Window& w);
void endProcessWindows();
std::string windowText(const Window& w);

// edit control
LRESULT CALLBACK editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK boxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK otherProgramProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// GDI
void initGdi();
HDC beginPaint(HWND hwnd, PAINTSTRUCT* ps);
void endPaint(HDC dc);
DeviceContext* dcOf(HDC dc);
GdiObject* gdiOf(HGDIOBJ object);
HGDIOBJ gdiHandle(std::size_t index);
HGDIOBJ stockObject(int index);
HBRUSH sysColorBrush(int index);
std::optional<COLORREF> brushColor(HBRUSH brush);
int fillRect(HDC dc, const RECT* rect, HBRUSH brush);
int drawText(HDC dc, const char* text, int count, RECT* rect, UINT format);
HGDIOBJ selectObject(HDC dc, HGDIOBJ object);
COLORREF setTextColor(HDC dc, COLORREF color);
COLORREF setBkColor(HDC dc, COLORREF color);
int setBkMode(HDC dc, int mode);
RECT intersect(const RECT& a, const RECT& b);
bool empty(const RECT& r);

// keyboard
void keyEvent(BYTE vk, bool up, bool injected);
int charFor(BYTE vk, const std::array<BYTE, 256>& keys);
SHORT vkScan(unsigned char ch);
UINT scanCodeOf(UINT vk);
UINT currentModifiers(const std::array<BYTE, 256>& keys);

// clipboard and memory
bool openClipboard(HWND hwnd);
bool closeClipboard();
HANDLE clipboardData(UINT format);
Block* blockOf(HGLOBAL h);
HGLOBAL blockHandle(std::size_t index);
HGLOBAL allocBlock(UINT flags, std::size_t bytes, bool program);
void freeClipboardBlocks();
bool otherHoldsClipboard();
void setClipboardText(std::string_view text, HWND owner);

// message boxes
int messageBox(HWND owner, const char* text, const char* caption, UINT type);
void pumpModal(BoxFrame* frame);

}  // namespace sim::detail
