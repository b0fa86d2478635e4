// Pressing F1-F10 puts the slot's text on the clipboard and sends Ctrl+V, and
// never sends Ctrl+V when the clipboard does not hold that text.
#include <string>

#include "desktop/win32.h"
#include "injected_keys.h"
#include "program_fixture.h"

namespace vantrel::testing {
namespace {

const std::vector<sim::InjectedKey> kCtrlV = {
    {VK_CONTROL, 0}, {'V', 0}, {VK_CONTROL, KEYEVENTF_KEYUP}, {'V', KEYEVENTF_KEYUP}};

class PasteTest : public ProgramTest {
 protected:
  // The Ctrl and V events the other program got (it also gets the key-up of the
  // hotkey itself, which the system does not swallow).
  std::vector<sim::InjectedKey> CtrlVReceivedByOtherProgram() const {
    std::vector<sim::InjectedKey> out;
    for (const sim::InjectedKey& key : desk.keysReceivedByOtherProgram()) {
      if (key.vk == VK_CONTROL || key.vk == 'V') out.push_back(key);
    }
    return out;
  }
  // The user works in another program and presses a key there.
  void PressInOtherProgram(BYTE key) {
    desk.activate(other_);
    desk.press(key);
  }
  void SetUp() override { other_ = desk.otherProgramWindow("Editor"); }
  HWND other_ = nullptr;
};

struct PasteCase {
  int key;
  std::string text;
};

void PrintTo(const PasteCase& c, std::ostream* os) {
  *os << "F" << c.key << ", " << c.text.size() << " bytes";
}

class PasteKeyTest : public PasteTest, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(PasteKeyTest, TheKeyPastesItsOwnBoxByteForByte) {
  const PasteCase c = GetParam();
  desk.onIdle([&] {
    for (int key = 1; key <= 10; ++key)
      SetWindowTextA(Box(key), ("box " + std::to_string(key)).c_str());
    SetWindowTextA(Box(c.key), c.text.c_str());
    PressInOtherProgram(VK_F1 + c.key - 1);
  });
  ThenClose([&] {
    std::optional<std::vector<char>> block = desk.clipboardBlock(CF_TEXT);
    ASSERT_TRUE(block);
    std::vector<char> want(c.text.begin(), c.text.end());
    want.push_back('\0');
    EXPECT_EQ(*block, want);  // exactly length + 1 bytes
    EXPECT_EQ(desk.clipboardFormats(), std::vector<UINT>{CF_TEXT});
    EXPECT_FALSE(desk.clipboardOpen());
    EXPECT_EQ(desk.injected(), kCtrlV);
    EXPECT_EQ(CtrlVReceivedByOtherProgram(), kCtrlV);
    EXPECT_EQ(desk.liveProgramBlocks(), 0);
    EXPECT_EQ(desk.memoryFaults(), 0);
  });
  EXPECT_EQ(Run(), 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, PasteKeyTest,
                         ::testing::Values(PasteCase{1, "hello"},
                                           PasteCase{6, "top of the right column\r\nsecond line"},
                                           PasteCase{10, "\xD6\xD0\xCE\xC4 and \x81\x40"},
                                           PasteCase{3, std::string(100000, 'z')}));

TEST_F(PasteTest, TheClipboardIsWrittenAndClosedBeforeTheFirstKey) {
  desk.onIdle([&] {
    SetWindowTextA(Box(1), "x");
    desk.clearCalls();
    PressInOtherProgram(VK_F1);
  });
  ThenClose([&] {
    int closed = -1, setData = -1, firstKey = -1;
    const auto& calls = desk.calls();
    for (int i = 0; i < static_cast<int>(calls.size()); ++i) {
      if (calls[i].fn == "SetClipboardData" && setData < 0) setData = i;
      if (calls[i].fn == "CloseClipboard" && closed < 0) closed = i;
      if (calls[i].fn == "keybd_event" && firstKey < 0) firstKey = i;
    }
    ASSERT_GE(setData, 0);
    EXPECT_LT(setData, closed);
    EXPECT_LT(closed, firstKey);
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(PasteTest, AnEmptyBoxPastesTheEmptyText) {
  desk.onIdle([&] {
    desk.otherProgramSetsClipboardText("previous");
    PressInOtherProgram(VK_F2);
  });
  ThenClose([&] {
    EXPECT_EQ(desk.clipboardBlock(CF_TEXT), std::vector<char>{'\0'});
    EXPECT_EQ(desk.injected(), kCtrlV);
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(PasteTest, FeedbackThatMatchesNoSlotTouchesNothing) {
  desk.holdHotkey(0, VK_F4);  // slot F4 holds 0
  desk.onMessageBox([](const sim::MessageBoxInfo&) { return IDOK; });
  ThenClose([&] {
    SetWindowTextA(Box(4), "hidden slot");
    desk.otherProgramSetsClipboardText("mine");
    // 0 is the mark of a refused key, never an identifier; the others are no slot's.
    for (WPARAM id : {WPARAM{0}, WPARAM{33000}, WPARAM{33011}, static_cast<WPARAM>(-1)}) {
      desk.send(Child(kLabel1Id), 0x8075, id, 0);
    }
    // A WM_HOTKEY posted by anyone with the refused key's number reaches the label,
    // but no slot holds that number.
    desk.post(Main(), WM_HOTKEY, 33004, 0);
  });
  desk.onIdle([&] {
    EXPECT_EQ(desk.clipboardText(), "mine");
    EXPECT_TRUE(desk.injected().empty());
    desk.close(Main());
  });
  EXPECT_EQ(Run(), 0);
}

struct ClipboardTrouble {
  const char* name;
  std::function<void(sim::Desktop&)> arrange;
  bool pasted;
};

void PrintTo(const ClipboardTrouble& c, std::ostream* os) { *os << c.name; }

class PasteTroubleTest : public PasteTest,
                         public ::testing::WithParamInterface<ClipboardTrouble> {};

TEST_P(PasteTroubleTest, CtrlVIsSentOnlyWhenTheClipboardHoldsTheText) {
  const ClipboardTrouble& c = GetParam();
  desk.onIdle([&] {
    SetWindowTextA(Box(1), "fresh");
    desk.otherProgramSetsClipboardText("secret of another program");
    c.arrange(desk);
    PressInOtherProgram(VK_F1);
  });
  ThenClose([&] {
    desk.otherProgramClosesClipboard();
    if (c.pasted) {
      EXPECT_EQ(desk.clipboardText(), "fresh");
      EXPECT_EQ(desk.injected(), kCtrlV);
    } else {
      EXPECT_TRUE(desk.injected().empty());
      EXPECT_TRUE(CtrlVReceivedByOtherProgram().empty());
      EXPECT_NE(desk.clipboardText(), "fresh");
    }
    EXPECT_EQ(desk.liveProgramBlocks(), 0);
    EXPECT_EQ(desk.memoryFaults(), 0);
  });
  EXPECT_EQ(Run(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Troubles, PasteTroubleTest,
    ::testing::Values(
        ClipboardTrouble{"HeldBriefly", [](sim::Desktop& d) { d.otherProgramOpensClipboard(30); },
                         true},
        ClipboardTrouble{"HeldLong", [](sim::Desktop& d) { d.otherProgramOpensClipboard(-1); },
                         false},
        ClipboardTrouble{"AllocationFails", [](sim::Desktop& d) { d.failNextGlobalAlloc(); },
                         false},
        ClipboardTrouble{"LockFails", [](sim::Desktop& d) { d.failNextGlobalLock(); }, false},
        ClipboardTrouble{"SetClipboardDataRefuses",
                         [](sim::Desktop& d) { d.setStrictNullOwnerClipboard(true); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PasteTest, HeldLongTheOtherProgramsContentIsUntouchedAndTheWaitIsBounded) {
  desk.onIdle([&] {
    SetWindowTextA(Box(1), "fresh");
    desk.otherProgramSetsClipboardText("theirs");
    desk.otherProgramOpensClipboard(-1);
    const DWORD before = GetTickCount();
    PressInOtherProgram(VK_F1);
    desk.onIdle([&, before] {
      EXPECT_LE(GetTickCount() - before, 120u);
      desk.otherProgramClosesClipboard();
      EXPECT_EQ(desk.clipboardText(), "theirs");
      desk.close(Main());
    });
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(PasteTest, CtrlVIntoOneOfOurOwnBoxesPastesThere) {
  desk.onIdle([&] {
    SetWindowTextA(Box(2), "copied");
    SetFocus(Box(5));
    desk.press(VK_F2);
  });
  desk.onIdle([&] {
    EXPECT_EQ(desk.text(Box(5)), "copied");
    desk.close(Main());
  });
  EXPECT_EQ(Run(), 0);
}

}  // namespace
}  // namespace vantrel::testing
