// The hotkey service on windows of the test's own.
#include "desktop/controls.h"
#include "desktop/hotkeys.h"
#include "desktop/win32.h"
#include "recorder.h"

namespace vantrel::testing {
namespace {

class HotkeyServiceTest : public ::testing::Test {
 protected:
  HotkeyServiceTest() { ResetHotkeysForTesting(); }
  ~HotkeyServiceTest() override { ResetHotkeysForTesting(); }

  sim::Desktop desk;
};

TEST(HotkeyModifiers, OnlyCodesOneToSixAreTranslated) {
  const struct {
    std::int32_t code;
    UINT flags;
  } table[] = {{0, 0},
               {1, MOD_CONTROL},
               {2, MOD_SHIFT},
               {3, MOD_CONTROL | MOD_SHIFT},
               {4, MOD_ALT},
               {5, MOD_CONTROL | MOD_ALT},
               {6, MOD_SHIFT | MOD_ALT},
               {7, 7},
               {8, MOD_WIN},
               {-1, static_cast<UINT>(-1)}};
  for (const auto& row : table) EXPECT_EQ(TranslateModifiers(row.code), row.flags) << row.code;
}

TEST_F(HotkeyServiceTest, IdentifiersCountCallsAndARefusedOneIsNotReused) {
  desk.holdHotkey(0, VK_F3);
  std::vector<std::int32_t> ids;
  RunAsProcess(desk, [&] {
    HWND window = MakeRecorder();
    HWND receiver = MakeRecorder();
    for (int i = 0; i < 10; ++i) ids.push_back(RegisterHotkey(window, receiver, 0, VK_F1 + i));
  });
  EXPECT_EQ(ids, (std::vector<std::int32_t>{33001, 33002, 0, 33004, 33005, 33006, 33007, 33008,
                                            33009, 33010}));
}

TEST_F(HotkeyServiceTest, ForwardsOnlyIdentifiersItHandedOutAndPassesEverythingOn) {
  desk.holdHotkey(0, VK_F3);
  RunAsProcess(desk, [&] {
    HWND window = MakeRecorder();
    HWND receiver = MakeRecorder();
    for (int i = 0; i < 10; ++i) RegisterHotkey(window, receiver, 0, VK_F1 + i);
    const struct {
      WPARAM id;
      bool notified;
    } table[] = {{33000, false},     {33001, true},
                 {33003, true},  // refused, but in range: posted by anyone, still notified
                 {33010, true},      {33011, false},
                 {0, false},         {static_cast<WPARAM>(-1), false},
                 {0xFFFFFFFF, false}};
    for (const auto& row : table) {
      g_received.clear();
      LRESULT answer = SendMessageA(window, WM_HOTKEY, row.id, 0x00700000);
      SCOPED_TRACE(row.id);
      // Every WM_HOTKEY reaches the window's own procedure, which answers for it.
      EXPECT_EQ(answer, kRecorderAnswer);
      std::vector<Received> own = ReceivedBy(window, WM_HOTKEY);
      ASSERT_EQ(own.size(), 1u);
      EXPECT_EQ(own[0].wParam, row.id);
      EXPECT_EQ(own[0].lParam, 0x00700000);
      std::vector<Received> sent = ReceivedBy(receiver, kFeedbackMessage);
      ASSERT_EQ(sent.size(), row.notified ? 1u : 0u);
      if (row.notified) {
        EXPECT_EQ(sent[0].wParam, row.id);
        EXPECT_EQ(sent[0].lParam, 0);
      }
    }
    // Any other message reaches the window's procedure unchanged, with its answer.
    g_received.clear();
    EXPECT_EQ(SendMessageA(window, WM_USER + 5, 7, -9), kRecorderAnswer);
    std::vector<Received> other = ReceivedBy(window, WM_USER + 5);
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(other[0].wParam, 7u);
    EXPECT_EQ(other[0].lParam, -9);
  });
}

TEST_F(HotkeyServiceTest, APressReachesTheReceiverNamedLast) {
  RunAsProcess(desk, [&] {
    HWND window = MakeRecorder();
    HWND first = MakeRecorder();
    HWND second = MakeRecorder();
    std::int32_t f1 = RegisterHotkey(window, first, 0, VK_F1);
    RegisterHotkey(window, second, 4, VK_F2);  // Alt+F2
    g_received.clear();
    desk.press(VK_F1);
    desk.press({VK_MENU, VK_F2});
    desk.press(VK_F2);  // without Alt: not a hotkey
    DispatchPosted();
    std::vector<Received> got = ReceivedBy(second, kFeedbackMessage);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].wParam, static_cast<WPARAM>(f1));
    EXPECT_EQ(got[1].wParam, static_cast<WPARAM>(f1 + 1));
    EXPECT_TRUE(ReceivedBy(first, kFeedbackMessage).empty());
  });
}

TEST_F(HotkeyServiceTest, ASecondWindowIsRegisteredButNotSubclassed) {
  RunAsProcess(desk, [&] {
    HWND window = MakeRecorder();
    HWND other = MakeRecorder();
    HWND receiver = MakeRecorder();
    RegisterHotkey(window, receiver, 0, VK_F1);
    std::int32_t id = RegisterHotkey(other, receiver, 0, VK_F2);
    EXPECT_EQ(id, 33002);
    g_received.clear();
    desk.press(VK_F2);
    DispatchPosted();
    EXPECT_EQ(ReceivedBy(other, WM_HOTKEY).size(), 1u);
    EXPECT_TRUE(ReceivedBy(receiver, kFeedbackMessage).empty());
  });
}

TEST_F(HotkeyServiceTest, TheLastUnregisterAndNoEarlierOneRestoresTheSubclassedWindow) {
  RunAsProcess(desk, [&] {
    HWND window = MakeRecorder();
    HWND stranger = MakeRecorder();
    HWND receiver = MakeRecorder();
    std::int32_t ids[3];
    for (int i = 0; i < 3; ++i) ids[i] = RegisterHotkey(window, receiver, 0, VK_F1 + i);
    auto notifiedBy = [&](WPARAM id) {
      g_received.clear();
      SendMessageA(window, WM_HOTKEY, id, 0);
      return !ReceivedBy(receiver, kFeedbackMessage).empty();
    };
    EXPECT_TRUE(UnregisterHotkey(window, ids[0]));
    EXPECT_TRUE(UnregisterHotkey(window, ids[1]));
    EXPECT_TRUE(notifiedBy(ids[2]));
    // The caller names another window: the procedure still goes back onto the one
    // that was subclassed, and the stranger keeps its own.
    EXPECT_FALSE(UnregisterHotkey(stranger, ids[2]));  // the key is not the stranger's
    EXPECT_FALSE(notifiedBy(ids[2]));
    g_received.clear();
    SendMessageA(stranger, WM_USER, 1, 2);
    EXPECT_EQ(ReceivedBy(stranger, WM_USER).size(), 1u);
    // Registering again subclasses again; identifiers go on from where they were.
    EXPECT_EQ(RegisterHotkey(window, receiver, 0, VK_F5), 33004);
    EXPECT_TRUE(notifiedBy(33004));
  });
}

TEST_F(HotkeyServiceTest, UnregisterReportsWhetherBothUnregisteringAndRestoringWorked) {
  RunAsProcess(desk, [&] {
    HWND window = MakeRecorder();
    HWND receiver = MakeRecorder();
    std::int32_t a = RegisterHotkey(window, receiver, 0, VK_F1);
    std::int32_t b = RegisterHotkey(window, receiver, 0, VK_F2);
    EXPECT_FALSE(
        UnregisterHotkey(window, 12345));      // never registered; the count drops all the same
    EXPECT_TRUE(UnregisterHotkey(window, a));  // the count reaches 0: restored as well
    g_received.clear();
    SendMessageA(window, WM_HOTKEY, b, 0);
    EXPECT_TRUE(ReceivedBy(receiver, kFeedbackMessage).empty());
    EXPECT_TRUE(UnregisterHotkey(window, b));
  });
}

}  // namespace
}  // namespace vantrel::testing
