#include "app/form.h"

#include "app/keyboard.h"
#include "app/slots.h"
#include "app/startup.h"
#include "desktop/controls.h"

namespace vantrel {
namespace {

// Each key name is followed by six line breaks, so with a 12-pixel font the names
// sit 72 pixels apart, level with the rows of text boxes.
#define VANTREL_SIX_BREAKS "\r\n\r\n\r\n\r\n\r\n\r\n"
constexpr char kLabel1Text[] =
    "F1" VANTREL_SIX_BREAKS "F2" VANTREL_SIX_BREAKS "F3" VANTREL_SIX_BREAKS "F4" VANTREL_SIX_BREAKS
    "F5" VANTREL_SIX_BREAKS;
constexpr char kLabel2Text[] =
    "F6" VANTREL_SIX_BREAKS "F7" VANTREL_SIX_BREAKS "F8" VANTREL_SIX_BREAKS "F9" VANTREL_SIX_BREAKS
    "F10" VANTREL_SIX_BREAKS;
#undef VANTREL_SIX_BREAKS
static_assert(sizeof(kLabel1Text) - 1 == 70 && sizeof(kLabel2Text) - 1 == 71);

constexpr ControlKind kEdit = ControlKind::EditBox;
constexpr ControlKind kLabel = ControlKind::Label;

// Form order. Children are created in the reverse of this order and stacked in it.
constexpr ControlDescription kMainControls[] = {
    {kEdit6, "编辑框6", kEdit, 210, 296, 144, 64, true, true, 0, ""},
    {kEdit7, "编辑框7", kEdit, 210, 224, 144, 64, true, true, 0, ""},
    {kEdit8, "编辑框8", kEdit, 210, 152, 144, 64, true, true, 0, ""},
    {kEdit9, "编辑框9", kEdit, 210, 80, 144, 64, true, true, 0, ""},
    {kEdit10, "编辑框10", kEdit, 210, 8, 144, 64, true, true, 0, ""},
    {kLabel2, "标签2", kLabel, 186, 8, 18, 368, true, false, 0, kLabel2Text},
    {kEdit5, "编辑框5", kEdit, 30, 296, 144, 64, true, true, 0, ""},
    {kEdit4, "编辑框4", kEdit, 30, 224, 144, 64, true, true, 0, ""},
    {kEdit3, "编辑框3", kEdit, 30, 152, 144, 64, true, true, 0, ""},
    {kEdit2, "编辑框2", kEdit, 30, 80, 144, 64, true, true, 0, ""},
    {kEdit1, "编辑框1", kEdit, 30, 8, 144, 64, true, true, 0, ""},
    {kLabel1, "标签1", kLabel, 6, 8, 16, 368, true, false, 0, kLabel1Text},
};

constexpr EventBinding kMainBindings[] = {
    {kMainWindow, kCreatedEvent, &SlotHotkeySetup},
    {kLabel1, kFeedbackEvent, &PasteAction},
};

constexpr FormDescription kMainFormDescription = {
    kMainForm,
    {kMainWindow, "Vantrel", 370, 395, /*visible=*/true, /*alwaysOnTop=*/false,
     /*showInTaskbar=*/true, /*escCloses=*/true},
    kMainControls,
    sizeof(kMainControls) / sizeof(kMainControls[0]),
    kMainBindings,
    sizeof(kMainBindings) / sizeof(kMainBindings[0]),
};

constexpr char kMainClass[] = "VantrelWindow";
constexpr char kLabelClass[] = "VantrelLabel";
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr DWORD kMainStyle = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kEditStyle =
    WS_CHILD | WS_CLIPSIBLINGS | ES_WANTRETURN | ES_AUTOVSCROLL | ES_MULTILINE;
constexpr DWORD kLabelStyle = WS_CHILD | WS_CLIPSIBLINGS;
constexpr UINT kZOrderOnly = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr UINT kLabelTextFormat = DT_NOCLIP | DT_WORDBREAK | DT_VCENTER;
static_assert(kMainStyle == 0x02CA0000 && kEditStyle == 0x44001044 && kLabelStyle == 0x44000000);
static_assert(kLabelTextFormat == 0x0114);

// Loaded once and kept for the life of the process.
HICON g_bigIcon = nullptr;
HICON g_smallIcon = nullptr;
bool g_iconsLoaded = false;

// A GDI object made for one paint, deleted when the paint's scope ends.
template <typename Handle>
class PaintObject {
 public:
  explicit PaintObject(Handle handle) : handle_(handle) {}
  ~PaintObject() {
    if (handle_) DeleteObject(handle_);
  }
  PaintObject(const PaintObject&) = delete;
  PaintObject& operator=(const PaintObject&) = delete;
  Handle get() const { return handle_; }

 private:
  Handle handle_;
};

class Paint {
 public:
  explicit Paint(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  ~Paint() { EndPaint(hwnd_, &ps_); }
  Paint(const Paint&) = delete;
  Paint& operator=(const Paint&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The clip box of the paint, or an empty rectangle when nothing is to be drawn.
RECT ClipBox(HDC dc) {
  RECT clip{};
  if (GetClipBox(dc, &clip) == ERROR) clip = RECT{};
  return clip;
}

void PaintMainWindow(HWND hwnd) {
  Paint paint(hwnd);
  RECT clip = ClipBox(paint.dc());
  if (IsEmpty(clip)) return;
  // The colour is looked up on every paint so the window follows a change of the
  // system colours.
  PaintObject<HRGN> region(CreateRectRgn(clip.left, clip.top, clip.right, clip.bottom));
  PaintObject<HBRUSH> brush(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
  FillRgn(paint.dc(), region.get(), brush.get());
}

void PaintLabel(HWND hwnd) {
  Paint paint(hwnd);
  HDC dc = paint.dc();
  RECT clip = ClipBox(dc);
  if (IsEmpty(clip)) return;
  RECT client{};
  GetClientRect(hwnd, &client);
  RECT area{};
  IntersectRect(&area, &clip, &client);
  PaintObject<HRGN> region(CreateRectRgn(area.left, area.top, area.right, area.bottom));
  SelectClipRgn(dc, region.get());
  {
    PaintObject<HBRUSH> brush(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRgn(dc, region.get(), brush.get());
  }
  // Label texts are short; the longest of this form is 71 bytes.
  char text[256];
  int length = GetWindowTextA(hwnd, text, sizeof text);
  if (length <= 0) return;
  HGDIOBJ previousFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kBlack);
  // DT_VCENTER does nothing without DT_SINGLELINE: the text starts at the top left
  // and every CR LF starts a new line.
  DrawTextA(dc, text, length, &client, kLabelTextFormat);
  SelectObject(dc, previousFont);
}

// A text box asks its parent for its colours before it draws.
LRESULT EditColours(HDC dc, HWND box) {
  Control* control = FindControlByWindow(box);
  if (!control || control->kind != ControlKind::EditBox) return 0;
  SetTextColor(dc, kBlack);
  SetBkColor(dc, kWhite);
  return reinterpret_cast<LRESULT>(control->brush);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintMainWindow(hwnd);
      return 0;
    case WM_CTLCOLOREDIT: {
      LRESULT brush = EditColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
      if (brush) return brush;
      break;
    }
    case WM_ACTIVATE:
      RememberFocusOnDeactivation(hwnd, wParam);
      break;
    case WM_SETFOCUS:
      PlaceFocusOnActivation(hwnd);
      return 0;
    case WM_NCDESTROY: {
      LoadedForm* form = nullptr;
      if (FindControlByWindow(hwnd, &form)) {
        FormNumber number = form->number;
        UnloadForm(number);
        ForgetRememberedFocus();
        WindowGone();
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A label remembers which control of which form it is, so that a message that
// reaches its window raises the event of that pair.
struct LabelIdentity {
  FormNumber form = 0;
  ControlNumber control = 0;
  bool used = false;
};

// Kept in static storage: a label's identity must not outlive the process, and
// there are never more labels than one form's controls.
LabelIdentity g_labelIdentities[kMaxControls];

LabelIdentity* ClaimLabelIdentity(FormNumber form, ControlNumber control) {
  for (LabelIdentity& identity : g_labelIdentities) {
    if (!identity.used) {
      identity = LabelIdentity{form, control, true};
      return &identity;
    }
  }
  return nullptr;
}

LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintLabel(hwnd);
      return 0;
    case kFeedbackMessage: {
      auto* identity = reinterpret_cast<LabelIdentity*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
      if (!identity) return 0;
      return RaiseFeedbackEvent(identity->form, identity->control, wParam, lParam);
    }
    case WM_NCDESTROY:
      if (auto* identity =
              reinterpret_cast<LabelIdentity*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) {
        *identity = LabelIdentity{};
      }
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A class that is registered already (by an earlier window of the process) is kept.
bool EnsureClass(HINSTANCE instance, const char* name, WNDPROC procedure) {
  WNDCLASSA existing{};
  if (GetClassInfoA(instance, name, &existing)) return true;
  WNDCLASSA wc{};
  wc.style = kClassStyle;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  // Nothing is erased by the system: each window paints its whole background.
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = name;
  return RegisterClassA(&wc) != 0;
}

void LoadIcons(HINSTANCE instance) {
  if (g_iconsLoaded) return;
  g_iconsLoaded = true;
  g_bigIcon = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 32, 32, 0));
  g_smallIcon = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 16, 16, 0));
}

void SetFont(HWND hwnd) {
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
}

// Replaces the border styles with the wanted ones, telling the window its frame changed.
void SetBorder(HWND hwnd, int index, DWORD remove, DWORD add) {
  DWORD current = static_cast<DWORD>(GetWindowLongA(hwnd, index));
  DWORD wanted = (current & ~remove) | add;
  if (wanted == current) return;
  SetWindowLongA(hwnd, index, static_cast<LONG>(wanted));
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

HWND CreateTextBox(const ControlDescription& box, HWND parent, int id, HINSTANCE instance,
                   Control& entry) {
  entry.brush = CreateSolidBrush(kWhite);
  DWORD style = kEditStyle | (box.tabStop ? WS_TABSTOP : 0);
  HWND hwnd =
      CreateWindowExA(0, "EDIT", box.text, style, box.left, box.top, box.width, box.height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (!hwnd) return nullptr;
  SetFont(hwnd);
  // 0 lifts the limit to the edit control's largest.
  SendMessageA(hwnd, EM_LIMITTEXT, 0, 0);
  SendMessageA(hwnd, EM_SETSEL, 0, 0);
  SendMessageA(hwnd, EM_SCROLLCARET, 0, 0);
  SetBorder(hwnd, GWL_EXSTYLE, WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME,
            WS_EX_CLIENTEDGE);
  SetBorder(hwnd, GWL_STYLE, WS_BORDER, 0);
  return hwnd;
}

HWND CreateLabel(const ControlDescription& label, FormNumber form, HWND parent, int id,
                 HINSTANCE instance) {
  LabelIdentity* identity = ClaimLabelIdentity(form, label.number);
  if (!identity) return nullptr;
  HWND hwnd = CreateWindowExA(0, kLabelClass, label.text, kLabelStyle, label.left, label.top,
                              label.width, label.height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (!hwnd) {
    *identity = LabelIdentity{};
    return nullptr;
  }
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(identity));
  return hwnd;
}

}  // namespace

const FormDescription& MainFormDescription() { return kMainFormDescription; }

const ControlDescription* DescribeControl(const FormDescription& form, ControlNumber number) {
  for (std::size_t i = 0; i < form.controlCount; ++i) {
    if (form.controls[i].number == number) return &form.controls[i];
  }
  return nullptr;
}

HWND BuildMainWindow(const FormDescription& form) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!EnsureClass(instance, kMainClass, &MainWindowProc) ||
      !EnsureClass(instance, kLabelClass, &LabelProc)) {
    return nullptr;
  }
  LoadedForm* loaded = LoadForm(form.number, form.bindings, form.bindingCount);
  if (!loaded) return nullptr;
  Control* window = AddControl(*loaded, form.window.number, ControlKind::Window);
  window->visible = form.window.visible;
  window->alwaysOnTop = form.window.alwaysOnTop;
  window->showInTaskbar = form.window.showInTaskbar;

  const int width = form.window.width;
  const int height = form.window.height;
  // Centred on the primary screen; the division truncates toward zero.
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  HWND main = CreateWindowExA(0, kMainClass, form.window.title, kMainStyle, x, y, width, height,
                              nullptr, nullptr, instance, nullptr);
  if (!main) {
    UnloadForm(form.number);
    return nullptr;
  }
  window->hwnd = main;

  RECT outer{};
  GetWindowRect(main, &outer);
  if (outer.right - outer.left != width || outer.bottom - outer.top != height) {
    MoveWindow(main, x, y, width, height, TRUE);
  }
  LoadIcons(instance);
  SendMessageA(main, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_bigIcon));
  SendMessageA(main, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_smallIcon));
  SetFont(main);
  if (form.window.alwaysOnTop) SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly);

  // Children are created from the last in form order to the first; the n-th gets
  // the child identifier 100 + 10n.
  for (std::size_t n = 0; n < form.controlCount; ++n) {
    const ControlDescription& description = form.controls[form.controlCount - 1 - n];
    const int id = 100 + 10 * static_cast<int>(n);
    Control* entry = AddControl(*loaded, description.number, description.kind);
    if (!entry) return nullptr;
    entry->visible = description.visible;
    HWND child = description.kind == ControlKind::EditBox
                     ? CreateTextBox(description, main, id, instance, *entry)
                     : CreateLabel(description, form.number, main, id, instance);
    if (!child) return nullptr;
    entry->hwnd = child;
  }

  // Stack the children in form order: the first on top, each next one below it.
  HWND above = HWND_TOP;
  for (std::size_t i = 0; i < form.controlCount; ++i) {
    HWND child = FindControl(*loaded, form.controls[i].number)->hwnd;
    SetWindowPos(child, above, 0, 0, 0, 0, kZOrderOnly);
    above = child;
  }
  return main;
}

void ResetFormForTesting() {
  for (LabelIdentity& identity : g_labelIdentities) identity = LabelIdentity{};
  g_bigIcon = nullptr;
  g_smallIcon = nullptr;
  g_iconsLoaded = false;
}

}  // namespace vantrel
