// MessageBoxA: a window of the program's thread, a modal loop that dispatches
// what is posted, and the test's handler as the user who answers.
#include <algorithm>
#include <string>

#include "sim/machine.h"

namespace sim::detail {
namespace {

HWND makeBoxWindow(HWND owner, const std::string& caption, UINT type) {
  Machine& m = *g;
  Window& w = newWindow();
  w.kind = WindowKind::MessageBox;
  w.className = "#32770";
  w.proc = &boxProc;
  w.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | WS_VISIBLE;
  w.exStyle = WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME;
  if (type & (MB_SYSTEMMODAL | MB_TOPMOST)) w.exStyle |= WS_EX_TOPMOST;
  w.owner = owner;
  w.text = caption;
  const int cx = 320, cy = 160;
  const int x = (m.options.screenWidth - cx) / 2, y = (m.options.screenHeight - cy) / 2;
  w.rect = RECT{x, y, x + cx, y + cy};
  m.zOrder.push_back(w.handle);
  raise(w.handle);
  return w.handle;
}

}  // namespace

void pumpModal(BoxFrame* frame) {
  Machine& m = *g;
  MSG msg;
  while (!(frame && frame->ended) && takeMessage(&msg, nullptr, 0, 0, true, frame != nullptr)) {
    if (msg.message == WM_QUIT) {
      frame->ended = true;
      frame->quitSeen = true;
      m.quitCode = static_cast<int>(msg.wParam);
      break;
    }
    // The program's own loop and its pre-translation do not run here.
    translateMessage(&msg);
    dispatchMessage(&msg);
    if (frame && !live(frame->box)) frame->ended = true;
  }
}

int messageBox(HWND owner, const char* text, const char* caption, UINT type) {
  Machine& m = *g;
  MessageBoxInfo info{owner, text ? text : "", caption ? caption : "Error", type};
  m.boxes.push_back(info);
  if (owner && !live(owner)) {
    m.lastError = ERROR_INVALID_WINDOW_HANDLE;
    return 0;
  }
  if (!m.boxAnswer) fail("unexpected message box: " + info.text);
  // Which windows the box keeps from the user while it is open.
  std::vector<HWND> disabled;
  const HWND ownerTop = owner ? topLevelOf(owner) : nullptr;
  if (!ownerTop && (type & MB_TASKMODAL)) {
    for (HWND h : m.zOrder) {
      Window* w = ourLive(h);
      if (w && w->kind != WindowKind::MessageBox && !(w->style & WS_DISABLED))
        disabled.push_back(h);
    }
  } else if (Window* o = live(ownerTop); o && o->ours && !(o->style & WS_DISABLED)) {
    disabled.push_back(ownerTop);
  }
  for (HWND h : disabled) {
    if (Window* w = live(h)) enableWindow(w, false);
  }
  const HWND box = makeBoxWindow(ownerTop, info.caption, type);
  m.boxFrames.push_back(BoxFrame{box, false, false});
  const std::size_t depth = m.boxFrames.size();
  auto frame = [&]() -> BoxFrame& { return m.boxFrames[depth - 1]; };
  struct Closer {
    Machine& m;
    std::vector<HWND>& disabled;
    HWND box;
    bool done = false;
    void close() {
      if (done) return;
      done = true;
      // The owner is enabled again before the box goes, so that it gets the activation back.
      for (HWND h : disabled) {
        if (Window* w = live(h)) enableWindow(w, true);
      }
      if (Window* b = live(box)) destroyWindow(b);
      m.boxFrames.pop_back();
    }
    ~Closer() {
      if (!done) {
        // Unwinding from a failure: put the machine back without messages.
        for (HWND h : disabled) {
          if (Window* w = live(h)) w->style &= ~static_cast<DWORD>(WS_DISABLED);
        }
        if (Window* b = live(box)) {
          b->destroyed = true;
          std::erase(m.zOrder, box);
          if (m.foreground == box) m.foreground = nullptr;
          if (m.focus == box) m.focus = nullptr;
        }
        if (!m.boxFrames.empty()) m.boxFrames.pop_back();
      }
    }
  } closer{m, disabled, box};

  activate(box, WA_ACTIVE, true);
  pumpModal(&frame());
  int result = 0;
  if (!frame().ended) {
    const int answer = m.boxAnswer(info);
    if (!frame().ended) {
      // What the user did before answering is handled while the box is still open.
      pumpModal(&frame());
      result = answer;
    }
  }
  const bool quitSeen = frame().quitSeen;
  if (quitSeen) result = 0;
  closer.close();
  if (quitSeen) m.quitPending = true;  // the quit goes on to the loop outside
  return result;
}

}  // namespace sim::detail

using namespace sim::detail;

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  log("MessageBoxA", {H(owner), static_cast<intptr_t>(type)}, text ? text : "");
  M();
  return messageBox(owner, text, caption, type);
}
