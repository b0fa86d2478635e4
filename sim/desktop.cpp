// The driver face: the test as the user and as the rest of the machine.
#include "sim/desktop.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "sim/machine.h"

namespace sim {

using namespace detail;

namespace {

Machine& machine() {
  if (!g) throw std::logic_error("no sim::Desktop exists");
  return *g;
}

// Runs a driver action that may run the program's code. Outside run() a
// scenario failure reaches the test as std::runtime_error; inside, it travels on
// to run(), which reports it.
template <typename F>
auto guarded(F&& f) -> decltype(f()) {
  if (machine().running) return f();
  try {
    return f();
  } catch (const Failure& e) {
    throw std::runtime_error(e.what());
  }
}

Window& known(HWND h) {
  Window* w = win(h);
  if (!w) throw std::logic_error("not a window of the simulated desktop");
  return *w;
}

Window& edit(HWND h) {
  Window& w = known(h);
  if (w.kind != WindowKind::Edit) throw std::logic_error("not an EDIT window");
  return w;
}

void addBuiltinClass(const char* name, WNDPROC proc, WindowKind kind, UINT style) {
  auto c = std::make_unique<WindowClass>();
  c->name = name;
  c->proc = proc;
  c->kind = kind;
  c->style = style;
  c->builtin = true;
  c->atom = g->nextAtom++;
  g->classes.push_back(std::move(c));
}

}  // namespace

Desktop::Desktop(Options options) {
  if (g) throw std::logic_error("only one sim::Desktop may exist at a time");
  g = new Machine();
  g->options = options;
  resetCookies();
  initGdi();
  addBuiltinClass("EDIT", &editProc, WindowKind::Edit, CS_DBLCLKS | CS_PARENTDC);
}

Desktop::~Desktop() {
  delete g;
  g = nullptr;
  resetCookies();
}

int Desktop::run(int (*entry)()) {
  Machine& m = machine();
  if (m.ran) throw std::logic_error("Desktop::run may be called once per Desktop");
  m.ran = true;
  m.running = true;
  int code = 0;
  std::optional<std::string> error;
  try {
    code = entry();
  } catch (const ProcessExit& e) {
    code = static_cast<int>(e.code());
  } catch (const Failure& f) {
    error = f.what();
  } catch (...) {
    m.running = false;
    m.exited = true;
    endProcessWindows();
    throw;
  }
  m.running = false;
  m.exited = true;
  endProcessWindows();
  if (m.failure) throw std::runtime_error(*m.failure);
  if (error) throw std::runtime_error(*error);
  return code;
}

bool Desktop::running() const { return machine().running; }
bool Desktop::exited() const { return machine().exited; }

void Desktop::onIdle(std::function<void()> step) { machine().idle.push_back(std::move(step)); }
int Desktop::idleStepsLeft() const { return static_cast<int>(machine().idle.size()); }

void Desktop::onMessageBox(std::function<int(const MessageBoxInfo&)> answer) {
  machine().boxAnswer = std::move(answer);
}

const std::vector<MessageBoxInfo>& Desktop::messageBoxes() const { return machine().boxes; }
bool Desktop::messageBoxOpen() const { return !machine().boxFrames.empty(); }
HWND Desktop::messageBoxWindow() const {
  const Machine& m = machine();
  return m.boxFrames.empty() ? nullptr : m.boxFrames.back().box;
}

void Desktop::pump() {
  Machine& m = machine();
  guarded([&] { pumpModal(m.boxFrames.empty() ? nullptr : &m.boxFrames.back()); });
}

void Desktop::failCreateWindow(int nth) { machine().failCreateCountdown = nth; }
void Desktop::failNextGetMessage() { machine().failGetMessage = true; }
int Desktop::postedMessages() const { return static_cast<int>(machine().queue.size()); }
bool Desktop::quitPending() const { return machine().quitPending; }

// ---- screen and windows

void Desktop::setScreen(int width, int height) {
  machine().options.screenWidth = width;
  machine().options.screenHeight = height;
}

HWND Desktop::topLevel(std::string_view title) const {
  for (HWND h : machine().zOrder) {
    Window* w = live(h);
    if (w && w->ours && w->programCreated && !w->isChild() && w->text == title) return h;
  }
  return nullptr;
}

HWND Desktop::child(HWND parent, int id) const {
  Window* p = live(parent);
  if (!p) return nullptr;
  for (HWND c : p->children) {
    Window* w = live(c);
    if (w && w->id == static_cast<UINT_PTR>(id)) return c;
  }
  return nullptr;
}

std::vector<HWND> Desktop::children(HWND parent) const {
  Window* p = live(parent);
  return p ? p->children : std::vector<HWND>{};
}

std::vector<HWND> Desktop::createdWindows() const {
  std::vector<HWND> out;
  for (const auto& w : machine().windows) {
    if (w->programCreated) out.push_back(w->handle);
  }
  return out;
}

std::string Desktop::className(HWND h) const { return known(h).className; }
std::string Desktop::text(HWND h) const { return known(h).text; }
DWORD Desktop::style(HWND h) const { return known(h).style; }
DWORD Desktop::exStyle(HWND h) const { return known(h).exStyle; }
RECT Desktop::windowRect(HWND h) const { return screenRect(known(h)); }
RECT Desktop::clientRect(HWND h) const { return clientArea(known(h)); }
bool Desktop::exists(HWND h) const { return live(h) != nullptr; }
bool Desktop::visible(HWND h) const { return (known(h).style & WS_VISIBLE) != 0; }
bool Desktop::enabled(HWND h) const { return !(known(h).style & WS_DISABLED); }
bool Desktop::topmost(HWND h) const { return (known(h).exStyle & WS_EX_TOPMOST) != 0; }
bool Desktop::minimized(HWND h) const { return (known(h).style & WS_MINIMIZE) != 0; }
HWND Desktop::parent(HWND h) const { return known(h).parent; }
HWND Desktop::owner(HWND h) const { return known(h).owner; }

HICON Desktop::icon(HWND h, int which) const {
  const Window& w = known(h);
  return which == ICON_BIG ? w.iconBig : w.iconSmall;
}

std::optional<Desktop::IconInfo> Desktop::iconInfo(HICON icon) const {
  const auto v = reinterpret_cast<std::uintptr_t>(icon);
  const Machine& m = machine();
  if (v < kIconBase || (v - kIconBase) % 4) return std::nullopt;
  const std::size_t i = (v - kIconBase) / 4;
  if (i >= m.icons.size()) return std::nullopt;
  return IconInfo{m.icons[i].resource, m.icons[i].cx, m.icons[i].cy};
}

HFONT Desktop::font(HWND h) const { return edit(h).font; }
std::pair<DWORD, DWORD> Desktop::selection(HWND h) const {
  const Window& w = edit(h);
  return {std::min(w.selStart, w.selEnd), std::max(w.selStart, w.selEnd)};
}
DWORD Desktop::textLimit(HWND h) const { return edit(h).limit; }

HWND Desktop::focus() const {
  const Machine& m = machine();
  Window* f = live(m.foreground);
  return f && f->ours ? m.focus : nullptr;
}

HWND Desktop::active() const { return machine().foreground; }

std::vector<HWND> Desktop::topLevelZOrder() const {
  std::vector<HWND> out;
  for (HWND h : machine().zOrder) {
    if (live(h)) out.push_back(h);
  }
  return out;
}

PaintRecord Desktop::paint(HWND window) {
  Window& w = known(window);
  return paint(window, clientArea(w));
}

PaintRecord Desktop::paint(HWND window, RECT clip) {
  Machine& m = machine();
  Window* w = live(window);
  if (!w || !w->ours) throw std::logic_error("paint: not a live window of the program");
  if (m.paintRecord) throw std::logic_error("paint: already painting");
  PaintRecord record;
  record.clip = clip;
  m.paintTarget = window;
  m.paintClip = clip;
  m.paintPending = true;
  m.paintRecord = &record;
  struct Done {
    Machine& m;
    ~Done() {
      m.paintRecord = nullptr;
      m.paintPending = false;
      m.paintTarget = nullptr;
    }
  } done{m};
  guarded([&] { return deliver(w, WM_PAINT, 0, 0); });
  return record;
}

int Desktop::liveGdiObjects() const {
  int n = 0;
  for (const GdiObject& o : machine().gdi) {
    if (!o.stock && !o.deleted) ++n;
  }
  return n;
}

int Desktop::gdiFaults() const { return machine().gdiFaults; }

LRESULT Desktop::send(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  machine();
  return guarded([&] { return sendMessage(h, message, wParam, lParam); });
}

void Desktop::post(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
  machine();
  postMessage(h, message, wParam, lParam);
}

void Desktop::close(HWND h) {
  Window* w = live(h);
  if (!w) throw std::logic_error("close: not a live window");
  if (w->style & WS_DISABLED) return;  // a disabled window's close box does nothing
  guarded([&] { return sendMessage(h, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

void Desktop::setSysColor(int index, COLORREF color) {
  if (index < 0 || index >= 31) throw std::logic_error("setSysColor: no such colour");
  machine().sysColors[static_cast<std::size_t>(index)] = color;
}

const std::vector<Delivery>& Desktop::deliveries() const { return machine().deliveries; }
void Desktop::clearDeliveries() { machine().deliveries.clear(); }

// ---- keyboard

void Desktop::keyDown(BYTE vk) {
  machine();
  keyEvent(vk, false, false);
}

void Desktop::keyUp(BYTE vk) {
  machine();
  keyEvent(vk, true, false);
}

void Desktop::press(BYTE vk) {
  keyDown(vk);
  keyUp(vk);
}

void Desktop::press(std::initializer_list<BYTE> chord) {
  for (BYTE vk : chord) keyDown(vk);
  for (auto it = std::rbegin(chord); it != std::rend(chord); ++it) keyUp(*it);
}

void Desktop::type(std::string_view ascii) {
  for (char c : ascii) {
    const unsigned char ch = c == '\n' ? '\r' : static_cast<unsigned char>(c);
    const SHORT scan = vkScan(ch);
    if (scan == -1) throw std::logic_error(std::string("type: no key makes the character ") + c);
    const BYTE vk = static_cast<BYTE>(scan & 0xFF);
    const int shifts = (scan >> 8) & 0xFF;
    std::vector<BYTE> mods;
    if ((shifts & 1) && !keyIsDown(VK_SHIFT)) mods.push_back(VK_SHIFT);
    if ((shifts & 2) && !keyIsDown(VK_CONTROL)) mods.push_back(VK_CONTROL);
    if ((shifts & 4) && !keyIsDown(VK_MENU)) mods.push_back(VK_MENU);
    for (BYTE m : mods) keyDown(m);
    press(vk);
    for (auto it = mods.rbegin(); it != mods.rend(); ++it) keyUp(*it);
  }
}

void Desktop::typeChar(HWND target, unsigned char byte) {
  machine();
  if (!live(target)) throw std::logic_error("typeChar: not a live window");
  postMessage(target, WM_CHAR, byte, 1);
}

bool Desktop::keyIsDown(BYTE vk) const { return (machine().physical[vk] & 0x80) != 0; }

// ---- other programs

HWND Desktop::otherProgramWindow(std::string_view title) {
  Machine& m = machine();
  Window& w = newWindow();
  w.kind = WindowKind::OtherProgram;
  w.className = "OtherProgramWindow";
  w.proc = &otherProgramProc;
  w.ours = false;
  w.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS;
  w.exStyle = WS_EX_WINDOWEDGE;
  w.text = std::string(title);
  w.rect = RECT{100, 100, 500, 400};
  m.zOrder.push_back(w.handle);
  raise(w.handle);
  return w.handle;
}

void Desktop::activate(HWND h) {
  Machine& m = machine();
  Window* w = live(h);
  if (!w) throw std::logic_error("activate: not a live window");
  const HWND top = topLevelOf(h);
  Window* t = live(top);
  guarded([&] {
    if (t->ours && (t->style & WS_DISABLED)) {
      // A click on a window a box keeps disabled goes to the box.
      if (!m.boxFrames.empty()) detail::activate(m.boxFrames.back().box, WA_CLICKACTIVE, true);
      return;
    }
    detail::activate(top, WA_CLICKACTIVE, true);
    if (w->ours && w->isChild() && !(w->style & WS_DISABLED) && live(h)) setFocus(h);
  });
}

void Desktop::holdHotkey(UINT modifiers, UINT vk) {
  machine().hotkeys.push_back(Hotkey{nullptr, 0, modifiers, vk, true});
}

const std::vector<InjectedKey>& Desktop::keysReceivedByOtherProgram() const {
  return machine().otherProgramKeys;
}

const std::vector<InjectedKey>& Desktop::hotkeysTakenByOtherProgram() const {
  return machine().otherProgramHotkeys;
}

// ---- clipboard and memory

void Desktop::otherProgramOpensClipboard(int forMilliseconds) {
  Machine& m = machine();
  if (m.clipOpener == Machine::Opener::Program) {
    throw std::logic_error("otherProgramOpensClipboard: the program holds the clipboard open");
  }
  m.clipOpener = Machine::Opener::Other;
  m.clipOpenWindow = nullptr;
  for (HWND h : m.zOrder) {
    if (Window* w = live(h); w && !w->ours) {
      m.clipOpenWindow = h;
      break;
    }
  }
  m.clipOtherReleaseAt =
      forMilliseconds < 0 ? -1 : static_cast<long long>(m.clock) + forMilliseconds;
}

void Desktop::otherProgramClosesClipboard() {
  Machine& m = machine();
  if (m.clipOpener == Machine::Opener::Other) {
    m.clipOpener = Machine::Opener::None;
    m.clipOpenWindow = nullptr;
  }
}

void Desktop::otherProgramSetsClipboardText(std::string_view text) {
  Machine& m = machine();
  if (m.clipOpener == Machine::Opener::Program) {
    throw std::logic_error("otherProgramSetsClipboardText: the program holds the clipboard open");
  }
  HWND owner = nullptr;
  for (HWND h : m.zOrder) {
    if (Window* w = live(h); w && !w->ours) {
      owner = h;
      break;
    }
  }
  setClipboardText(text, owner);
}

std::optional<std::string> Desktop::clipboardText() const {
  auto block = clipboardBlock(CF_TEXT);
  if (!block) block = clipboardBlock(CF_OEMTEXT);
  if (!block) return std::nullopt;
  return std::string(block->data(), strnlen(block->data(), block->size()));
}

std::optional<std::vector<char>> Desktop::clipboardBlock(UINT format) const {
  const Machine& m = machine();
  for (const ClipboardFormat& f : m.clipFormats) {
    if (f.format != format) continue;
    if (f.block < 0) return std::vector<char>{};
    const Block& b = m.blocks[static_cast<std::size_t>(f.block)];
    if (b.freed) return std::nullopt;
    return std::vector<char>(b.data.get(), b.data.get() + b.size);
  }
  return std::nullopt;
}

std::vector<UINT> Desktop::clipboardFormats() const {
  std::vector<UINT> out;
  for (const ClipboardFormat& f : machine().clipFormats) out.push_back(f.format);
  return out;
}

bool Desktop::clipboardOpen() const {
  machine();
  otherHoldsClipboard();
  return g->clipOpener != Machine::Opener::None;
}

HWND Desktop::clipboardOwner() const { return machine().clipOwner; }
int Desktop::clipboardWrites() const { return machine().clipWrites; }
void Desktop::setStrictNullOwnerClipboard(bool strict) { machine().strictNullOwner = strict; }
void Desktop::failNextGlobalAlloc() { machine().failAlloc = true; }
void Desktop::failNextGlobalLock() { machine().failLock = true; }

int Desktop::liveProgramBlocks() const {
  int n = 0;
  for (const Block& b : machine().blocks) {
    if (b.programAllocated && !b.freed && !b.clipboardOwned) ++n;
  }
  return n;
}

int Desktop::memoryFaults() const { return machine().memoryFaults; }
const std::vector<InjectedKey>& Desktop::injected() const { return machine().injected; }
const std::vector<Call>& Desktop::calls() const { return machine().calls; }

std::vector<Call> Desktop::calls(std::string_view fn) const {
  std::vector<Call> out;
  for (const Call& c : machine().calls) {
    if (c.fn == fn) out.push_back(c);
  }
  return out;
}

void Desktop::clearCalls() { machine().calls.clear(); }
void Desktop::setLogging(bool on) { machine().logging = on; }
void Desktop::setMarkFreshMemory(bool on) { machine().markFreshMemory = on; }

DWORD Desktop::now() const { return machine().clock; }
void Desktop::advance(DWORD milliseconds) { machine().clock += milliseconds; }

const std::vector<std::string>& Desktop::faults() const { return machine().faults; }

}  // namespace sim
