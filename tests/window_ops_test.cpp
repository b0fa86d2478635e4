// Reaching the window and its controls by number.
#include <cstring>
#include <string>

#include "app/form.h"
#include "desktop/controls.h"
#include "desktop/window_ops.h"
#include "desktop/win32.h"
#include "program_fixture.h"

namespace vantrel::testing {
namespace {

using WindowOpsTest = ProgramTest;

TEST_F(WindowOpsTest, HandlesByNumber) {
  ThenClose([&] {
    EXPECT_EQ(GetWindowHandle(kMainForm, kMainWindow), Main());
    EXPECT_EQ(GetWindowHandle(kMainForm, kLabel1), Child(kLabel1Id));
    EXPECT_EQ(GetWindowHandle(kMainForm, kEdit10), Box(6));
    EXPECT_EQ(GetWindowHandle(kMainForm, kEdit6), Box(10));
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(WindowOpsTest, ReadContentGivesAnExactCopyOrNothing) {
  const std::string cases[] = {
      "ab",
      "line one\r\nline two",
      "\xD6\xD0\xCE\xC4",  // two double-byte characters of code page 936
      std::string(70000, 'x'),
  };
  ThenClose([&] {
    EXPECT_FALSE(ReadContent(kMainForm, kEdit1));  // an empty box gives no copy at all
    for (const std::string& text : cases) {
      SetWindowTextA(Box(1), text.c_str());
      TextCopy copy = ReadContent(kMainForm, kEdit1);
      ASSERT_TRUE(copy);
      EXPECT_EQ(copy.length(), text.size());
      EXPECT_EQ(std::memcmp(copy.get(), text.c_str(), text.size() + 1), 0);
    }
    // A hidden box keeps its text and can still be read.
    SetWindowTextA(Box(2), "hidden");
    SetVisible(kMainForm, kEdit2, false);
    EXPECT_STREQ(ReadContent(kMainForm, kEdit2).get(), "hidden");
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(WindowOpsTest, HidingABoxMovesNothingElse) {
  ThenClose([&] {
    HWND box = Box(3);
    SetFocus(Box(4));
    RECT before[12];
    std::vector<HWND> children = desk.children(Main());
    for (std::size_t i = 0; i < children.size(); ++i) before[i] = desk.windowRect(children[i]);
    desk.clearCalls();
    SetVisible(kMainForm, kEdit3, false);
    SetVisible(kMainForm, kEdit3, false);
    EXPECT_FALSE(desk.visible(box));
    EXPECT_EQ(desk.focus(), Box(4));
    for (std::size_t i = 0; i < children.size(); ++i) {
      RECT after = desk.windowRect(children[i]);
      EXPECT_EQ(std::memcmp(&after, &before[i], sizeof after), 0);
    }
    for (const sim::Call& call : desk.calls()) {
      EXPECT_TRUE(call.fn == "ShowWindow" || call.fn == "IsWindow") << call.fn;
    }
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(WindowOpsTest, SetVisibleRecordsTheSettingOfAControlThatIsGone) {
  ThenClose([&] {
    DestroyWindow(Box(5));
    SetVisible(kMainForm, kEdit5, false);  // no error
    EXPECT_FALSE(FindControl(*FindForm(kMainForm), kEdit5)->visible);
    SetVisible(kMainForm, kEdit5, true);
    EXPECT_TRUE(FindControl(*FindForm(kMainForm), kEdit5)->visible);
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(WindowOpsTest, TopmostOffKeepsTheProgramsOtherToolWindowsOnTop) {
  ThenClose([&] {
    // A second form of the program: a topmost window with no taskbar button.
    static constexpr FormNumber kTool = 0x52010002;
    LoadedForm* tool = LoadForm(kTool, nullptr, 0);
    Control* window = AddControl(*tool, kMainWindow, ControlKind::Window);
    window->hwnd = CreateWindowExA(0, "EDIT", "tool", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                   nullptr, nullptr, nullptr);
    window->alwaysOnTop = true;
    window->showInTaskbar = false;
    SetWindowPos(window->hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);

    SetAlwaysOnTop(kMainForm, kMainWindow, false);
    EXPECT_FALSE(desk.topmost(Main()));
    EXPECT_TRUE(desk.topmost(window->hwnd));
    EXPECT_EQ(desk.topLevelZOrder().front(), window->hwnd);
    SetAlwaysOnTop(kMainForm, kMainWindow, true);
    EXPECT_TRUE(desk.topmost(Main()));
    DestroyWindow(window->hwnd);
    UnloadForm(kTool);
  });
  EXPECT_EQ(Run(), 0);
}

struct FatalCase {
  const char* name;
  void (*operation)();
};

void PrintTo(const FatalCase& c, std::ostream* os) { *os << c.name; }

class WindowOpsFatalTest : public ProgramTest, public ::testing::WithParamInterface<FatalCase> {};

TEST_P(WindowOpsFatalTest, NamingWhatIsNotThereIsFatal) {
  desk.onMessageBox([](const sim::MessageBoxInfo&) { return IDOK; });
  desk.onIdle([&] { GetParam().operation(); });
  EXPECT_EQ(Run(), -1);
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_EQ(desk.messageBoxes()[0].style, static_cast<UINT>(MB_ICONERROR));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, WindowOpsFatalTest,
    ::testing::Values(
        FatalCase{"HandleOfUnknownControl", [] { GetWindowHandle(kMainForm, 0x16019999); }},
        FatalCase{"HandleInUnknownForm", [] { GetWindowHandle(0x52019999, kMainWindow); }},
        FatalCase{"HandleOfDestroyedBox",
                  [] {
                    DestroyWindow(GetWindowHandle(kMainForm, kEdit1));
                    GetWindowHandle(kMainForm, kEdit1);
                  }},
        FatalCase{"ReadDestroyedBox",
                  [] {
                    DestroyWindow(GetWindowHandle(kMainForm, kEdit2));
                    ReadContent(kMainForm, kEdit2);
                  }},
        FatalCase{"TopmostInUnknownForm", [] { SetAlwaysOnTop(0x52019999, kMainWindow, true); }},
        FatalCase{"VisibleInUnknownForm", [] { SetVisible(0x52019999, kEdit1, false); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantrel::testing
