// At start-up F1-F10 are claimed; each refused key is reported and its box hidden
// before the window is first shown.
#include <set>
#include <string>

#include "app/slots.h"
#include "desktop/win32.h"
#include "program_fixture.h"

namespace vantrel::testing {
namespace {

// "注册Fn失败" in code page 936, and the default caption "信息：".
std::string FailureText(int key) {
  return "\xD7\xA2\xB2\xE1"
         "F" +
         std::to_string(key) + "\xCA\xA7\xB0\xDC";
}
const std::string kCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";

struct RefusalCase {
  const char* name;
  std::set<int> held;  // keys another program holds before start-up
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class SlotSetupTest : public ProgramTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SlotSetupTest, RefusedKeysAreReportedInOrderAndTheirBoxesHiddenBeforeTheWindowShows) {
  const std::set<int>& held = GetParam().held;
  for (int key : held) desk.holdHotkey(0, VK_F1 + key - 1);
  std::vector<int> reported;
  desk.onMessageBox([&](const sim::MessageBoxInfo& box) {
    HWND main = Main();
    EXPECT_FALSE(desk.visible(main));
    EXPECT_TRUE(desk.topmost(main));
    EXPECT_FALSE(desk.enabled(main));  // task-modal: the hidden window takes no input either
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.style, static_cast<UINT>(MB_OK | MB_TASKMODAL));
    int key = 0;
    for (int k = 1; k <= 10; ++k) {
      if (box.text == FailureText(k)) key = k;
    }
    EXPECT_NE(key, 0) << box.text;
    // Each box is hidden right after its own message, not before.
    for (int earlier : reported) EXPECT_FALSE(desk.visible(Box(earlier)));
    if (key) {
      EXPECT_TRUE(desk.visible(Box(key)));
    }
    reported.push_back(key);
    return IDOK;
  });
  ThenClose([&] {
    EXPECT_TRUE(desk.visible(Main()));
    EXPECT_TRUE(desk.enabled(Main()));
    EXPECT_TRUE(desk.topmost(Main()));
    std::uint32_t next = 33001;
    for (int key = 1; key <= 10; ++key, ++next) {
      SCOPED_TRACE(key);
      const bool refused = held.count(key) != 0;
      EXPECT_EQ(desk.visible(Box(key)), !refused);
      // A refused registration consumes its identifier all the same.
      EXPECT_EQ(SlotHotkey(key - 1), refused ? 0 : static_cast<std::int32_t>(next));
    }
  });
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(reported, std::vector<int>(held.begin(), held.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SlotSetupTest,
    ::testing::Values(RefusalCase{"AllFree", {}}, RefusalCase{"F1", {1}},
                      // F6 is the top of the right column: 编辑框10, not 编辑框6.
                      RefusalCase{"F6", {6}}, RefusalCase{"F2AndF9", {2, 9}},
                      RefusalCase{"All", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SlotTable, PairsEachKeyWithItsBox) {
  // The right column runs from 编辑框10 at the top down to 编辑框6.
  const std::uint32_t boxes[10] = {0x16010004, 0x16010007, 0x16010008, 0x16010009, 0x1601000A,
                                   0x1601000F, 0x1601000E, 0x1601000D, 0x1601000C, 0x1601000B};
  for (int i = 0; i < kSlotCount; ++i) {
    EXPECT_EQ(SlotAt(i).virtualKey, VK_F1 + i);
    EXPECT_EQ(SlotAt(i).textBox, boxes[i]);
    EXPECT_EQ(std::string(SlotAt(i).failure), FailureText(i + 1));
  }
  EXPECT_EQ(std::string(SlotAt(0).failure), "\xD7\xA2\xB2\xE1\x46\x31\xCA\xA7\xB0\xDC");
}

TEST(SlotTableFixture, TheWindowIsSubclassedOnce) {
  sim::Desktop desk;
  ResetProgramForTesting();
  desk.onIdle([&] {
    int subclassings = 0;
    for (const sim::Call& call : desk.calls()) {
      if ((call.fn == "SetWindowLongPtrA" || call.fn == "SetWindowLongA") && call.args.size() > 1 &&
          call.args[1] == GWLP_WNDPROC) {
        ++subclassings;
      }
    }
    EXPECT_EQ(subclassings, 1);
    desk.close(desk.topLevel("Vantrel"));
  });
  EXPECT_EQ(desk.run(&RunProgram), 0);
}

using SlotSetupWhileBoxOpenTest = ProgramTest;

TEST_F(SlotSetupWhileBoxOpenTest, ARegisteredKeyPressedWhileAFailureIsShownPastesAtOnce) {
  desk.holdHotkey(0, VK_F3);
  desk.onMessageBox([&](const sim::MessageBoxInfo&) {
    SetWindowTextA(Box(1), "early");
    desk.press(VK_F1);
    desk.pump();
    // Pasted inside the box's loop, while the setup still waits on the box.
    EXPECT_EQ(desk.clipboardText(), "early");
    EXPECT_EQ(desk.injected().size(), 4u);
    EXPECT_TRUE(desk.visible(Box(3)));
    return IDOK;
  });
  ThenClose([&] { EXPECT_FALSE(desk.visible(Box(3))); });
  EXPECT_EQ(Run(), 0);
}

}  // namespace
}  // namespace vantrel::testing
