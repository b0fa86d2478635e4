// Message boxes with their modal loop, and painting as the simulated desktop
// writes it down.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/sim_support.h"

namespace simtest {
namespace {

using MessageBoxes = SimTest;

TEST_F(MessageBoxes, TheModalLoopHandlesAHotkeyPressedWhileTheBoxIsOpen) {
  HWND a = MakeTopLevel("A");
  ShowWindow(a, SW_SHOW);
  RegisterHotKey(a, 1, 0, VK_F1);
  PostMessageA(a, WM_USER, 0, 0);
  std::vector<std::pair<UINT, bool>> handled;  // message, box open at the time
  g_onMessage = [&](const Seen& s) {
    if (s.message == WM_USER || s.message == WM_HOTKEY)
      handled.emplace_back(s.message, desk.messageBoxOpen());
  };
  desk.onMessageBox([&](const sim::MessageBoxInfo& box) {
    EXPECT_EQ(box.text, "Sure?");
    EXPECT_EQ(box.caption, "Error");  // no caption given
    desk.press(VK_F1);
    return IDYES;
  });

  EXPECT_EQ(MessageBoxA(a, "Sure?", nullptr, MB_YESNO), IDYES);

  ASSERT_EQ(handled.size(), 2u);
  EXPECT_EQ(handled[0], std::make_pair(static_cast<UINT>(WM_USER), true));
  EXPECT_EQ(handled[1], std::make_pair(static_cast<UINT>(WM_HOTKEY), true));
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_EQ(desk.messageBoxes()[0].owner, a);
  EXPECT_EQ(desk.messageBoxes()[0].style, static_cast<UINT>(MB_YESNO));
  EXPECT_FALSE(desk.messageBoxOpen());
}

TEST_F(MessageBoxes, TaskModalWithoutOwnerDisablesEveryTopLevelWindowWhileOpen) {
  HWND a = MakeTopLevel("A");
  HWND b = MakeTopLevel("B");
  HWND alreadyOff = MakeTopLevel("C");
  EnableWindow(alreadyOff, FALSE);
  ShowWindow(a, SW_SHOW);
  desk.onMessageBox([&](const sim::MessageBoxInfo&) {
    EXPECT_FALSE(IsWindowEnabled(a));
    EXPECT_FALSE(IsWindowEnabled(b));
    EXPECT_EQ(desk.active(), desk.messageBoxWindow());
    return IDOK;
  });
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK | MB_TASKMODAL), IDOK);
  EXPECT_TRUE(IsWindowEnabled(a));
  EXPECT_TRUE(IsWindowEnabled(b));
  EXPECT_FALSE(IsWindowEnabled(alreadyOff));  // what was disabled before stays so
  EXPECT_EQ(desk.active(), a);
}

TEST_F(MessageBoxes, AnOwnedBoxDisablesTheOwnerAndGivesItTheActivationBack) {
  HWND a = MakeTopLevel("A");
  HWND b = MakeTopLevel("B");
  HWND child = MakeChild(a, 3);
  ShowWindow(a, SW_SHOW);
  desk.onMessageBox([&](const sim::MessageBoxInfo&) {
    EXPECT_FALSE(IsWindowEnabled(a));
    EXPECT_TRUE(IsWindowEnabled(b));
    return IDCANCEL;
  });
  g_seen.clear();
  EXPECT_EQ(MessageBoxA(child, "t", "c", MB_OKCANCEL), IDCANCEL);
  EXPECT_TRUE(IsWindowEnabled(a));
  const int off = IndexOf(a, WM_ACTIVATE);
  ASSERT_GE(off, 0);
  EXPECT_EQ(LOWORD(g_seen[off].wParam), WA_INACTIVE);
  const int on = IndexOf(a, WM_ACTIVATE, static_cast<std::size_t>(off) + 1);
  ASSERT_GE(on, 0);
  EXPECT_NE(LOWORD(g_seen[on].wParam), WA_INACTIVE);
  EXPECT_EQ(desk.active(), a);
}

TEST_F(MessageBoxes, AQuitMetInsideTheBoxEndsItAndGoesOnToTheOuterLoop) {
  int asked = 0;
  desk.onMessageBox([&](const sim::MessageBoxInfo&) {
    ++asked;
    return IDOK;
  });
  PostQuitMessage(6);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), 0);
  EXPECT_EQ(asked, 0);
  MSG msg;
  ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.wParam, 6u);
}

int g_preTranslated = 0;

int ShowsAnUnexpectedBox() {
  MessageBoxA(nullptr, "Nobody expects this", "c", MB_OK);
  return 0;
}

TEST(MessageBoxProcess, ABoxNobodyAnswersFailsTheRunWithItsText) {
  sim::Desktop desk;
  try {
    desk.run(&ShowsAnUnexpectedBox);
    FAIL() << "run() returned";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("unexpected message box: Nobody expects this"),
              std::string::npos);
  }
}

int LoopsWithPreTranslation() {
  RegisterRecordingClass();
  HWND a = MakeTopLevel("A");
  ShowWindow(a, SW_SHOW);
  PostMessageA(a, WM_USER, 0, 0);
  MessageBoxA(a, "t", "c", MB_OK);
  PostMessageA(a, WM_USER, 0, 0);
  PostQuitMessage(0);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_USER) ++g_preTranslated;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

TEST(MessageBoxProcess, TheModalLoopDoesNotRunTheProgramsPreTranslation) {
  sim::Desktop desk;
  g_seen.clear();
  g_preTranslated = 0;
  desk.onMessageBox([](const sim::MessageBoxInfo&) { return IDOK; });
  EXPECT_EQ(desk.run(&LoopsWithPreTranslation), 0);
  EXPECT_EQ(g_preTranslated, 1);
  EXPECT_EQ(Only(WM_USER).size(), 2u);
  g_seen.clear();
}

// ---- painting

HBRUSH g_editBrush = nullptr;

LRESULT CALLBACK ColouringParent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, message == WM_CTLCOLOREDIT ? RGB(4, 5, 6) : RGB(7, 8, 9));
    return reinterpret_cast<LRESULT>(g_editBrush);
  }
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT box{};
    GetClipBox(dc, &box);
    HRGN region = CreateRectRgn(box.left, box.top, box.right, box.bottom);
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    FillRgn(dc, region, brush);
    DeleteObject(region);
    DeleteObject(brush);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    RECT r{0, 0, 50, 20};
    DrawTextA(dc, "Label", -1, &r, DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(GetStockObject(NULL_BRUSH));
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

class Painting : public SimTest {
 protected:
  Painting() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &ColouringParent;
    wc.lpszClassName = "Colouring";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    RegisterClassA(&wc);
    parent = CreateWindowExA(0, "Colouring", "P", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                             nullptr, nullptr, nullptr);
    g_editBrush = CreateSolidBrush(RGB(200, 100, 50));
  }
  HWND parent;
};

TEST_F(Painting, AnEditAsksItsParentForColoursAndTheAnswerIsRecorded) {
  HWND edit = MakeChild(parent, 1, "EDIT", ES_MULTILINE);
  HWND readOnly = MakeChild(parent, 2, "EDIT", ES_MULTILINE | ES_READONLY);
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  SetWindowTextA(edit, "text");

  const sim::PaintRecord p = desk.paint(edit);
  EXPECT_TRUE(p.ctlColorSent);
  EXPECT_EQ(p.ctlColorMessage, static_cast<UINT>(WM_CTLCOLOREDIT));
  EXPECT_EQ(p.ctlBrush, g_editBrush);
  EXPECT_EQ(p.ctlBrushColor, RGB(200, 100, 50));
  EXPECT_EQ(p.ctlTextColor, RGB(1, 2, 3));
  EXPECT_EQ(p.ctlBkColor, RGB(4, 5, 6));
  ASSERT_EQ(p.texts.size(), 1u);
  EXPECT_EQ(p.texts[0].text, "text");
  EXPECT_EQ(p.texts[0].font, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  EXPECT_EQ(p.texts[0].textColor, RGB(1, 2, 3));

  const sim::PaintRecord q = desk.paint(readOnly);
  EXPECT_EQ(q.ctlColorMessage, static_cast<UINT>(WM_CTLCOLORSTATIC));
  EXPECT_EQ(q.ctlBkColor, RGB(7, 8, 9));
}

TEST_F(Painting, APaintRecordsItsClipFillsTextsAndObjects) {
  const sim::PaintRecord p = desk.paint(parent, RECT{10, 10, 60, 40});
  EXPECT_EQ(p.clip.left, 10);
  ASSERT_EQ(p.fills.size(), 1u);
  EXPECT_TRUE(EqualRect(&p.fills[0].rect, &p.clip));
  EXPECT_EQ(p.fills[0].color, RGB(10, 20, 30));
  ASSERT_EQ(p.texts.size(), 1u);
  EXPECT_EQ(p.texts[0].text, "Label");
  EXPECT_EQ(p.texts[0].bkMode, TRANSPARENT);
  EXPECT_EQ(p.texts[0].font, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  EXPECT_EQ(p.objectsCreated, 2);
  EXPECT_EQ(p.objectsDeleted, 2);
  EXPECT_EQ(p.stockObjectsDeleted, 1);
  EXPECT_EQ(desk.liveGdiObjects(), 1);  // the edit brush of the fixture

  const sim::PaintRecord none = desk.paint(parent, RECT{0, 0, 0, 0});
  ASSERT_EQ(none.fills.size(), 1u);
  EXPECT_TRUE(IsRectEmpty(&none.fills[0].rect));
}

}  // namespace
}  // namespace simtest
