// GDI of the simulated desktop: objects, device contexts and painting, written
// down per paint instead of drawn.
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "sim/machine.h"

namespace sim::detail {

namespace {

constexpr int kStockCount = 20;
constexpr int kSysColorCount = 31;
// Stock objects take the first slots, the system colour brushes the next ones.
constexpr std::size_t kSysBrushFirst = kStockCount;

constexpr int kLineHeight = 16;
constexpr int kCharWidth = 7;

}  // namespace

RECT intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.left >= r.right || r.top >= r.bottom) return RECT{0, 0, 0, 0};
  return r;
}

bool empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

HGDIOBJ gdiHandle(std::size_t index) { return reinterpret_cast<HGDIOBJ>(kGdiBase + index * 4); }

GdiObject* gdiOf(HGDIOBJ object) {
  if (!g) return nullptr;
  const auto v = reinterpret_cast<std::uintptr_t>(object);
  if (v < kGdiBase || (v - kGdiBase) % 4) return nullptr;
  const std::size_t i = (v - kGdiBase) / 4;
  return i < g->gdi.size() ? &g->gdi[i] : nullptr;
}

void initGdi() {
  Machine& m = *g;
  m.gdi.assign(kStockCount + kSysColorCount, GdiObject{});
  auto stock = [&](int i, GdiType t, COLORREF c) {
    m.gdi[static_cast<std::size_t>(i)] = GdiObject{t, c, -1, RECT{}, true, false, false};
  };
  stock(WHITE_BRUSH, GdiType::Brush, RGB(255, 255, 255));
  stock(LTGRAY_BRUSH, GdiType::Brush, RGB(192, 192, 192));
  stock(GRAY_BRUSH, GdiType::Brush, RGB(128, 128, 128));
  stock(DKGRAY_BRUSH, GdiType::Brush, RGB(64, 64, 64));
  stock(BLACK_BRUSH, GdiType::Brush, RGB(0, 0, 0));
  stock(NULL_BRUSH, GdiType::Brush, 0);
  m.gdi[NULL_BRUSH].nullBrush = true;
  stock(WHITE_PEN, GdiType::Pen, RGB(255, 255, 255));
  stock(BLACK_PEN, GdiType::Pen, 0);
  stock(NULL_PEN, GdiType::Pen, 0);
  stock(9, GdiType::Pen, 0);
  for (int f : {OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, DEVICE_DEFAULT_FONT,
                SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT}) {
    stock(f, GdiType::Font, 0);
  }
  stock(DEFAULT_PALETTE, GdiType::Palette, 0);
  stock(DC_BRUSH, GdiType::Brush, RGB(255, 255, 255));
  stock(DC_PEN, GdiType::Pen, 0);
  for (int i = 0; i < kSysColorCount; ++i) {
    GdiObject& o = m.gdi[kSysBrushFirst + static_cast<std::size_t>(i)];
    o = GdiObject{GdiType::Brush, 0, i, RECT{}, true, false, false};
  }
  const COLORREF colors[kSysColorCount] = {
      RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
      RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
      RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
      RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255), RGB(240, 240, 240),
      RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
      RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
      RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
      RGB(215, 228, 242), RGB(0, 120, 215),   RGB(240, 240, 240)};
  for (int i = 0; i < kSysColorCount; ++i) m.sysColors[static_cast<std::size_t>(i)] = colors[i];
}

HGDIOBJ stockObject(int index) {
  if (index < 0 || index >= kStockCount || index == 9) return nullptr;
  return gdiHandle(static_cast<std::size_t>(index));
}

HBRUSH sysColorBrush(int index) {
  if (index < 0 || index >= kSysColorCount) return nullptr;
  return static_cast<HBRUSH>(gdiHandle(kSysBrushFirst + static_cast<std::size_t>(index)));
}

std::optional<COLORREF> brushColor(HBRUSH brush) {
  const auto v = reinterpret_cast<std::uintptr_t>(brush);
  // A class background may name a system colour as its index + 1.
  if (v >= 1 && v <= static_cast<std::uintptr_t>(kSysColorCount)) return g->sysColors[v - 1];
  GdiObject* o = gdiOf(brush);
  if (!o || o->type != GdiType::Brush || o->nullBrush) return std::nullopt;
  if (o->sysColor >= 0) return g->sysColors[static_cast<std::size_t>(o->sysColor)];
  return o->color;
}

namespace {

HDC dcHandle(std::size_t index) { return reinterpret_cast<HDC>(kDcBase + index * 4); }

std::size_t newObject(GdiObject o) {
  Machine& m = *g;
  m.gdi.push_back(o);
  if (m.paintRecord) ++m.paintRecord->objectsCreated;
  return m.gdi.size() - 1;
}

RECT effectiveClip(const DeviceContext& d) {
  return d.hasClipRegion ? intersect(d.paintClip, d.clipRegion) : d.paintClip;
}

HDC newDc(HWND hwnd, RECT clip, PaintRecord* record) {
  Machine& m = *g;
  DeviceContext d;
  d.hwnd = hwnd;
  d.paintClip = clip;
  d.font = stockObject(SYSTEM_FONT);
  d.brush = stockObject(WHITE_BRUSH);
  d.pen = stockObject(BLACK_PEN);
  d.record = record;
  m.dcs.push_back(d);
  return dcHandle(m.dcs.size() - 1);
}

}  // namespace

DeviceContext* dcOf(HDC dc) {
  if (!g) return nullptr;
  const auto v = reinterpret_cast<std::uintptr_t>(dc);
  if (v < kDcBase || (v - kDcBase) % 4) return nullptr;
  const std::size_t i = (v - kDcBase) / 4;
  if (i >= g->dcs.size() || g->dcs[i].released) return nullptr;
  return &g->dcs[i];
}

HDC beginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  Machine& m = *g;
  Window* w = live(hwnd);
  if (!w || !ps) return nullptr;
  RECT clip{0, 0, 0, 0};
  PaintRecord* record = &m.strayRecord;
  const bool ours = m.paintPending && m.paintTarget == hwnd;
  if (ours) {
    clip = intersect(m.paintClip, clientArea(*w));
    record = m.paintRecord;
    m.paintPending = false;  // a second BeginPaint finds nothing left to paint
  }
  HDC dc = newDc(hwnd, clip, record);
  std::memset(ps, 0, sizeof *ps);
  ps->hdc = dc;
  ps->rcPaint = clip;
  ps->fErase = FALSE;
  if (!empty(clip)) {
    ps->fErase = deliver(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  }
  return dc;
}

void endPaint(HDC dc) {
  if (DeviceContext* d = dcOf(dc)) d->released = true;
}

int fillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  DeviceContext* d = dcOf(dc);
  if (!d || !rect) return 0;
  const auto color = brushColor(brush);
  if (!color) return brush ? 1 : 0;  // a null brush paints nothing
  if (d->record) d->record->fills.push_back(FillCall{intersect(*rect, effectiveClip(*d)), *color});
  return 1;
}

int drawText(HDC dc, const char* text, int count, RECT* rect, UINT format) {
  DeviceContext* d = dcOf(dc);
  if (!d || !text || !rect) return 0;
  const std::string s =
      count < 0 ? std::string(text) : std::string(text, static_cast<std::size_t>(count));
  int lines = 1;
  std::size_t longest = 0, current = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && !(format & DT_SINGLELINE)) {
      ++lines;
      longest = std::max(longest, current);
      current = 0;
    } else if (s[i] != '\r') {
      ++current;
    }
  }
  longest = std::max(longest, current);
  const int height = lines * kLineHeight;
  if (format & DT_CALCRECT) {
    rect->right = rect->left + static_cast<LONG>(longest) * kCharWidth;
    rect->bottom = rect->top + height;
    return height;
  }
  GdiObject* font = gdiOf(d->font);
  if (d->record) {
    d->record->texts.push_back(DrawTextCall{
        s, *rect, format, font ? static_cast<HFONT>(d->font) : nullptr, d->textColor, d->bkMode});
  }
  return height;
}

HGDIOBJ selectObject(HDC dc, HGDIOBJ object) {
  DeviceContext* d = dcOf(dc);
  GdiObject* o = gdiOf(object);
  if (!d || !o || o->deleted) return nullptr;
  HGDIOBJ old = nullptr;
  switch (o->type) {
    case GdiType::Brush:
      old = d->brush;
      d->brush = object;
      return old;
    case GdiType::Font:
      old = d->font;
      d->font = object;
      return old;
    case GdiType::Pen:
      old = d->pen;
      d->pen = object;
      return old;
    case GdiType::Region:
      d->hasClipRegion = true;
      d->clipRegion = o->rect;
      return reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(SIMPLEREGION));
    default:
      return nullptr;
  }
}

COLORREF setTextColor(HDC dc, COLORREF color) {
  DeviceContext* d = dcOf(dc);
  if (!d) return CLR_INVALID;
  return std::exchange(d->textColor, color);
}

COLORREF setBkColor(HDC dc, COLORREF color) {
  DeviceContext* d = dcOf(dc);
  if (!d) return CLR_INVALID;
  return std::exchange(d->bkColor, color);
}

int setBkMode(HDC dc, int mode) {
  DeviceContext* d = dcOf(dc);
  if (!d || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(d->bkMode, mode);
}

}  // namespace sim::detail

// ===========================================================================
// The Win32 face

using namespace sim::detail;

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
  log("BeginPaint", {H(hwnd)});
  M();
  if (!live(hwnd)) g->lastError = ERROR_INVALID_WINDOW_HANDLE;
  return beginPaint(hwnd, paint);
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
  log("EndPaint", {H(hwnd)});
  M();
  if (paint) endPaint(paint->hdc);
  return TRUE;
}

HDC WINAPI GetDC(HWND hwnd) {
  log("GetDC", {H(hwnd)});
  M();
  Window* w = live(hwnd);
  if (hwnd && !w) return nullptr;
  const RECT clip =
      w ? clientArea(*w) : RECT{0, 0, g->options.screenWidth, g->options.screenHeight};
  g->dcs.push_back(DeviceContext{});
  DeviceContext& n = g->dcs.back();
  n.hwnd = hwnd;
  n.paintClip = clip;
  n.font = stockObject(SYSTEM_FONT);
  n.brush = stockObject(WHITE_BRUSH);
  n.pen = stockObject(BLACK_PEN);
  n.record = &g->strayRecord;
  return reinterpret_cast<HDC>(kDcBase + (g->dcs.size() - 1) * 4);
}

int WINAPI ReleaseDC(HWND hwnd, HDC dc) {
  log("ReleaseDC", {H(hwnd), H(dc)});
  DeviceContext* d = dcOf(dc);
  if (!d) return 0;
  d->released = true;
  return 1;
}

int WINAPI GetClipBox(HDC dc, LPRECT rect) {
  log("GetClipBox", {H(dc)});
  DeviceContext* d = dcOf(dc);
  if (!d || !rect) return ERROR;
  const RECT c = d->hasClipRegion ? intersect(d->paintClip, d->clipRegion) : d->paintClip;
  *rect = c;
  return empty(c) ? NULLREGION : SIMPLEREGION;
}

BOOL WINAPI IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  *dst = intersect(*a, *b);
  return empty(*dst) ? FALSE : TRUE;
}

BOOL WINAPI UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (!dst || !a || !b) return FALSE;
  if (empty(*a)) {
    *dst = empty(*b) ? RECT{0, 0, 0, 0} : *b;
  } else if (empty(*b)) {
    *dst = *a;
  } else {
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
  }
  return empty(*dst) ? FALSE : TRUE;
}

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT rect) {
  if (!rect) return FALSE;
  *rect = RECT{0, 0, 0, 0};
  return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* rect) { return !rect || empty(*rect) ? TRUE : FALSE; }

BOOL WINAPI EqualRect(const RECT* a, const RECT* b) {
  if (!a || !b) return FALSE;
  return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
  return TRUE;
}

BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left -= dx;
  rect->right += dx;
  rect->top -= dy;
  rect->bottom += dy;
  return TRUE;
}

BOOL WINAPI PtInRect(const RECT* rect, POINT p) {
  return rect && p.x >= rect->left && p.x < rect->right && p.y >= rect->top && p.y < rect->bottom;
}

BOOL WINAPI CopyRect(LPRECT dst, const RECT* src) {
  if (!dst || !src) return FALSE;
  *dst = *src;
  return TRUE;
}

HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom) {
  log("CreateRectRgn", {left, top, right, bottom});
  M();
  GdiObject o;
  o.type = GdiType::Region;
  o.rect = RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                std::max(top, bottom)};
  return static_cast<HRGN>(gdiHandle(newObject(o)));
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) return nullptr;
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

int WINAPI SelectClipRgn(HDC dc, HRGN region) {
  log("SelectClipRgn", {H(dc), H(region)});
  DeviceContext* d = dcOf(dc);
  if (!d) return ERROR;
  if (!region) {
    d->hasClipRegion = false;
    return empty(d->paintClip) ? NULLREGION : SIMPLEREGION;
  }
  GdiObject* o = gdiOf(region);
  if (!o || o->type != GdiType::Region || o->deleted) return ERROR;
  d->hasClipRegion = true;
  d->clipRegion = o->rect;  // the DC keeps a copy: the region may go now
  return empty(intersect(d->paintClip, d->clipRegion)) ? NULLREGION : SIMPLEREGION;
}

BOOL WINAPI FillRgn(HDC dc, HRGN region, HBRUSH brush) {
  log("FillRgn", {H(dc), H(region), H(brush)});
  DeviceContext* d = dcOf(dc);
  GdiObject* o = gdiOf(region);
  if (!d || !o || o->type != GdiType::Region || o->deleted) return FALSE;
  return fillRect(dc, &o->rect, brush) ? TRUE : FALSE;
}

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  log("FillRect", {H(dc), rect ? rect->left : 0, rect ? rect->top : 0, rect ? rect->right : 0,
                   rect ? rect->bottom : 0, H(brush)});
  M();
  return fillRect(dc, rect, brush);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  log("CreateSolidBrush", {static_cast<intptr_t>(color)});
  M();
  GdiObject o;
  o.type = GdiType::Brush;
  o.color = color & 0x00FFFFFF;
  return static_cast<HBRUSH>(gdiHandle(newObject(o)));
}

HGDIOBJ WINAPI GetStockObject(int index) {
  log("GetStockObject", {index});
  M();
  return stockObject(index);
}

DWORD WINAPI GetSysColor(int index) {
  log("GetSysColor", {index});
  const Machine& m = M();
  if (index < 0 || index >= kSysColorCount) return 0;
  return m.sysColors[static_cast<std::size_t>(index)];
}

HBRUSH WINAPI GetSysColorBrush(int index) {
  log("GetSysColorBrush", {index});
  M();
  return sysColorBrush(index);
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  log("DeleteObject", {H(object)});
  Machine& m = M();
  GdiObject* o = gdiOf(object);
  if (!o) {
    m.lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  if (o->stock) {
    // Harmless on Windows, but never meant.
    ++m.gdiFaults;
    fault("DeleteObject of a stock object or system colour brush");
    if (m.paintRecord) ++m.paintRecord->stockObjectsDeleted;
    return TRUE;
  }
  if (o->deleted) {
    ++m.gdiFaults;
    fault("DeleteObject of an object already deleted");
    return FALSE;
  }
  for (const DeviceContext& d : m.dcs) {
    if (!d.released && (d.font == object || d.brush == object || d.pen == object)) {
      ++m.gdiFaults;
      fault("DeleteObject of an object still selected into a device context");
      return FALSE;
    }
  }
  o->deleted = true;
  if (m.paintRecord) ++m.paintRecord->objectsDeleted;
  return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  log("SelectObject", {H(dc), H(object)});
  M();
  return selectObject(dc, object);
}

int WINAPI SetBkMode(HDC dc, int mode) {
  log("SetBkMode", {H(dc), mode});
  M();
  return setBkMode(dc, mode);
}

int WINAPI GetBkMode(HDC dc) {
  DeviceContext* d = dcOf(dc);
  return d ? d->bkMode : 0;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
  log("SetTextColor", {H(dc), static_cast<intptr_t>(color)});
  M();
  return setTextColor(dc, color);
}

COLORREF WINAPI GetTextColor(HDC dc) {
  DeviceContext* d = dcOf(dc);
  return d ? d->textColor : CLR_INVALID;
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
  log("SetBkColor", {H(dc), static_cast<intptr_t>(color)});
  M();
  return setBkColor(dc, color);
}

COLORREF WINAPI GetBkColor(HDC dc) {
  DeviceContext* d = dcOf(dc);
  return d ? d->bkColor : CLR_INVALID;
}

int WINAPI DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format) {
  log("DrawTextA", {H(dc), count, static_cast<intptr_t>(format)},
      text ? (count < 0 ? std::string(text) : std::string(text, static_cast<std::size_t>(count)))
           : "");
  M();
  return drawText(dc, text, count, rect, format);
}
