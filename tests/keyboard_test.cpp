// Tab, Shift+Tab, Enter and Esc in the main window, and where the focus goes.
#include <string>

#include "app/keyboard.h"
#include "desktop/win32.h"
#include "program_fixture.h"

namespace vantrel::testing {
namespace {

struct Move {
  const char* name;
  int from;                 // key of the focused box; 0: the main window itself
  std::vector<BYTE> chord;  // what the user presses
  int to;                   // key of the box with the focus afterwards; 0: the main window
  std::vector<int> hidden = {};
};

void PrintTo(const Move& m, std::ostream* os) { *os << m.name; }

class TabTest : public ProgramTest, public ::testing::WithParamInterface<Move> {};

TEST_P(TabTest, MovesInKeyOrderAndNeverTypesATab) {
  const Move& m = GetParam();
  desk.onIdle([&] {
    for (int key : m.hidden) ShowWindow(Box(key), SW_HIDE);
    SetFocus(m.from ? Box(m.from) : Main());
    for (BYTE key : m.chord) desk.keyDown(key);
    for (auto key = m.chord.rbegin(); key != m.chord.rend(); ++key) desk.keyUp(*key);
  });
  desk.onIdle([&] {
    EXPECT_EQ(desk.focus(), m.to ? Box(m.to) : Main());
    for (int key = 1; key <= 10; ++key) EXPECT_EQ(desk.text(Box(key)), "");
    desk.close(Main());
  });
  EXPECT_EQ(Run(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, TabTest,
    ::testing::Values(Move{"F5ToF6", 5, {VK_TAB}, 6}, Move{"F1ToF2", 1, {VK_TAB}, 2},
                      Move{"F10WrapsToF1", 10, {VK_TAB}, 1},
                      Move{"ShiftTabF1WrapsToF10", 1, {VK_SHIFT, VK_TAB}, 10},
                      Move{"ShiftTabF6ToF5", 6, {VK_SHIFT, VK_TAB}, 5},
                      Move{"HiddenBoxIsSkipped", 5, {VK_TAB}, 7, {6}},
                      Move{"OnlyOneBoxLeft", 4, {VK_TAB}, 4, {1, 2, 3, 5, 6, 7, 8, 9, 10}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramTest, TabWithEveryBoxRefusedDoesNothing) {
  for (int key = 1; key <= 10; ++key) desk.holdHotkey(0, VK_F1 + key - 1);
  desk.onMessageBox([](const sim::MessageBoxInfo&) { return IDOK; });
  desk.onIdle([&] {
    EXPECT_EQ(desk.focus(), Main());
    desk.press(VK_TAB);
    desk.press({VK_SHIFT, VK_TAB});
  });
  desk.onIdle([&] {
    EXPECT_EQ(desk.focus(), Main());
    desk.press(VK_ESCAPE);  // and Esc still closes
  });
  EXPECT_EQ(Run(), 0);
}

class EscTest : public ProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(EscTest, EscClosesWhateverBoxHasTheFocusAndWhateverItHolds) {
  desk.onIdle([&] {
    SetWindowTextA(Box(GetParam()), "unsaved text");
    SetFocus(Box(GetParam()));
    desk.press(VK_ESCAPE);
  });
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(desk.exists(desk.createdWindows().front()));
  EXPECT_TRUE(desk.messageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Boxes, EscTest, ::testing::Values(1, 5, 6, 10));

TEST_F(ProgramTest, AltF4ClosesTheWindow) {
  desk.onIdle([&] { desk.press({VK_MENU, VK_F4}); });
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(desk.exists(desk.createdWindows().front()));
}

TEST_F(ProgramTest, EnterStartsANewLineInTheBox) {
  desk.onIdle([&] {
    SetFocus(Box(7));
    desk.type("ab");
    desk.press(VK_RETURN);
    desk.type("c");
    desk.press(VK_TAB);
  });
  desk.onIdle([&] {
    EXPECT_EQ(desk.text(Box(7)), "ab\r\nc");
    EXPECT_EQ(desk.focus(), Box(8));
    desk.close(Main());
  });
  EXPECT_EQ(Run(), 0);
}

struct PassCase {
  const char* name;
  std::vector<BYTE> held;
  BYTE key;
  UINT message;
};

void PrintTo(const PassCase& c, std::ostream* os) { *os << c.name; }

class PassThroughTest : public ProgramTest, public ::testing::WithParamInterface<PassCase> {};

TEST_P(PassThroughTest, OtherChordsPassTheFilterUnchanged) {
  const PassCase& c = GetParam();
  // The thread's key state follows the key messages it has taken.
  desk.onIdle([&] {
    SetFocus(Box(3));
    for (BYTE key : c.held) desk.keyDown(key);
  });
  desk.onIdle([&] {
    MSG msg{};
    msg.hwnd = Box(3);
    msg.message = c.message;
    msg.wParam = c.key;
    EXPECT_FALSE(KeyboardFilter(Main(), msg));
    EXPECT_EQ(desk.focus(), Box(3));
    for (BYTE key : c.held) desk.keyUp(key);
    desk.close(Main());
  });
  EXPECT_EQ(Run(), 0);
}

INSTANTIATE_TEST_SUITE_P(Chords, PassThroughTest,
                         ::testing::Values(PassCase{"CtrlTab", {VK_CONTROL}, VK_TAB, WM_KEYDOWN},
                                           PassCase{
                                               "ShiftEnter", {VK_SHIFT}, VK_RETURN, WM_KEYDOWN},
                                           PassCase{"Enter", {}, VK_RETURN, WM_KEYDOWN},
                                           PassCase{"CtrlEsc", {VK_CONTROL}, VK_ESCAPE, WM_KEYDOWN},
                                           PassCase{"AltTab", {VK_MENU}, VK_TAB, WM_SYSKEYDOWN},
                                           PassCase{"AltEsc", {VK_MENU}, VK_ESCAPE, WM_SYSKEYDOWN},
                                           PassCase{"Letter", {}, 'A', WM_KEYDOWN},
                                           PassCase{"TabKeyUp", {}, VK_TAB, WM_KEYUP}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramTest, KeyCodesAddTheModifiersExceptForTheModifierKeyItself) {
  desk.onIdle([&] {
    desk.keyDown(VK_CONTROL);
    desk.keyDown(VK_SHIFT);
  });
  desk.onIdle([&] {
    EXPECT_EQ(KeyCode(VK_TAB), 0x6009);
    EXPECT_EQ(KeyCode(VK_CONTROL), 0x4011);
    EXPECT_EQ(KeyCode(VK_SHIFT), 0x2010);
    EXPECT_EQ(KeyCode(0x109), 0x6009);  // only the low byte is the key
    desk.keyDown(VK_MENU);
  });
  desk.onIdle([&] {
    EXPECT_EQ(KeyCode(VK_MENU), 0x6012);
    EXPECT_EQ(KeyCode(VK_ESCAPE), 0xE01B);
    desk.keyUp(VK_MENU);
    desk.keyUp(VK_SHIFT);
    desk.keyUp(VK_CONTROL);
  });
  desk.onIdle([&] { desk.close(Main()); });
  EXPECT_EQ(Run(), 0);
}

struct FirstFocusCase {
  const char* name;
  std::vector<int> refused;
  int focused;  // 0: the main window
};

void PrintTo(const FirstFocusCase& c, std::ostream* os) { *os << c.name; }

class FirstFocusTest : public ProgramTest, public ::testing::WithParamInterface<FirstFocusCase> {};

TEST_P(FirstFocusTest, TheFirstVisibleBoxGetsTheFocus) {
  for (int key : GetParam().refused) desk.holdHotkey(0, VK_F1 + key - 1);
  desk.onMessageBox([](const sim::MessageBoxInfo&) { return IDOK; });
  ThenClose(
      [&] { EXPECT_EQ(desk.focus(), GetParam().focused ? Box(GetParam().focused) : Main()); });
  EXPECT_EQ(Run(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, FirstFocusTest,
    ::testing::Values(FirstFocusCase{"None", {}, 1}, FirstFocusCase{"F1", {1}, 2},
                      FirstFocusCase{"F1ToF5", {1, 2, 3, 4, 5}, 6},
                      FirstFocusCase{"All", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

using FocusReturnTest = ProgramTest;

TEST_F(FocusReturnTest, SwitchingAwayAndBackReturnsTheFocusToTheBoxThatHadIt) {
  HWND other = desk.otherProgramWindow("Editor");
  desk.onIdle([&] {
    desk.press(VK_TAB);
    desk.press(VK_TAB);
  });
  desk.onIdle([&] {
    ASSERT_EQ(desk.focus(), Box(3));
    desk.activate(other);
    EXPECT_EQ(desk.active(), other);
    desk.activate(Main());
    EXPECT_EQ(desk.focus(), Box(3));
    // Once more, after the box that had the focus is gone: the first box instead.
    desk.activate(other);
    DestroyWindow(Box(3));
    desk.activate(Main());
    EXPECT_EQ(desk.focus(), Box(1));
    desk.close(Main());
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(FocusReturnTest, LabelsAreNeverInTheTabOrder) {
  desk.onIdle([&] {
    for (int i = 0; i < 12; ++i) {
      desk.press(VK_TAB);
    }
  });
  desk.onIdle([&] {
    EXPECT_EQ(desk.focus(), Box(3));  // twelve steps round ten boxes from box 1
    desk.close(Main());
  });
  EXPECT_EQ(Run(), 0);
}

}  // namespace
}  // namespace vantrel::testing
