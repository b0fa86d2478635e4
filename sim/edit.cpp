// The built-in EDIT class: a text buffer with a selection, typing, pasting, the
// limit, and the colour messages to the parent when it paints.
#include <algorithm>
#include <cstring>
#include <string>

#include "sim/machine.h"

namespace sim::detail {
namespace {

bool multiLine(const Window& w) { return (w.style & ES_MULTILINE) != 0; }

void notifyParent(Window& w, WORD code) {
  if (!w.isChild() || !live(w.parent)) return;
  sendMessage(w.parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w.id), code), H(w.handle));
}

DWORD selLow(const Window& w) { return std::min(w.selStart, w.selEnd); }
DWORD selHigh(const Window& w) { return std::max(w.selStart, w.selEnd); }

void clampSelection(Window& w) {
  const auto n = static_cast<DWORD>(w.text.size());
  w.selStart = std::min(w.selStart, n);
  w.selEnd = std::min(w.selEnd, n);
}

// Replaces the selection with the bytes, as far as the limit lets them in.
// True when anything changed.
bool replaceSelection(Window& w, std::string bytes, bool limited) {
  clampSelection(w);
  const DWORD lo = selLow(w), hi = selHigh(w);
  if (limited) {
    const std::size_t kept = w.text.size() - (hi - lo);
    const std::size_t room = w.limit > kept ? w.limit - kept : 0;
    if (bytes.size() > room) {
      std::size_t n = room;
      // A line break goes in whole or not at all.
      if (n > 0 && bytes[n - 1] == '\r' && n < bytes.size() && bytes[n] == '\n') --n;
      bytes.resize(n);
      notifyParent(w, EN_MAXTEXT);
    }
  }
  if (bytes.empty() && lo == hi) return false;
  w.text.replace(lo, hi - lo, bytes);
  w.selStart = w.selEnd = lo + static_cast<DWORD>(bytes.size());
  w.modified = true;
  return true;
}

void changed(Window& w) {
  notifyParent(w, EN_UPDATE);
  notifyParent(w, EN_CHANGE);
}

void paste(Window& w) {
  if (w.style & ES_READONLY) return;
  if (!openClipboard(w.handle)) return;
  std::string bytes;
  if (HANDLE h = clipboardData(CF_TEXT)) {
    if (Block* b = blockOf(static_cast<HGLOBAL>(h)); b && !b->freed) {
      const char* p = b->data.get();
      bytes.assign(p, strnlen(p, b->size));
    }
  }
  closeClipboard();
  if (!multiLine(w)) {
    const auto end = bytes.find_first_of("\r\n");
    if (end != std::string::npos) bytes.resize(end);
  }
  if (replaceSelection(w, bytes, true)) changed(w);
}

void copy(Window& w) {
  clampSelection(w);
  const DWORD lo = selLow(w), hi = selHigh(w);
  if (lo == hi || (w.style & ES_PASSWORD)) return;
  if (!openClipboard(w.handle)) return;
  setClipboardText(w.text.substr(lo, hi - lo), w.handle);
  closeClipboard();
}

void typeChar(Window& w, unsigned char ch) {
  if (ch == 0x16) {
    paste(w);
    return;
  }
  if (ch == 0x03) {
    copy(w);
    return;
  }
  if (w.style & ES_READONLY) return;
  clampSelection(w);
  bool did = false;
  if (ch == 8) {
    if (w.selStart != w.selEnd) {
      did = replaceSelection(w, {}, false);
    } else if (w.selEnd > 0) {
      DWORD from = w.selEnd - 1;
      if (from > 0 && w.text[from] == '\n' && w.text[from - 1] == '\r') --from;
      w.text.erase(from, w.selEnd - from);
      w.selStart = w.selEnd = from;
      w.modified = did = true;
    }
  } else if (ch == '\r') {
    if (multiLine(w)) did = replaceSelection(w, "\r\n", true);
  } else if (ch == '\t') {
    if (multiLine(w)) did = replaceSelection(w, "\t", true);
  } else if (ch >= 0x20 && ch != 0x7F) {
    char c = static_cast<char>(ch);
    if ((w.style & ES_UPPERCASE) && ch >= 'a' && ch <= 'z') c = static_cast<char>(ch - 32);
    if ((w.style & ES_LOWERCASE) && ch >= 'A' && ch <= 'Z') c = static_cast<char>(ch + 32);
    if ((w.style & ES_NUMBER) && !(ch >= '0' && ch <= '9')) return;
    did = replaceSelection(w, std::string(1, c), true);
  }
  if (did) changed(w);
}

void keyDown(Window& w, WPARAM vk) {
  clampSelection(w);
  const auto n = static_cast<DWORD>(w.text.size());
  switch (vk) {
    case VK_DELETE:
      if (w.style & ES_READONLY) return;
      if (w.selStart == w.selEnd && w.selEnd < n) {
        DWORD to = w.selEnd + 1;
        if (w.text[w.selEnd] == '\r' && to < n && w.text[to] == '\n') ++to;
        w.text.erase(w.selEnd, to - w.selEnd);
        w.modified = true;
        changed(w);
      } else if (replaceSelection(w, {}, false)) {
        changed(w);
      }
      return;
    case VK_LEFT:
      w.selStart = w.selEnd = w.selStart != w.selEnd ? selLow(w) : (w.selEnd ? w.selEnd - 1 : 0);
      return;
    case VK_RIGHT:
      w.selStart = w.selEnd = w.selStart != w.selEnd ? selHigh(w) : std::min(n, w.selEnd + 1);
      return;
    case VK_HOME:
      w.selStart = w.selEnd = 0;
      return;
    case VK_END:
      w.selStart = w.selEnd = n;
      return;
    default:
      return;
  }
}

void paintEdit(Window& w) {
  PAINTSTRUCT ps{};
  HDC dc = beginPaint(w.handle, &ps);
  DeviceContext* d = dcOf(dc);
  if (!d) return;
  const bool quiet = (w.style & (ES_READONLY | WS_DISABLED)) != 0;
  const UINT message = quiet ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  LRESULT brush = 0;
  const bool toParent = w.isChild() && live(w.parent);
  if (toParent) brush = sendMessage(w.parent, message, reinterpret_cast<WPARAM>(dc), H(w.handle));
  if (!brush) brush = defWindowProc(w.handle, message, reinterpret_cast<WPARAM>(dc), H(w.handle));
  HBRUSH hb = reinterpret_cast<HBRUSH>(brush);
  if (d->record) {
    PaintRecord& r = *d->record;
    r.ctlColorSent = toParent;
    r.ctlColorMessage = message;
    r.ctlBrush = hb;
    r.ctlBrushColor = brushColor(hb).value_or(0);
    r.ctlTextColor = d->textColor;
    r.ctlBkColor = d->bkColor;
    r.ctlBkMode = d->bkMode;
  }
  const RECT client = clientArea(w);
  fillRect(dc, &client, hb);
  HGDIOBJ oldFont =
      selectObject(dc, w.font ? static_cast<HGDIOBJ>(w.font) : stockObject(SYSTEM_FONT));
  std::string shown = w.text;
  if (w.style & ES_PASSWORD) shown.assign(shown.size(), '*');
  RECT r = client;
  drawText(dc, shown.c_str(), static_cast<int>(shown.size()), &r,
           DT_EDITCONTROL | DT_NOPREFIX | (multiLine(w) ? DT_WORDBREAK : DT_SINGLELINE));
  selectObject(dc, oldFont);
  endPaint(dc);
}

}  // namespace

LRESULT CALLBACK editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* wp = live(hwnd);
  if (!wp) return 0;
  Window& w = *wp;
  switch (message) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      w.text = cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName) ? cs->lpszName : "";
      return TRUE;
    }
    case WM_CREATE:
      return 0;
    case WM_SETTEXT:
      w.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      w.selStart = w.selEnd = 0;
      w.modified = false;
      // A multi-line edit does not report a change it was told to make.
      if (!multiLine(w)) changed(w);
      return TRUE;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      return defWindowProc(hwnd, message, wParam, lParam);
    case WM_CHAR:
      typeChar(w, static_cast<unsigned char>(wParam));
      return 0;
    case WM_KEYDOWN:
      keyDown(w, wParam);
      return 0;
    case WM_PASTE:
      paste(w);
      return 0;
    case WM_COPY:
      copy(w);
      return 0;
    case WM_CUT:
      copy(w);
      [[fallthrough]];
    case WM_CLEAR:
      if (!(w.style & ES_READONLY) && replaceSelection(w, {}, false)) changed(w);
      return 0;
    case EM_LIMITTEXT:
      w.limit = wParam ? static_cast<DWORD>(wParam) : (multiLine(w) ? 0xFFFFFFFFu : 0x7FFFFFFEu);
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(w.limit);
    case EM_SETSEL: {
      const auto n = static_cast<DWORD>(w.text.size());
      const auto start = static_cast<LONG_PTR>(static_cast<intptr_t>(wParam));
      const LONG_PTR end = lParam;
      if (static_cast<int>(start) == -1) {
        w.selStart = w.selEnd;  // deselect, the caret stays
        return 0;
      }
      auto clampTo = [n](LONG_PTR v) {
        return static_cast<int>(v) < 0 ? n : std::min<DWORD>(n, static_cast<DWORD>(v));
      };
      w.selStart = clampTo(start);
      w.selEnd = clampTo(end);
      return 0;
    }
    case EM_GETSEL: {
      const DWORD lo = selLow(w), hi = selHigh(w);
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = lo;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = hi;
      if (lo > 0xFFFF || hi > 0xFFFF) return -1;
      return static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(lo, hi)));
    }
    case EM_REPLACESEL: {
      const char* s = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if (replaceSelection(w, s, true)) changed(w);
      return 0;
    }
    case EM_SCROLLCARET:
      return TRUE;
    case EM_GETMODIFY:
      return w.modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      w.modified = wParam != 0;
      return 0;
    case EM_SETREADONLY:
      if (wParam) {
        w.style |= ES_READONLY;
      } else {
        w.style &= ~static_cast<DWORD>(ES_READONLY);
      }
      return TRUE;
    case EM_GETLINECOUNT: {
      if (!multiLine(w)) return 1;
      LRESULT lines = 1;
      for (std::size_t i = 0; i + 1 < w.text.size(); ++i) {
        if (w.text[i] == '\r' && w.text[i + 1] == '\n') ++lines;
      }
      return lines;
    }
    case EM_CANUNDO:
      return FALSE;
    case EM_EMPTYUNDOBUFFER:
    case EM_SETMARGINS:
      return 0;
    case WM_SETFONT:
      w.font = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return H(w.font);
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (multiLine(w)) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_SETFOCUS:
      notifyParent(w, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      notifyParent(w, EN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
      setFocus(hwnd);
      return 0;
    case WM_PAINT:
      paintEdit(w);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    default:
      return defWindowProc(hwnd, message, wParam, lParam);
  }
}

// The window a message box shows. Its answer comes from the test's handler, so
// it leaves keys alone and does not close itself.
LRESULT CALLBACK boxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      return 0;
    default:
      return defWindowProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace sim::detail
