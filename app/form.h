// The main window's form: its constant description, and building and drawing
// the window and its twelve controls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "desktop/controls.h"
#include "desktop/win32.h"

namespace vantrel {

inline constexpr FormNumber kMainForm = 0x52010001;

// Control numbers of the main form.
inline constexpr ControlNumber kMainWindow = 0x06010000;
inline constexpr ControlNumber kLabel1 = 0x16010002;  // 标签1, names F1-F5
inline constexpr ControlNumber kEdit1 = 0x16010004;   // 编辑框1
inline constexpr ControlNumber kEdit2 = 0x16010007;   // 编辑框2
inline constexpr ControlNumber kEdit3 = 0x16010008;   // 编辑框3
inline constexpr ControlNumber kEdit4 = 0x16010009;   // 编辑框4
inline constexpr ControlNumber kEdit5 = 0x1601000A;   // 编辑框5
inline constexpr ControlNumber kEdit6 = 0x1601000B;   // 编辑框6
inline constexpr ControlNumber kEdit7 = 0x1601000C;   // 编辑框7
inline constexpr ControlNumber kEdit8 = 0x1601000D;   // 编辑框8
inline constexpr ControlNumber kEdit9 = 0x1601000E;   // 编辑框9
inline constexpr ControlNumber kEdit10 = 0x1601000F;  // 编辑框10
inline constexpr ControlNumber kLabel2 = 0x16010010;  // 标签2, names F6-F10

struct ControlDescription {
  ControlNumber number;
  const char* name;
  ControlKind kind;
  int left, top, width, height;  // relative to the window's client area
  bool visible;
  bool tabStop;
  std::int32_t tabOrder;
  const char* text;
};

struct WindowDescription {
  ControlNumber number;
  const char* title;
  int width, height;  // the outer rectangle; the window is centred on the screen
  bool visible;
  bool alwaysOnTop;
  bool showInTaskbar;
  bool escCloses;
};

struct FormDescription {
  FormNumber number;
  WindowDescription window;
  const ControlDescription* controls;  // in form order
  std::size_t controlCount;
  const EventBinding* bindings;
  std::size_t bindingCount;
};

// The form of the main window; its event bindings point at the handlers of app/.
const FormDescription& MainFormDescription();

// The description of one control of a form, or null.
const ControlDescription* DescribeControl(const FormDescription& form, ControlNumber number);

// Builds the hidden main window and its controls and enters them in the control
// registry. Null when a window cannot be created.
HWND BuildMainWindow(const FormDescription& form);

void ResetFormForTesting();

}  // namespace vantrel
