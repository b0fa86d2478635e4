// Window manager of the simulated desktop: classes, windows, the message queue,
// showing, Z order, activation, focus, destruction and subclassing.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "sim/machine.h"

namespace sim::detail {

Machine* g = nullptr;

Machine& M() {
  if (!g) throw std::logic_error("a Win32 function was called while no sim::Desktop exists");
  return *g;
}

void fail(const std::string& what) {
  if (g && !g->failure) g->failure = what;
  throw Failure(what);
}

void fault(const std::string& what) {
  if (g) g->faults.push_back(what);
}

void log(const char* fn, std::initializer_list<intptr_t> args, std::string_view text) {
  Machine& m = M();
  if (m.logging) m.calls.push_back(Call{fn, std::vector<intptr_t>(args), std::string(text)});
}

// ---------------------------------------------------------------------------
// Handles

HWND handleOf(std::size_t index) { return reinterpret_cast<HWND>(kWindowBase + index * 4); }

Window* win(HWND h) {
  if (!g) return nullptr;
  const auto v = reinterpret_cast<std::uintptr_t>(h);
  if (v < kWindowBase || (v - kWindowBase) % 4) return nullptr;
  const std::size_t index = (v - kWindowBase) / 4;
  if (index >= g->windows.size()) return nullptr;
  return g->windows[index].get();
}

Window* live(HWND h) {
  Window* w = win(h);
  return w && w->alive() ? w : nullptr;
}

Window* ourLive(HWND h) {
  Window* w = live(h);
  return w && w->ours ? w : nullptr;
}

Window& newWindow() {
  auto w = std::make_unique<Window>();
  w->handle = handleOf(g->windows.size());
  g->windows.push_back(std::move(w));
  return *g->windows.back();
}

// ---------------------------------------------------------------------------
// Window procedure cookies: what GWLP_WNDPROC hands out. Each cookie is the
// address of a trap that stops the test when it is called directly; only
// CallWindowProcA turns it back into the procedure it stands for.

namespace {

constexpr int kCookieCount = 64;
WNDPROC g_cookieTargets[kCookieCount] = {};

[[noreturn]] void cookieCalled(int n) {
  std::fprintf(stderr,
               "sim: window procedure value #%d (from GetWindowLongPtrA/SetWindowLongPtrA "
               "GWLP_WNDPROC) was called directly; only CallWindowProcA may call it\n",
               n);
  std::abort();
}

template <int N>
LRESULT CALLBACK cookieTrap(HWND, UINT, WPARAM, LPARAM) {
  cookieCalled(N);
}

template <int... N>
constexpr std::array<WNDPROC, sizeof...(N)> makeCookies(std::integer_sequence<int, N...>) {
  return {&cookieTrap<N>...};
}

constexpr auto kCookies = makeCookies(std::make_integer_sequence<int, kCookieCount>{});

}  // namespace

WNDPROC cookieFor(WNDPROC proc) {
  if (!proc) return nullptr;
  for (int i = 0; i < kCookieCount; ++i) {
    if (g_cookieTargets[i] == proc) return kCookies[i];
  }
  for (int i = 0; i < kCookieCount; ++i) {
    if (!g_cookieTargets[i]) {
      g_cookieTargets[i] = proc;
      return kCookies[i];
    }
  }
  fail("too many distinct window procedures for the simulated desktop's cookies");
}

WNDPROC decodeProc(WNDPROC p) {
  for (int i = 0; i < kCookieCount; ++i) {
    if (kCookies[i] == p) return g_cookieTargets[i];
  }
  return p;
}

void resetCookies() {
  for (auto& t : g_cookieTargets) t = nullptr;
}

// ---------------------------------------------------------------------------
// Messages

LRESULT callProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  proc = decodeProc(proc);
  if (!proc) return 0;
  return proc(hwnd, message, wParam, lParam);
}

LRESULT deliver(Window* w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!w || w->destroyed) return 0;
  if (w->ours && g->logging) g->deliveries.push_back(Delivery{w->handle, message, wParam, lParam});
  return callProc(w->proc, w->handle, message, wParam, lParam);
}

LRESULT sendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return 0;
  }
  return deliver(w, message, wParam, lParam);
}

bool postMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd) {
    Window* w = live(hwnd);
    if (!w) {
      g->lastError = ERROR_INVALID_WINDOW_HANDLE;
      return false;
    }
    if (!w->ours) return true;  // another program's queue: not ours to model
  }
  Posted p;
  p.msg = MSG{hwnd, message, wParam, lParam, g->clock, POINT{0, 0}};
  g->queue.push_back(p);
  return true;
}

void postInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
               const std::array<BYTE, 256>& keys) {
  Posted p;
  p.msg = MSG{hwnd, message, wParam, lParam, g->clock, POINT{0, 0}};
  p.input = true;
  p.keys = keys;
  g->queue.push_back(p);
}

bool isDescendant(HWND ancestor, HWND h) {
  Window* w = win(h);
  while (w && w->parent) {
    if (w->parent == ancestor) return true;
    w = win(w->parent);
  }
  return false;
}

bool takeMessage(MSG* msg, HWND filter, UINT min, UINT max, bool remove, bool allowQuit) {
  Machine& m = *g;
  const bool threadOnly = filter == reinterpret_cast<HWND>(-1);
  for (auto it = m.queue.begin(); it != m.queue.end(); ++it) {
    const MSG& q = it->msg;
    if (threadOnly) {
      if (q.hwnd) continue;
    } else if (filter && q.hwnd != filter && !isDescendant(filter, q.hwnd)) {
      continue;
    }
    if ((min || max) && (q.message < min || q.message > max)) continue;
    *msg = q;
    if (remove) {
      if (it->input) m.threadKeys = it->keys;
      m.queue.erase(it);
    }
    return true;
  }
  if (allowQuit && m.quitPending) {
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(m.quitCode), 0, m.clock, POINT{0, 0}};
    if (remove) m.quitPending = false;
    return true;
  }
  return false;
}

bool translateMessage(const MSG* msg) {
  if (!msg) return false;
  const UINT t = msg->message;
  if (t != WM_KEYDOWN && t != WM_KEYUP && t != WM_SYSKEYDOWN && t != WM_SYSKEYUP) return false;
  if (t == WM_KEYDOWN || t == WM_SYSKEYDOWN) {
    const int ch = charFor(static_cast<BYTE>(msg->wParam), g->threadKeys);
    if (ch >= 0) {
      // The character comes next, ahead of anything posted earlier.
      Posted p;
      p.msg = MSG{msg->hwnd,
                  t == WM_KEYDOWN ? static_cast<UINT>(WM_CHAR) : static_cast<UINT>(WM_SYSCHAR),
                  static_cast<WPARAM>(ch),
                  msg->lParam,
                  g->clock,
                  POINT{0, 0}};
      g->queue.push_front(p);
    }
  }
  return true;
}

LRESULT dispatchMessage(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;  // a thread message goes nowhere
  Window* w = live(msg->hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return 0;
  }
  return deliver(w, msg->message, msg->wParam, msg->lParam);
}

// ---------------------------------------------------------------------------
// Geometry

RECT insets(DWORD style, DWORD exStyle) {
  int frame = 0;
  if (style & WS_THICKFRAME) {
    frame = kSizingFrame;
  } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
    frame = kFixedFrame;
  } else if (style & WS_BORDER) {
    frame = kBorder;
  }
  int edge = 0;
  if (exStyle & WS_EX_CLIENTEDGE) edge += kClientEdge;
  if (exStyle & WS_EX_STATICEDGE) edge += kStaticEdge;
  RECT r{frame + edge, frame + edge, frame + edge, frame + edge};
  if ((style & WS_CAPTION) == WS_CAPTION) r.top += kCaptionHeight;
  return r;
}

POINT clientOrigin(const Window& w) {
  const RECT s = screenRect(w);
  const RECT in = insets(w.style, w.exStyle);
  return POINT{s.left + in.left, s.top + in.top};
}

RECT screenRect(const Window& w) {
  RECT r = w.rect;
  if (w.isChild()) {
    if (Window* p = win(w.parent)) {
      const POINT o = clientOrigin(*p);
      r.left += o.x;
      r.right += o.x;
      r.top += o.y;
      r.bottom += o.y;
    }
  }
  return r;
}

RECT clientArea(const Window& w) {
  const RECT in = insets(w.style, w.exStyle);
  const LONG width = std::max<LONG>(0, (w.rect.right - w.rect.left) - in.left - in.right);
  const LONG height = std::max<LONG>(0, (w.rect.bottom - w.rect.top) - in.top - in.bottom);
  return RECT{0, 0, width, height};
}

std::string windowText(const Window& w) { return w.text; }

// ---------------------------------------------------------------------------
// Z order

HWND topLevelOf(HWND h) {
  Window* w = win(h);
  while (w && w->isChild() && w->parent) w = win(w->parent);
  return w ? w->handle : nullptr;
}

namespace {

std::vector<HWND>& siblingsOf(Window& w) {
  if (w.isChild()) {
    if (Window* p = win(w.parent)) return p->children;
  }
  return g->zOrder;
}

bool isTopmost(HWND h) {
  Window* w = win(h);
  return w && !w->isChild() && (w->exStyle & WS_EX_TOPMOST);
}

void removeFrom(std::vector<HWND>& list, HWND h) {
  list.erase(std::remove(list.begin(), list.end(), h), list.end());
}

// Places a window at the top of its band (topmost windows above the others).
void placeTop(Window& w) {
  auto& list = siblingsOf(w);
  removeFrom(list, w.handle);
  if (w.isChild() || (w.exStyle & WS_EX_TOPMOST)) {
    list.insert(list.begin(), w.handle);
    return;
  }
  auto it = std::find_if(list.begin(), list.end(), [](HWND h) { return !isTopmost(h); });
  list.insert(it, w.handle);
}

void placeBottom(Window& w) {
  auto& list = siblingsOf(w);
  removeFrom(list, w.handle);
  list.push_back(w.handle);
}

void placeAfter(Window& w, HWND after) {
  auto& list = siblingsOf(w);
  removeFrom(list, w.handle);
  auto it = std::find(list.begin(), list.end(), after);
  if (it == list.end()) {
    list.insert(list.begin(), w.handle);
  } else {
    list.insert(it + 1, w.handle);
  }
}

}  // namespace

void raise(HWND h) {
  if (Window* w = live(h)) placeTop(*w);
}

// ---------------------------------------------------------------------------
// Activation and focus

namespace {

void sendToOurTopLevels(UINT message, WPARAM wParam, LPARAM lParam) {
  std::vector<HWND> targets;
  for (HWND h : g->zOrder) {
    if (Window* w = ourLive(h)) targets.push_back(w->handle);
  }
  for (HWND h : targets) deliver(live(h), message, wParam, lParam);
}

void killFocus() {
  HWND old = g->focus;
  if (!old) return;
  g->focus = nullptr;
  deliver(live(old), WM_KILLFOCUS, 0, 0);
}

}  // namespace

void activate(HWND target, int how, bool raiseIt) {
  Machine& m = *g;
  Window* t = live(target);
  if (t && t->isChild()) {
    target = topLevelOf(target);
    t = live(target);
  }
  if (raiseIt && t) placeTop(*t);
  const HWND old = m.foreground;
  if (old == target) return;
  Window* o = live(old);
  const bool oldOurs = o && o->ours;
  const bool newOurs = t && t->ours;
  m.foreground = target;
  if (oldOurs) {
    deliver(o, WM_NCACTIVATE, FALSE, 0);
    deliver(o, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, (o->style & WS_MINIMIZE) ? 1 : 0), H(target));
  }
  if (oldOurs && !newOurs) {
    sendToOurTopLevels(WM_ACTIVATEAPP, FALSE, 0);
    killFocus();
  }
  if (!oldOurs && newOurs) {
    m.threadKeys = m.physical;  // the keyboard state catches up with the program
    sendToOurTopLevels(WM_ACTIVATEAPP, TRUE, 0);
  }
  if (newOurs && m.foreground == target) {
    deliver(t, WM_NCACTIVATE, TRUE, 0);
    deliver(t, WM_ACTIVATE, MAKEWPARAM(how, (t->style & WS_MINIMIZE) ? 1 : 0), H(old));
    // Nobody took the focus into the new active window: it leaves the old one.
    if (m.foreground == target && m.focus && m.focus != target && !isDescendant(target, m.focus)) {
      killFocus();
    }
  }
}

void activateNext(Window* leaving) {
  Machine& m = *g;
  if (!leaving || m.foreground != leaving->handle) return;
  auto usable = [&](Window* w) {
    return w && w != leaving && !w->destroying && (w->style & WS_VISIBLE) &&
           !(w->style & WS_DISABLED) && !(w->style & WS_MINIMIZE);
  };
  HWND next = nullptr;
  if (Window* ow = live(leaving->owner); usable(ow)) next = ow->handle;
  if (!next) {
    for (HWND h : m.zOrder) {
      if (usable(live(h))) {
        next = h;
        break;
      }
    }
  }
  activate(next, WA_ACTIVE, false);
}

HWND setFocus(HWND hwnd) {
  Machine& m = *g;
  if (!hwnd) {
    const HWND old = m.focus;
    killFocus();
    return old;
  }
  Window* w = live(hwnd);
  if (!w) {
    m.lastError = ERROR_INVALID_WINDOW_HANDLE;
    return nullptr;
  }
  if (!w->ours) {
    m.lastError = ERROR_ACCESS_DENIED;
    return nullptr;
  }
  const HWND top = topLevelOf(hwnd);
  const HWND before = m.focus;
  if (m.foreground != top) activate(top, WA_ACTIVE, true);
  if (!live(hwnd)) return nullptr;
  const HWND old = m.focus;
  if (old == hwnd) return before;
  // The focus moves first: during WM_KILLFOCUS, GetFocus already names the new window.
  m.focus = hwnd;
  if (old) deliver(live(old), WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (m.focus == hwnd) deliver(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return before;
}

bool enableWindow(Window* w, bool enable) {
  const bool wasDisabled = (w->style & WS_DISABLED) != 0;
  if (enable == !wasDisabled) return wasDisabled;
  if (enable) {
    w->style &= ~static_cast<DWORD>(WS_DISABLED);
  } else {
    w->style |= WS_DISABLED;
    deliver(w, WM_CANCELMODE, 0, 0);
  }
  deliver(w, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

// ---------------------------------------------------------------------------
// Showing

bool showWindow(Window* w, int command) {
  const bool was = (w->style & WS_VISIBLE) != 0;
  const bool topLevel = !w->isChild();
  auto show = [&] {
    if (!(w->style & WS_VISIBLE)) {
      deliver(w, WM_SHOWWINDOW, TRUE, 0);
      w->style |= WS_VISIBLE;
    }
  };
  switch (command) {
    case SW_HIDE:
      if (!was) return false;
      deliver(w, WM_SHOWWINDOW, FALSE, 0);
      w->style &= ~static_cast<DWORD>(WS_VISIBLE);
      if (topLevel) activateNext(w);
      return true;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
      show();
      if (command == SW_SHOWNOACTIVATE) w->style &= ~static_cast<DWORD>(WS_MINIMIZE);
      return was;
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
    case SW_SHOWMINNOACTIVE:
      show();
      w->style |= WS_MINIMIZE;
      if (topLevel) activateNext(w);
      return was;
    case SW_SHOWMINIMIZED:
      show();
      w->style |= WS_MINIMIZE;
      if (topLevel && w->ours) activate(w->handle, WA_ACTIVE, true);
      return was;
    default:  // SW_SHOW, SW_SHOWNORMAL, SW_RESTORE, SW_SHOWMAXIMIZED, SW_SHOWDEFAULT
      show();
      if (command != SW_SHOW) w->style &= ~static_cast<DWORD>(WS_MINIMIZE);
      if (topLevel && w->ours) activate(w->handle, WA_ACTIVE, true);
      return was;
  }
}

// ---------------------------------------------------------------------------
// Destruction

namespace {

void markDestroying(Window* w) {
  w->destroying = true;
  for (HWND c : w->children) {
    if (Window* cw = live(c)) markDestroying(cw);
  }
}

void sendDestroy(Window* w) {
  deliver(w, WM_DESTROY, 0, 0);
  const std::vector<HWND> kids = w->children;
  for (HWND c : kids) {
    if (Window* cw = live(c)) sendDestroy(cw);
  }
}

void forget(Window* w) {
  Machine& m = *g;
  const HWND h = w->handle;
  w->destroyed = true;
  if (m.focus == h) m.focus = nullptr;
  if (m.foreground == h) m.foreground = nullptr;
  std::erase_if(m.queue, [h](const Posted& p) { return p.msg.hwnd == h; });
  std::erase_if(m.hotkeys, [h](const Hotkey& k) { return !k.otherProgram && k.hwnd == h; });
  if (m.clipOwner == h) m.clipOwner = nullptr;
  if (m.clipOpener == Machine::Opener::Program && m.clipOpenWindow == h) m.clipOpenWindow = nullptr;
}

void sendNcDestroy(Window* w) {
  const std::vector<HWND> kids = w->children;
  for (HWND c : kids) {
    if (Window* cw = live(c)) sendNcDestroy(cw);
  }
  deliver(w, WM_NCDESTROY, 0, 0);
  forget(w);
}

}  // namespace

bool destroyWindow(Window* w) {
  Machine& m = *g;
  if (w->destroying) return true;
  // Owned windows go first, each completely.
  std::vector<HWND> owned;
  for (HWND h : m.zOrder) {
    if (Window* o = live(h); o && o->owner == w->handle) owned.push_back(h);
  }
  for (HWND h : owned) {
    if (Window* o = live(h)) destroyWindow(o);
  }
  markDestroying(w);
  w->style &= ~static_cast<DWORD>(WS_VISIBLE);
  if (!w->isChild()) activateNext(w);
  if (m.focus && (m.focus == w->handle || isDescendant(w->handle, m.focus))) killFocus();
  sendDestroy(w);
  sendNcDestroy(w);
  if (w->isChild()) {
    if (Window* p = win(w->parent)) removeFrom(p->children, w->handle);
  } else {
    removeFrom(m.zOrder, w->handle);
  }
  return true;
}

// When the process ends its windows vanish without a message.
void endProcessWindows() {
  Machine& m = *g;
  for (auto& w : m.windows) {
    if (w->ours && !w->destroyed) {
      w->destroyed = true;
      w->destroying = true;
    }
  }
  std::erase_if(m.zOrder, [](HWND h) { return !live(h); });
  if (!live(m.foreground)) m.foreground = nullptr;
  m.focus = nullptr;
  m.queue.clear();
  m.quitPending = false;
  std::erase_if(m.hotkeys, [](const Hotkey& k) { return !k.otherProgram; });
  if (m.clipOpener == Machine::Opener::Program) {
    m.clipOpener = Machine::Opener::None;
    m.clipOpenWindow = nullptr;
  }
}

// ---------------------------------------------------------------------------
// DefWindowProcA

LRESULT defWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = live(hwnd);
  if (!w) return 0;
  switch (message) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_CLOSE:
      destroyWindow(w);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          if (!(w->classStyle & CS_NOCLOSE)) sendMessage(hwnd, WM_CLOSE, 0, 0);
          return 0;
        case SC_MINIMIZE:
          showWindow(w, SW_MINIMIZE);
          return 0;
        case SC_RESTORE:
          showWindow(w, SW_RESTORE);
          return 0;
        default:
          return 0;
      }
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (lParam & (1 << 29))) {
        sendMessage(topLevelOf(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) setFocus(hwnd);
      return 0;
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      return TRUE;
    case WM_GETTEXT: {
      if (wParam == 0 || !lParam) return 0;
      const std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
      char* out = reinterpret_cast<char*>(lParam);
      std::memcpy(out, w->text.data(), n);
      out[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_SETICON: {
      HICON icon = reinterpret_cast<HICON>(lParam);
      HICON old;
      if (wParam == ICON_BIG) {
        old = w->iconBig;
        w->iconBig = icon;
      } else {
        old = w->iconSmall;
        w->iconSmall = icon;
      }
      return H(old);
    }
    case WM_GETICON:
      if (wParam == ICON_BIG) return H(w->iconBig);
      if (wParam == ICON_SMALL) return H(w->iconSmall);
      return H(w->iconSmall ? w->iconSmall : w->iconBig);
    case WM_NCACTIVATE:
      return TRUE;
    case WM_ERASEBKGND: {
      HBRUSH brush = w->classBackground;
      if (!brush || !brushColor(brush)) return 0;
      const RECT client = clientArea(*w);
      fillRect(reinterpret_cast<HDC>(wParam), &client, brush);
      return 1;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      const bool window = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
      setTextColor(dc, g->sysColors[COLOR_WINDOWTEXT]);
      setBkColor(dc, g->sysColors[window ? COLOR_WINDOW : COLOR_BTNFACE]);
      return H(sysColorBrush(window ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_QUERYENDSESSION:
      return TRUE;
    default:
      return 0;
  }
}

// A window of another program: it answers its text, nothing else.
LRESULT CALLBACK otherProgramProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_NCCREATE:
      return defWindowProc(hwnd, message, wParam, lParam);
    default:
      return 0;
  }
}

}  // namespace sim::detail

// ===========================================================================
// The Win32 face

using namespace sim::detail;

namespace {

WindowClass* findClass(LPCSTR name) {
  Machine& m = *g;
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) {
    const ATOM atom = LOWORD(reinterpret_cast<std::uintptr_t>(name));
    for (auto& c : m.classes) {
      if (c->atom == atom) return c.get();
    }
    return nullptr;
  }
  const std::string_view n(name);
  for (auto& c : m.classes) {
    if (c->name.size() == n.size() &&
        std::equal(n.begin(), n.end(), c->name.begin(), [](char a, char b) {
          return std::toupper(static_cast<unsigned char>(a)) ==
                 std::toupper(static_cast<unsigned char>(b));
        })) {
      return c.get();
    }
  }
  return nullptr;
}

std::string textArg(LPCSTR s) {
  if (!s) return {};
  if (IS_INTRESOURCE(s)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(s));
  return s;
}

ATOM registerClass(const WNDCLASSEXA& wc) {
  Machine& m = *g;
  if (!wc.lpszClassName || !wc.lpfnWndProc) {
    m.lastError = ERROR_INVALID_PARAMETER;
    return 0;
  }
  if (WindowClass* c = findClass(wc.lpszClassName); c && !c->builtin) {
    m.lastError = ERROR_CLASS_ALREADY_EXISTS;
    return 0;
  }
  auto c = std::make_unique<WindowClass>();
  c->name = textArg(wc.lpszClassName);
  c->style = wc.style;
  c->proc = decodeProc(wc.lpfnWndProc);
  c->clsExtra = wc.cbClsExtra;
  c->wndExtra = wc.cbWndExtra;
  c->instance = wc.hInstance;
  c->icon = wc.hIcon;
  c->iconSmall = wc.hIconSm;
  c->cursor = wc.hCursor;
  c->background = wc.hbrBackground;
  c->atom = m.nextAtom++;
  m.classes.insert(m.classes.begin(), std::move(c));  // found before a built-in of the same name
  return m.classes.front()->atom;
}

}  // namespace

DWORD WINAPI GetLastError() { return M().lastError; }
void WINAPI SetLastError(DWORD code) { M().lastError = code; }

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
  log("RegisterClassA", {}, wc ? textArg(wc->lpszClassName) : std::string());
  if (!wc) return 0;
  WNDCLASSEXA ex{sizeof(WNDCLASSEXA), wc->style,        wc->lpfnWndProc,   wc->cbClsExtra,
                 wc->cbWndExtra,      wc->hInstance,    wc->hIcon,         wc->hCursor,
                 wc->hbrBackground,   wc->lpszMenuName, wc->lpszClassName, nullptr};
  return registerClass(ex);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
  log("RegisterClassExA", {}, wc ? textArg(wc->lpszClassName) : std::string());
  if (!wc || wc->cbSize != sizeof(WNDCLASSEXA)) {
    M().lastError = ERROR_INVALID_PARAMETER;
    return 0;
  }
  return registerClass(*wc);
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
  log("UnregisterClassA", {H(instance)}, textArg(className));
  Machine& m = *g;
  WindowClass* c = findClass(className);
  if (!c || c->builtin) {
    m.lastError = ERROR_CLASS_DOES_NOT_EXIST;
    return FALSE;
  }
  std::erase_if(m.classes, [c](const std::unique_ptr<WindowClass>& p) { return p.get() == c; });
  return TRUE;
}

BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA wc) {
  log("GetClassInfoA", {H(instance)}, textArg(className));
  WindowClass* c = findClass(className);
  if (!c || !wc) {
    M().lastError = ERROR_CLASS_DOES_NOT_EXIST;
    return FALSE;
  }
  *wc = WNDCLASSA{c->style, cookieFor(c->proc), c->clsExtra,   c->wndExtra, c->instance,
                  c->icon,  c->cursor,          c->background, nullptr,     className};
  return TRUE;
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR buffer, int size) {
  log("GetClassNameA", {H(hwnd), size});
  Window* w = live(hwnd);
  if (!w || !buffer || size <= 0) {
    M().lastError = ERROR_INVALID_WINDOW_HANDLE;
    return 0;
  }
  const std::size_t n =
      std::min<std::size_t>(w->className.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, w->className.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
  log("CreateWindowExA",
      {static_cast<intptr_t>(exStyle), static_cast<intptr_t>(style), x, y, width, height, H(parent),
       H(menu)},
      textArg(className) + "|" + textArg(windowName));
  Machine& m = *g;
  ++m.createCalls;
  if (m.failCreateCountdown > 0 && --m.failCreateCountdown == 0) {
    m.lastError = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  WindowClass* c = findClass(className);
  if (!c) {
    m.lastError = ERROR_CANNOT_FIND_WND_CLASS;
    return nullptr;
  }
  Window* p = nullptr;
  if (parent && parent != HWND_MESSAGE) {
    p = live(parent);
    if (!p) {
      m.lastError = ERROR_INVALID_WINDOW_HANDLE;
      return nullptr;
    }
  }
  if ((style & WS_CHILD) && !p) {
    m.lastError = ERROR_TLW_WITH_WSCHILD;
    return nullptr;
  }
  Window& w = newWindow();
  w.kind = c->kind;
  w.className = c->name;
  w.classStyle = c->style;
  w.classBackground = c->background;
  w.proc = c->proc;
  w.style = style & ~static_cast<DWORD>(WS_VISIBLE);
  if (!(style & WS_CHILD)) w.style |= WS_CLIPSIBLINGS;
  if (!(style & (WS_CHILD | WS_POPUP)))
    w.style |= WS_CAPTION;  // an overlapped window has a caption
  w.exStyle = exStyle;
  if ((w.style & WS_CAPTION) == WS_CAPTION || (w.style & WS_DLGFRAME) ||
      (exStyle & WS_EX_DLGMODALFRAME)) {
    w.exStyle |= WS_EX_WINDOWEDGE;
  }
  w.instance = instance;
  w.programCreated = true;
  w.extra.assign(static_cast<std::size_t>(std::max(0, c->wndExtra)), 0);
  if (w.kind == WindowKind::Edit && (style & ES_MULTILINE)) w.limit = 32767;
  if (style & WS_CHILD) {
    w.parent = parent;
    w.id = reinterpret_cast<UINT_PTR>(menu);
  } else if (p) {
    w.owner = topLevelOf(parent);
  }
  const int sw = m.options.screenWidth;
  const int sh = m.options.screenHeight;
  if (x == CW_USEDEFAULT) {
    x = (style & WS_CHILD) ? 0 : 32;
    y = (style & WS_CHILD) ? 0 : 32;
  }
  if (width == CW_USEDEFAULT) {
    width = (style & WS_CHILD) ? 0 : sw * 3 / 4;
    height = (style & WS_CHILD) ? 0 : sh * 3 / 4;
  }
  w.rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
  // A new child goes to the bottom of its siblings; a new top-level window to the top of its band.
  if (style & WS_CHILD) {
    p->children.push_back(w.handle);
  } else {
    m.zOrder.push_back(w.handle);
    raise(w.handle);
  }
  CREATESTRUCTA cs{
      param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
      windowName, className, exStyle};
  const HWND h = w.handle;
  if (!deliver(&w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (Window* ww = live(h)) destroyWindow(ww);
    m.lastError = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  if (!live(h)) return nullptr;
  if (deliver(&w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (Window* ww = live(h)) destroyWindow(ww);
    return nullptr;
  }
  if (!live(h)) return nullptr;
  if (style & WS_VISIBLE) showWindow(&w, SW_SHOW);
  if (style & WS_MINIMIZE) w.style |= WS_MINIMIZE;
  return h;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  log("DefWindowProcA", {H(hwnd), message, static_cast<intptr_t>(wParam), lParam});
  return defWindowProc(hwnd, message, wParam, lParam);
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam,
                               LPARAM lParam) {
  log("CallWindowProcA", {H(hwnd), message, static_cast<intptr_t>(wParam), lParam});
  M();
  return callProc(proc, hwnd, message, wParam, lParam);
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
  log("DestroyWindow", {H(hwnd)});
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return FALSE;
  }
  if (!w->ours) {
    g->lastError = ERROR_ACCESS_DENIED;
    return FALSE;
  }
  return destroyWindow(w);
}

BOOL WINAPI IsWindow(HWND hwnd) {
  log("IsWindow", {H(hwnd)});
  return live(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
  log("IsWindowVisible", {H(hwnd)});
  for (Window* w = live(hwnd); w; w = w->isChild() ? live(w->parent) : nullptr) {
    if (!(w->style & WS_VISIBLE)) return FALSE;
    if (!w->isChild()) return TRUE;
  }
  return FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
  log("IsWindowEnabled", {H(hwnd)});
  Window* w = live(hwnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
  log("EnableWindow", {H(hwnd), enable});
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return FALSE;
  }
  return enableWindow(w, enable != FALSE) ? TRUE : FALSE;
}

BOOL WINAPI IsChild(HWND parent, HWND hwnd) {
  log("IsChild", {H(parent), H(hwnd)});
  return live(parent) && live(hwnd) && isDescendant(parent, hwnd) ? TRUE : FALSE;
}

BOOL WINAPI IsIconic(HWND hwnd) {
  log("IsIconic", {H(hwnd)});
  Window* w = live(hwnd);
  return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

HWND WINAPI GetParent(HWND hwnd) {
  log("GetParent", {H(hwnd)});
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return nullptr;
  }
  if (w->isChild()) return w->parent;
  if (w->style & WS_POPUP) return w->owner;
  return nullptr;
}

HWND WINAPI GetAncestor(HWND hwnd, UINT flags) {
  log("GetAncestor", {H(hwnd), flags});
  Window* w = live(hwnd);
  if (!w) return nullptr;
  switch (flags) {
    case GA_PARENT:
      return w->isChild() ? w->parent : GetDesktopWindow();
    case GA_ROOT:
      return topLevelOf(hwnd);
    case GA_ROOTOWNER: {
      Window* r = live(topLevelOf(hwnd));
      while (r && r->owner && live(r->owner)) r = live(r->owner);
      return r ? r->handle : nullptr;
    }
    default:
      return nullptr;
  }
}

HWND WINAPI GetDesktopWindow() { return reinterpret_cast<HWND>(kWindowBase - 4); }

HWND WINAPI GetWindow(HWND hwnd, UINT command) {
  log("GetWindow", {H(hwnd), command});
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return nullptr;
  }
  const std::vector<HWND>& sib =
      w->isChild() && live(w->parent) ? live(w->parent)->children : g->zOrder;
  auto it = std::find(sib.begin(), sib.end(), hwnd);
  switch (command) {
    case GW_CHILD:
      return w->children.empty() ? nullptr : w->children.front();
    case GW_HWNDFIRST:
      return sib.empty() ? nullptr : sib.front();
    case GW_HWNDLAST:
      return sib.empty() ? nullptr : sib.back();
    case GW_HWNDNEXT:
      return it == sib.end() || it + 1 == sib.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
      return it == sib.end() || it == sib.begin() ? nullptr : *(it - 1);
    case GW_OWNER:
      return w->owner;
    case GW_ENABLEDPOPUP:
      return nullptr;
    default:
      g->lastError = ERROR_INVALID_GW_COMMAND;
      return nullptr;
  }
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
  log("GetDlgItem", {H(dialog), id});
  Window* w = live(dialog);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return nullptr;
  }
  for (HWND c : w->children) {
    if (Window* cw = live(c); cw && cw->id == static_cast<UINT_PTR>(static_cast<unsigned>(id)))
      return c;
  }
  return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
  log("GetDlgCtrlID", {H(hwnd)});
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return 0;
  }
  return w->isChild() ? static_cast<int>(w->id) : 0;
}

namespace {

LONG_PTR getLong(HWND hwnd, int index) {
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return 0;
  }
  switch (index) {
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(cookieFor(w->proc));
    case GWLP_HINSTANCE:
      return H(w->instance);
    case GWLP_HWNDPARENT:
      return H(w->isChild() ? w->parent : w->owner);
    case GWLP_ID:
      return static_cast<LONG_PTR>(w->id);
    case GWLP_USERDATA:
      return w->userData;
    case GWL_STYLE:
      return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(w->exStyle);
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        LONG_PTR v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
      }
      g->lastError = ERROR_INVALID_INDEX;
      return 0;
  }
}

LONG_PTR setLong(HWND hwnd, int index, LONG_PTR value) {
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return 0;
  }
  if (!w->ours) {
    g->lastError = ERROR_ACCESS_DENIED;
    return 0;
  }
  LONG_PTR old = 0;
  switch (index) {
    case GWLP_WNDPROC: {
      old = reinterpret_cast<LONG_PTR>(cookieFor(w->proc));
      WNDPROC p = decodeProc(reinterpret_cast<WNDPROC>(value));
      if (!p) {
        g->lastError = ERROR_INVALID_PARAMETER;
        return 0;
      }
      w->proc = p;
      return old;
    }
    case GWLP_HINSTANCE:
      old = H(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    case GWLP_HWNDPARENT:
      old = H(w->owner);
      if (!w->isChild()) w->owner = reinterpret_cast<HWND>(value);
      return old;
    case GWLP_ID:
      old = static_cast<LONG_PTR>(w->id);
      w->id = static_cast<UINT_PTR>(value);
      return old;
    case GWLP_USERDATA:
      old = w->userData;
      w->userData = value;
      return old;
    case GWL_STYLE: {
      old = static_cast<LONG>(w->style);
      w->style = static_cast<DWORD>(value);
      return old;
    }
    case GWL_EXSTYLE: {
      old = static_cast<LONG>(w->exStyle);
      // Topmost is a Z order matter: only SetWindowPos changes it.
      w->exStyle = (static_cast<DWORD>(value) & ~static_cast<DWORD>(WS_EX_TOPMOST)) |
                   (w->exStyle & WS_EX_TOPMOST);
      return old;
    }
    default:
      if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        std::memcpy(&old, w->extra.data() + index, sizeof old);
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
      }
      g->lastError = ERROR_INVALID_INDEX;
      return 0;
  }
}

}  // namespace

LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
  log("GetWindowLongA", {H(hwnd), index});
  if (index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT ||
      index == GWLP_USERDATA) {
    g->lastError = ERROR_INVALID_INDEX;  // pointer-sized: GetWindowLongPtrA on 64-bit Windows
    return 0;
  }
  return static_cast<LONG>(getLong(hwnd, index));
}

LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
  log("SetWindowLongA", {H(hwnd), index, value});
  if (index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT ||
      index == GWLP_USERDATA) {
    g->lastError = ERROR_INVALID_INDEX;
    return 0;
  }
  if (index == GWL_STYLE || index == GWL_EXSTYLE) {
    return static_cast<LONG>(
        setLong(hwnd, index, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
  }
  return static_cast<LONG>(setLong(hwnd, index, value));
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
  log("GetWindowLongPtrA", {H(hwnd), index});
  return getLong(hwnd, index);
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  log("SetWindowLongPtrA", {H(hwnd), index, value});
  if (index == GWL_STYLE || index == GWL_EXSTYLE) {
    return setLong(hwnd, index, static_cast<LONG_PTR>(static_cast<DWORD>(value)));
  }
  return setLong(hwnd, index, value);
}

namespace {

bool setWindowPos(Window* w, HWND after, int x, int y, int cx, int cy, UINT flags) {
  const RECT old = w->rect;
  RECT r = old;
  if (!(flags & SWP_NOMOVE)) {
    r.right = x + (r.right - r.left);
    r.bottom = y + (r.bottom - r.top);
    r.left = x;
    r.top = y;
  }
  if (!(flags & SWP_NOSIZE)) {
    r.right = r.left + std::max(0, cx);
    r.bottom = r.top + std::max(0, cy);
  }
  w->rect = r;
  if (!(flags & SWP_NOZORDER)) {
    if (after == HWND_TOPMOST) {
      if (!w->isChild()) w->exStyle |= WS_EX_TOPMOST;
      placeTop(*w);
    } else if (after == HWND_NOTOPMOST) {
      if (!w->isChild()) w->exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
      placeTop(*w);
    } else if (after == HWND_TOP) {
      placeTop(*w);
    } else if (after == HWND_BOTTOM) {
      if (!w->isChild()) w->exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
      placeBottom(*w);
    } else if (live(after) && after != w->handle) {
      placeAfter(*w, after);
    }
  }
  if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (flags & SWP_HIDEWINDOW) {
    w->style &= ~static_cast<DWORD>(WS_VISIBLE);
    if (!w->isChild()) activateNext(w);
  }
  if (old.left != r.left || old.top != r.top) {
    const RECT c = insets(w->style, w->exStyle);
    deliver(w, WM_MOVE, 0, MAKELPARAM(r.left + c.left, r.top + c.top));
  }
  if ((old.right - old.left) != (r.right - r.left) ||
      (old.bottom - old.top) != (r.bottom - r.top)) {
    const RECT c = clientArea(*w);
    deliver(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.right, c.bottom));
  }
  if (!(flags & SWP_NOACTIVATE) && !w->isChild() && w->ours && (w->style & WS_VISIBLE)) {
    activate(w->handle, WA_ACTIVE, false);
  }
  return true;
}

}  // namespace

BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
  log("SetWindowPos", {H(hwnd), H(after), x, y, cx, cy, flags});
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return FALSE;
  }
  return setWindowPos(w, after, x, y, cx, cy, flags) ? TRUE : FALSE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  log("MoveWindow", {H(hwnd), x, y, width, height, repaint});
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return FALSE;
  }
  return setWindowPos(w, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE) ? TRUE
                                                                                      : FALSE;
}

BOOL WINAPI ShowWindow(HWND hwnd, int command) {
  log("ShowWindow", {H(hwnd), command});
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return FALSE;
  }
  return showWindow(w, command) ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
  log("UpdateWindow", {H(hwnd)});
  return live(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  if (rect) {
    log("InvalidateRect", {H(hwnd), rect->left, rect->top, rect->right, rect->bottom, erase});
  } else {
    log("InvalidateRect", {H(hwnd), erase});
  }
  return !hwnd || live(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
  log("GetWindowRect", {H(hwnd)});
  Window* w = live(hwnd);
  if (!w || !rect) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return FALSE;
  }
  *rect = screenRect(*w);
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
  log("GetClientRect", {H(hwnd)});
  Window* w = live(hwnd);
  if (!w || !rect) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return FALSE;
  }
  *rect = clientArea(*w);
  return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
  log("AdjustWindowRectEx", {static_cast<intptr_t>(style), menu, static_cast<intptr_t>(exStyle)});
  if (!rect) return FALSE;
  const RECT in = insets(style, exStyle);
  rect->left -= in.left;
  rect->top -= in.top + (menu ? kMenuHeight : 0);
  rect->right += in.right;
  rect->bottom += in.bottom;
  return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) {
  return AdjustWindowRectEx(rect, style, menu, 0);
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
  log("ClientToScreen", {H(hwnd)});
  Window* w = live(hwnd);
  if (!w || !point) return FALSE;
  const POINT o = clientOrigin(*w);
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point) {
  log("ScreenToClient", {H(hwnd)});
  Window* w = live(hwnd);
  if (!w || !point) return FALSE;
  const POINT o = clientOrigin(*w);
  point->x -= o.x;
  point->y -= o.y;
  return TRUE;
}

int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  log("MapWindowPoints", {H(from), H(to), count});
  POINT a{0, 0}, b{0, 0};
  if (Window* f = live(from)) a = clientOrigin(*f);
  if (Window* t = live(to)) b = clientOrigin(*t);
  const LONG dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

int WINAPI GetSystemMetrics(int index) {
  log("GetSystemMetrics", {index});
  const Machine& m = M();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
      return m.options.screenWidth;
    case SM_CYSCREEN:
      return m.options.screenHeight;
    case SM_CYFULLSCREEN:
      return m.options.screenHeight - kCaptionHeight;
    case SM_CYCAPTION:
      return kCaptionHeight;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return kBorder;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME:
      return kFixedFrame;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return kSizingFrame;
    case SM_CXEDGE:
    case SM_CYEDGE:
      return kClientEdge;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return 17;
    case SM_CYMENU:
      return kMenuHeight;
    case SM_CYSMCAPTION:
      return 19;
    case SM_CXMIN:
      return 132;
    case SM_CYMIN:
      return 38;
    case SM_CXPADDEDBORDER:
      return 0;
    default:
      return 0;
  }
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT param, LPVOID data, UINT winIni) {
  log("SystemParametersInfoA", {action, param, H(data), winIni});
  if (action == SPI_GETWORKAREA && data) {
    *static_cast<RECT*>(data) = RECT{0, 0, g->options.screenWidth, g->options.screenHeight};
    return TRUE;
  }
  return FALSE;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
  log("GetWindowTextA", {H(hwnd), size});
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    if (buffer && size > 0) buffer[0] = '\0';
    return 0;
  }
  if (!buffer || size <= 0) return 0;
  if (w->ours)
    return static_cast<int>(
        sendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
  return static_cast<int>(
      defWindowProc(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthA(HWND hwnd) {
  log("GetWindowTextLengthA", {H(hwnd)});
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return 0;
  }
  if (w->ours) return static_cast<int>(sendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
  return static_cast<int>(w->text.size());
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
  log("SetWindowTextA", {H(hwnd)}, text ? text : "");
  Window* w = live(hwnd);
  if (!w) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return FALSE;
  }
  return sendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  log("SendMessageA", {H(hwnd), message, static_cast<intptr_t>(wParam), lParam});
  M();
  return sendMessage(hwnd, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  log("PostMessageA", {H(hwnd), message, static_cast<intptr_t>(wParam), lParam});
  return postMessage(hwnd, message, wParam, lParam) ? TRUE : FALSE;
}

namespace {

// The program ended or failed: nothing it does may carry on as if it had not.
void stopIfOver() {
  if (g->failure) throw sim::Failure(*g->failure);
}

}  // namespace

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  log("GetMessageA", {H(hwnd), filterMin, filterMax});
  Machine& m = M();
  stopIfOver();
  if (m.failGetMessage) {
    m.failGetMessage = false;
    m.lastError = ERROR_NOT_ENOUGH_MEMORY;
    return -1;
  }
  if (!msg || (hwnd && hwnd != reinterpret_cast<HWND>(-1) && !live(hwnd))) {
    m.lastError = msg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER;
    return -1;
  }
  for (;;) {
    if (takeMessage(msg, hwnd, filterMin, filterMax, true, true)) {
      return msg->message == WM_QUIT ? FALSE : TRUE;
    }
    if (m.idle.empty()) {
      fail("the program would wait forever: GetMessageA found no message and no idle step is left");
    }
    auto step = std::move(m.idle.front());
    m.idle.pop_front();
    try {
      step();
    } catch (const std::exception& e) {
      fail(std::string("an idle step failed: ") + e.what());
    }
    stopIfOver();
  }
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  log("PeekMessageA", {H(hwnd), filterMin, filterMax, removeMsg});
  M();
  stopIfOver();
  if (!msg) return FALSE;
  return takeMessage(msg, hwnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0, true) ? TRUE
                                                                                          : FALSE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
  log("TranslateMessage", {msg ? H(msg->hwnd) : 0, msg ? static_cast<intptr_t>(msg->message) : 0});
  M();
  return translateMessage(msg) ? TRUE : FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  log("DispatchMessageA", {msg ? H(msg->hwnd) : 0, msg ? static_cast<intptr_t>(msg->message) : 0});
  M();
  return dispatchMessage(msg);
}

void WINAPI PostQuitMessage(int exitCode) {
  log("PostQuitMessage", {exitCode});
  Machine& m = M();
  m.quitPending = true;
  m.quitCode = exitCode;
}

HWND WINAPI GetFocus() {
  log("GetFocus", {});
  // The focus of the program's thread: it stays through the deactivating
  // WM_ACTIVATE and goes only with the WM_KILLFOCUS that follows.
  Machine& m = M();
  Window* f = live(m.focus);
  return f && f->ours ? m.focus : nullptr;
}

HWND WINAPI SetFocus(HWND hwnd) {
  log("SetFocus", {H(hwnd)});
  M();
  return setFocus(hwnd);
}

HWND WINAPI GetActiveWindow() {
  log("GetActiveWindow", {});
  Window* f = live(M().foreground);
  return f && f->ours ? f->handle : nullptr;
}

HWND WINAPI SetActiveWindow(HWND hwnd) {
  log("SetActiveWindow", {H(hwnd)});
  Machine& m = M();
  Window* w = live(hwnd);
  if (hwnd && (!w || !w->ours)) {
    m.lastError = w ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE;
    return nullptr;
  }
  Window* f = live(m.foreground);
  const HWND old = f && f->ours ? f->handle : nullptr;
  activate(hwnd ? topLevelOf(hwnd) : nullptr, WA_ACTIVE, true);
  return old;
}

HWND WINAPI GetForegroundWindow() {
  log("GetForegroundWindow", {});
  return M().foreground;
}

BOOL WINAPI SetForegroundWindow(HWND hwnd) {
  log("SetForegroundWindow", {H(hwnd)});
  M();
  Window* w = live(hwnd);
  if (!w) return FALSE;
  activate(topLevelOf(hwnd), WA_ACTIVE, true);
  return TRUE;
}

void WINAPI ExitProcess(UINT exitCode) {
  log("ExitProcess", {static_cast<intptr_t>(exitCode)});
  throw sim::ProcessExit(exitCode);
}

void WINAPI Sleep(DWORD milliseconds) {
  log("Sleep", {static_cast<intptr_t>(milliseconds)});
  M().clock += milliseconds;
}

DWORD WINAPI GetTickCount() {
  log("GetTickCount", {});
  return M().clock;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
  log("GetModuleHandleA", {}, name ? name : "");
  M();
  if (!name) return reinterpret_cast<HMODULE>(kProgramModule);
  g->lastError = ERROR_MOD_NOT_FOUND;
  return nullptr;
}

int WINAPI lstrlenA(LPCSTR text) { return text ? static_cast<int>(std::strlen(text)) : 0; }
