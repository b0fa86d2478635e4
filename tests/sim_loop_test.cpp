// The simulated message queue and process: quit rules, idle steps, failures,
// exit codes, and the characters TranslateMessage makes.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/sim_support.h"

namespace simtest {
namespace {

using MessageLoop = SimTest;

std::vector<UINT> Drain() {
  std::vector<UINT> got;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    got.push_back(msg.message);
    if (msg.message == WM_QUIT) break;
  }
  return got;
}

TEST_F(MessageLoop, QuitComesOnlyAfterThePostedMessagesAndOnceForManyCalls) {
  HWND a = MakeTopLevel("A");
  PostQuitMessage(3);
  PostMessageA(a, WM_USER + 1, 0, 0);
  PostQuitMessage(4);
  PostMessageA(nullptr, WM_USER + 2, 0, 0);

  MSG peek;
  ASSERT_TRUE(PeekMessageA(&peek, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  EXPECT_EQ(peek.message, static_cast<UINT>(WM_QUIT));  // with nothing else in the filter's range
  EXPECT_EQ(Drain(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_QUIT}));
  EXPECT_TRUE(Drain().empty());
}

TEST_F(MessageLoop, PeekWithoutRemoveKeepsTheQuitFlag) {
  PostQuitMessage(9);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.wParam, 9u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(MessageLoop, AThreadMessageIsDispatchedNowhere) {
  HWND a = MakeTopLevel("A");
  PostMessageA(nullptr, WM_USER, 1, 2);
  g_seen.clear();
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  EXPECT_TRUE(g_seen.empty());
  (void)a;
}

TEST_F(MessageLoop, MessagesOfADestroyedWindowLeaveTheQueue) {
  HWND a = MakeTopLevel("A");
  PostMessageA(a, WM_USER, 0, 0);
  DestroyWindow(a);
  EXPECT_TRUE(Drain().empty());
}

// ---- the process

int g_loops = 0;

int LoopUntilQuit() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return -100;
    ++g_loops;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

TEST(Process, IdleStepsRunWhenTheQueueIsEmptyAndTheQuitCodeIsReturned) {
  sim::Desktop desk;
  g_loops = 0;
  int steps = 0;
  desk.onIdle([&] {
    ++steps;
    PostMessageA(nullptr, WM_USER, 0, 0);
  });
  desk.onIdle([&] {
    ++steps;
    PostQuitMessage(7);
  });
  EXPECT_EQ(desk.run(&LoopUntilQuit), 7);
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(g_loops, 1);
}

TEST(Process, WaitingWithNothingLeftToHappenFailsTheRunClearly) {
  sim::Desktop desk;
  try {
    desk.run(&LoopUntilQuit);
    FAIL() << "run() returned";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("wait forever"), std::string::npos) << e.what();
  }
}

int g_failures = 0;

int CountsFailures() {
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) ++g_failures;
  }
}

TEST(Process, AnInjectedGetMessageFailureReturnsMinusOneOnce) {
  sim::Desktop desk;
  g_failures = 0;
  desk.failNextGetMessage();
  desk.onIdle([] { PostQuitMessage(2); });
  EXPECT_EQ(desk.run(&CountsFailures), 2);
  EXPECT_EQ(g_failures, 1);
}

int ExitsHalfway() {
  PostQuitMessage(1);
  ExitProcess(42);
}

int SwallowsEverything() {
  try {
    ExitProcess(5);
  } catch (const std::exception&) {
    return 1;
  }
}

TEST(Process, ExitProcessEndsTheRunWithItsCodeAndTheWindowsVanish) {
  {
    sim::Desktop desk;
    EXPECT_EQ(desk.run(&ExitsHalfway), 42);
    EXPECT_TRUE(desk.exited());
  }
  {
    sim::Desktop desk;
    EXPECT_EQ(desk.run(&SwallowsEverything),
              5);  // not a std::exception: no handler of the program takes it
  }
}

HWND g_window = nullptr;

int ShowsAWindowAndLoops() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &RecordingProc;
  wc.lpszClassName = "Proc";
  RegisterClassA(&wc);
  g_window = CreateWindowExA(0, "Proc", "Main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, nullptr, nullptr);
  ShowWindow(g_window, SW_SHOW);
  return LoopUntilQuit();
}

TEST(Process, WhenTheProcessEndsItsWindowsAreGoneWithoutMessages) {
  sim::Desktop desk;
  g_seen.clear();
  desk.onIdle([] { PostQuitMessage(0); });
  EXPECT_EQ(desk.run(&ShowsAWindowAndLoops), 0);
  EXPECT_FALSE(desk.exists(g_window));
  EXPECT_EQ(IndexOf(g_window, WM_DESTROY), -1);
  g_seen.clear();
}

// ---- characters from keys

struct CharCase {
  const char* name;
  std::vector<BYTE> chord;  // all down in order, then up in reverse
  std::vector<WPARAM> chars;
  UINT charMessage;
};

class Characters : public SimTest, public ::testing::WithParamInterface<CharCase> {};

TEST_P(Characters, TranslateMessageMakesTheCharacterOfAUsKeyboard) {
  const CharCase& c = GetParam();
  HWND a = MakeTopLevel("A");
  HWND target = MakeChild(a, 1);
  ShowWindow(a, SW_SHOW);
  SetFocus(target);
  g_seen.clear();
  if (c.chord.size() == 1) {
    desk.press(c.chord[0]);
  } else if (c.chord.size() == 2) {
    desk.press({c.chord[0], c.chord[1]});
  } else {
    desk.press({c.chord[0], c.chord[1], c.chord[2]});
  }
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  std::vector<WPARAM> chars;
  for (const Seen& s : Only(c.charMessage)) {
    EXPECT_EQ(s.hwnd, target);
    chars.push_back(s.wParam);
  }
  EXPECT_EQ(chars, c.chars);
}

INSTANTIATE_TEST_SUITE_P(
    UsLayout, Characters,
    ::testing::Values(CharCase{"Letter", {'A'}, {'a'}, WM_CHAR},
                      CharCase{"ShiftLetter", {VK_SHIFT, 'A'}, {'A'}, WM_CHAR},
                      CharCase{"ShiftDigit", {VK_SHIFT, '1'}, {'!'}, WM_CHAR},
                      CharCase{"Punctuation", {VK_OEM_1}, {';'}, WM_CHAR},
                      CharCase{"ShiftPunctuation", {VK_SHIFT, VK_OEM_7}, {'"'}, WM_CHAR},
                      CharCase{"Enter", {VK_RETURN}, {'\r'}, WM_CHAR},
                      CharCase{"Tab", {VK_TAB}, {'\t'}, WM_CHAR},
                      CharCase{"Escape", {VK_ESCAPE}, {0x1B}, WM_CHAR},
                      CharCase{"Backspace", {VK_BACK}, {8}, WM_CHAR},
                      CharCase{"CtrlV", {VK_CONTROL, 'V'}, {0x16}, WM_CHAR},
                      CharCase{"FunctionKey", {VK_F5}, {}, WM_CHAR},
                      CharCase{"CtrlAltLetter", {VK_CONTROL, VK_MENU, 'Q'}, {}, WM_CHAR},
                      CharCase{"AltLetter", {VK_MENU, 'X'}, {'x'}, WM_SYSCHAR}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageLoop, KeyStateFollowsTheMessagesTheProgramHasTaken) {
  HWND a = MakeTopLevel("A");
  ShowWindow(a, SW_SHOW);
  desk.press({VK_CONTROL, 'V'});
  EXPECT_FALSE(desk.keyIsDown(VK_CONTROL));
  EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));  // Ctrl down
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));  // V down
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>('V'));
  EXPECT_NE(GetKeyState(VK_CONTROL) & 0x8000, 0);  // as it was when V went down
  EXPECT_EQ(Drain().size(), 2u);
  EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);
}

TEST_F(MessageLoop, VkKeyScanExAGivesTheKeyAndTheShiftState) {
  HKL layout = GetKeyboardLayout(0);
  EXPECT_EQ(VkKeyScanExA('a', layout), 0x41);
  EXPECT_EQ(VkKeyScanExA('A', layout), 0x141);
  EXPECT_EQ(VkKeyScanExA('7', layout), 0x37);
  EXPECT_EQ(VkKeyScanExA('&', layout), 0x137);
  EXPECT_EQ(VkKeyScanExA(' ', layout), VK_SPACE);
  EXPECT_EQ(VkKeyScanExA('?', layout), 0x100 | VK_OEM_2);
  EXPECT_EQ(VkKeyScanExA(static_cast<CHAR>(0xD6), layout), -1);
}

}  // namespace
}  // namespace simtest
