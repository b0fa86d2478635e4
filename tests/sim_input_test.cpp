// Subclassing cookies, hotkeys and injected input on the simulated desktop.
#include <gtest/gtest.h>

#include "tests/sim_support.h"

namespace simtest {
namespace {

// ---- subclassing

WNDPROC g_previous = nullptr;
int g_subclassCalls = 0;

LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ++g_subclassCalls;
  if (message == WM_USER + 5) return 55;
  return CallWindowProcA(g_previous, hwnd, message, wParam, lParam);
}

using Subclassing = SimTest;

TEST_F(Subclassing, ThePreviousProcedureIsACookieOnlyCallWindowProcUnderstands) {
  HWND a = MakeTopLevel("A");
  const LONG_PTR previous =
      SetWindowLongPtrA(a, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass));
  ASSERT_NE(previous, 0);
  g_previous = reinterpret_cast<WNDPROC>(previous);
  EXPECT_NE(g_previous, &RecordingProc);
  EXPECT_EQ(GetWindowLongPtrA(a, GWLP_WNDPROC), GetWindowLongPtrA(a, GWLP_WNDPROC));

  g_subclassCalls = 0;
  g_seen.clear();
  EXPECT_EQ(SendMessageA(a, WM_USER + 5, 0, 0), 55);
  EXPECT_TRUE(g_seen.empty());
  SendMessageA(a, WM_USER + 6, 0, 0);
  EXPECT_EQ(g_subclassCalls, 2);
  EXPECT_EQ(IndexOf(a, WM_USER + 6), 0);  // passed on to the original procedure

  // Putting the cookie back restores the original procedure.
  SetWindowLongPtrA(a, GWLP_WNDPROC, previous);
  g_subclassCalls = 0;
  SendMessageA(a, WM_USER + 5, 0, 0);
  EXPECT_EQ(g_subclassCalls, 0);
}

TEST_F(Subclassing, TheBuiltInEditProcedureWorksThroughItsCookie) {
  HWND a = MakeTopLevel("A");
  HWND e = MakeChild(a, 1, "EDIT", ES_MULTILINE);
  g_previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass)));
  SetWindowTextA(e, "abc");
  char buffer[8] = {};
  EXPECT_EQ(GetWindowTextA(e, buffer, sizeof buffer), 3);
  EXPECT_STREQ(buffer, "abc");
}

using SubclassingDeathTest = SimTest;

TEST_F(SubclassingDeathTest, CallingTheCookieDirectlyStopsTheTest) {
  HWND a = MakeTopLevel("A");
  auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(a, GWLP_WNDPROC));
  EXPECT_DEATH(previous(a, WM_USER, 0, 0), "only CallWindowProcA");
}

// ---- hotkeys

using Hotkeys = SimTest;

TEST_F(Hotkeys, ACombinationHeldByAnybodyIsRefused) {
  HWND a = MakeTopLevel("A");
  HWND b = MakeTopLevel("B");
  desk.holdHotkey(MOD_CONTROL, VK_F6);
  struct Case {
    HWND hwnd;
    int id;
    UINT modifiers;
    UINT vk;
    BOOL ok;
    DWORD error;
  };
  const Case cases[] = {
      {a, 1, MOD_CONTROL, VK_F6, FALSE, ERROR_HOTKEY_ALREADY_REGISTERED},  // another program's
      {a, 1, MOD_CONTROL | MOD_NOREPEAT, VK_F6, FALSE, ERROR_HOTKEY_ALREADY_REGISTERED},
      {a, 1, 0, VK_F6, TRUE, 0},
      {b, 2, 0, VK_F6, FALSE, ERROR_HOTKEY_ALREADY_REGISTERED},  // ours, on another window
      {a, 1, MOD_SHIFT, VK_F6, TRUE, 0},                         // same window and id: both kept
      {desk.otherProgramWindow(), 3, 0, VK_F7, FALSE, ERROR_WINDOW_OF_OTHER_THREAD},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "modifiers " << c.modifiers << " key " << c.vk);
    SetLastError(0);
    EXPECT_EQ(RegisterHotKey(c.hwnd, c.id, c.modifiers, c.vk), c.ok);
    if (!c.ok) {
      EXPECT_EQ(GetLastError(), c.error);
    }
  }
  // Unregistering frees the older of the two registrations first.
  EXPECT_TRUE(UnregisterHotKey(a, 1));
  EXPECT_TRUE(RegisterHotKey(b, 2, 0, VK_F6));
  EXPECT_FALSE(RegisterHotKey(b, 4, MOD_SHIFT, VK_F6));
  EXPECT_TRUE(UnregisterHotKey(a, 1));
  EXPECT_FALSE(UnregisterHotKey(a, 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_NOT_REGISTERED));
}

TEST_F(Hotkeys, APressBecomesWmHotkeyInsteadOfKeyMessages) {
  HWND a = MakeTopLevel("A");
  HWND focus = MakeChild(a, 1);
  ShowWindow(a, SW_SHOW);
  SetFocus(focus);
  ASSERT_TRUE(RegisterHotKey(a, 33, MOD_SHIFT, VK_F2));
  g_seen.clear();

  desk.press({VK_SHIFT, VK_F2});
  desk.press(VK_F2);  // without Shift it is an ordinary key
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);

  const auto hot = Only(WM_HOTKEY);
  ASSERT_EQ(hot.size(), 1u);
  EXPECT_EQ(hot[0].hwnd, a);
  EXPECT_EQ(hot[0].wParam, 33u);
  EXPECT_EQ(LOWORD(hot[0].lParam), MOD_SHIFT);
  EXPECT_EQ(HIWORD(hot[0].lParam), VK_F2);
  std::vector<WPARAM> downs;
  for (const Seen& s : Only(WM_KEYDOWN)) downs.push_back(s.wParam);
  EXPECT_EQ(downs, (std::vector<WPARAM>{VK_SHIFT, VK_F2}));
}

TEST_F(Hotkeys, NoRepeatKeepsAHeldKeyFromFiringAgain) {
  HWND a = MakeTopLevel("A");
  RegisterHotKey(a, 1, MOD_NOREPEAT, VK_F3);
  RegisterHotKey(a, 2, 0, VK_F4);
  for (BYTE vk : {VK_F3, VK_F4}) {
    desk.keyDown(vk);
    desk.keyDown(vk);  // auto-repeat
    desk.keyUp(vk);
  }
  MSG msg;
  std::vector<WPARAM> ids;
  while (PeekMessageA(&msg, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) ids.push_back(msg.wParam);
  EXPECT_EQ(ids, (std::vector<WPARAM>{1, 2, 2}));
}

TEST_F(Hotkeys, AnotherProgramsHotkeySwallowsTheKey) {
  HWND a = MakeTopLevel("A");
  ShowWindow(a, SW_SHOW);
  desk.holdHotkey(MOD_ALT, 'Q');
  desk.press({VK_MENU, 'Q'});
  ASSERT_EQ(desk.hotkeysTakenByOtherProgram().size(), 1u);
  EXPECT_EQ(desk.hotkeysTakenByOtherProgram()[0].vk, 'Q');
  MSG msg;
  std::vector<WPARAM> keys;
  while (PeekMessageA(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE))
    keys.push_back(msg.wParam);
  EXPECT_EQ(keys, (std::vector<WPARAM>{VK_MENU}));
}

// ---- injected input

using Injection = SimTest;

TEST_F(Injection, KeybdEventIsRecordedAndDeliveredLikeTheUsersKeys) {
  HWND a = MakeTopLevel("A");
  HWND edit = MakeChild(a, 1, "EDIT", ES_MULTILINE);
  ShowWindow(a, SW_SHOW);
  SetFocus(edit);
  desk.otherProgramSetsClipboardText("pasted");

  keybd_event(VK_CONTROL, 0, 0, 0);
  keybd_event('V', 0, 0, 0);
  keybd_event('V', 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_EQ(desk.text(edit), "");  // posted: nothing happens before the loop runs
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(desk.text(edit), "pasted");
  ASSERT_EQ(desk.injected().size(), 4u);
  EXPECT_EQ(desk.injected()[1].vk, 'V');
  EXPECT_EQ(desk.injected()[2].flags, static_cast<DWORD>(KEYEVENTF_KEYUP));
}

TEST_F(Injection, WithAnotherProgramInFrontItGetsTheKeysAndHotkeysStillWin) {
  HWND a = MakeTopLevel("A");
  RegisterHotKey(a, 9, 0, VK_F9);
  desk.activate(desk.otherProgramWindow());
  keybd_event('X', 0, 0, 0);
  keybd_event('X', 0, KEYEVENTF_KEYUP, 0);
  desk.press(VK_F9);
  const auto& got = desk.keysReceivedByOtherProgram();
  ASSERT_EQ(got.size(), 3u);  // X down, X up, F9 up: F9 down went to the hotkey
  EXPECT_EQ(got[0].vk, 'X');
  EXPECT_EQ(got[1].flags, static_cast<DWORD>(KEYEVENTF_KEYUP));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_HOTKEY));
}

}  // namespace
}  // namespace simtest
