// The program starts, shows its window where it belongs, and ends.
#include <cstring>
#include <string>

#include "app/startup.h"
#include "desktop/win32.h"
#include "program_fixture.h"

namespace vantrel::testing {
namespace {

using StartupTest = ProgramTest;

struct Placement {
  int screenWidth, screenHeight;
  int left, top;
};

void PrintTo(const Placement& p, std::ostream* os) {
  *os << p.screenWidth << "x" << p.screenHeight;
}

class WindowPlacementTest : public ProgramTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(WindowPlacementTest, CentredWithItsFixedOuterSize) {
  const Placement p = GetParam();
  desk.setScreen(p.screenWidth, p.screenHeight);
  ThenClose([&] {
    RECT r = desk.windowRect(Main());
    EXPECT_EQ(r.left, p.left);
    EXPECT_EQ(r.top, p.top);
    EXPECT_EQ(r.right - r.left, 370);
    EXPECT_EQ(r.bottom - r.top, 395);
  });
  EXPECT_EQ(Run(), 0);
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowPlacementTest,
                         ::testing::Values(Placement{1024, 768, 327, 186},
                                           Placement{1920, 1080, 775, 342},
                                           // Odd sizes truncate; a screen smaller than the
                                           // window puts it partly off the top left.
                                           Placement{1025, 769, 327, 187},
                                           Placement{300, 300, -35, -47}));

TEST_F(StartupTest, ComesUpVisibleActiveTopmostWithTheFocusInTheFirstBox) {
  ThenClose([&] {
    HWND main = Main();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(desk.visible(main));
    EXPECT_EQ(desk.active(), main);
    EXPECT_TRUE(desk.topmost(main));
    EXPECT_EQ(desk.focus(), Box(1));
    EXPECT_EQ(desk.text(main), "Vantrel");
    // Fixed frame, caption, system menu and minimise box; no maximise box, no sizing.
    // (The system adds WS_CLIPSIBLINGS to every top-level window.)
    EXPECT_EQ(desk.style(main) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x02CA0000u);
    EXPECT_EQ(desk.style(main) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0u);
    EXPECT_NE(desk.icon(main, ICON_BIG), nullptr);
    EXPECT_NE(desk.icon(main, ICON_SMALL), nullptr);
    EXPECT_TRUE(desk.messageBoxes().empty());
  });
  EXPECT_EQ(Run(), 0);
}

struct ChildExpectation {
  int id;
  const char* className;  // "EDIT" or the label class
  int left, top, width, height;
};

// In form order, which is also the Z order from the top.
constexpr ChildExpectation kChildren[] = {
    {210, "EDIT", 210, 296, 144, 64}, {200, "EDIT", 210, 224, 144, 64},
    {190, "EDIT", 210, 152, 144, 64}, {180, "EDIT", 210, 80, 144, 64},
    {170, "EDIT", 210, 8, 144, 64},   {160, nullptr, 186, 8, 18, 368},
    {150, "EDIT", 30, 296, 144, 64},  {140, "EDIT", 30, 224, 144, 64},
    {130, "EDIT", 30, 152, 144, 64},  {120, "EDIT", 30, 80, 144, 64},
    {110, "EDIT", 30, 8, 144, 64},    {100, nullptr, 6, 8, 16, 368},
};

TEST_F(StartupTest, TwelveChildrenInFormOrderWithTheirPlacesStylesAndIdentifiers) {
  ThenClose([&] {
    HWND main = Main();
    std::vector<HWND> children = desk.children(main);
    ASSERT_EQ(children.size(), std::size(kChildren));
    for (std::size_t i = 0; i < children.size(); ++i) {
      const ChildExpectation& want = kChildren[i];
      HWND child = children[i];
      SCOPED_TRACE(want.id);
      EXPECT_EQ(GetDlgCtrlID(child), want.id);
      EXPECT_EQ(GetParent(child), main);
      EXPECT_TRUE(desk.visible(child));
      RECT r = desk.windowRect(child);
      // Places are relative to the main window's client area.
      POINT origin{0, 0};
      ClientToScreen(main, &origin);
      EXPECT_EQ(r.left - origin.x, want.left);
      EXPECT_EQ(r.top - origin.y, want.top);
      EXPECT_EQ(r.right - r.left, want.width);
      EXPECT_EQ(r.bottom - r.top, want.height);
      if (want.className) {
        EXPECT_EQ(desk.className(child), want.className);
        EXPECT_EQ(desk.style(child), 0x44011044u | WS_VISIBLE);
        EXPECT_EQ(desk.exStyle(child), static_cast<DWORD>(WS_EX_CLIENTEDGE));
        EXPECT_EQ(desk.text(child), "");
        EXPECT_EQ(SendMessageA(child, EM_GETLIMITTEXT, 0, 0), static_cast<LRESULT>(0xFFFFFFFF));
        EXPECT_EQ(SendMessageA(child, WM_GETFONT, 0, 0),
                  reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
      } else {
        EXPECT_NE(desk.className(child), "EDIT");
        EXPECT_EQ(desk.style(child), 0x44000000u | WS_VISIBLE);
        EXPECT_EQ(desk.exStyle(child), 0u);
      }
    }
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(StartupTest, ChildrenAreCreatedInReverseFormOrderWithRisingIdentifiers) {
  ThenClose([&] {
    std::vector<HWND> created = desk.createdWindows();
    ASSERT_EQ(created.size(), 13u);
    EXPECT_EQ(created[0], Main());
    for (int n = 0; n < 12; ++n) EXPECT_EQ(GetDlgCtrlID(created[n + 1]), 100 + 10 * n);
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(StartupTest, ChildrenShowBeforeTheCreatedEventAndTheWindowOnlyAfterIt) {
  ThenClose([&] {
    HWND main = Main();
    std::vector<HWND> shownChildren;
    int firstRegistration = -1, topmost = -1, mainShown = -1;
    const std::vector<sim::Call>& calls = desk.calls();
    for (int i = 0; i < static_cast<int>(calls.size()); ++i) {
      const sim::Call& call = calls[i];
      HWND target = call.args.empty() ? nullptr : reinterpret_cast<HWND>(call.args[0]);
      if (call.fn == "ShowWindow" && target != main) {
        EXPECT_EQ(call.args[1], SW_SHOWNA);
        EXPECT_LT(firstRegistration, 0) << "a child was shown after the created event began";
        shownChildren.push_back(target);
      }
      if (call.fn == "RegisterHotKey" && firstRegistration < 0) firstRegistration = i;
      if (call.fn == "SetWindowPos" && target == main && call.args[1] == -1 && topmost < 0) {
        topmost = i;
      }
      if (call.fn == "ShowWindow" && target == main) {
        EXPECT_EQ(call.args[1], SW_SHOW);
        if (mainShown < 0) mainShown = i;
      }
    }
    // In creation order, every child, before the created event's handler ran.
    std::vector<HWND> created = desk.createdWindows();
    EXPECT_EQ(shownChildren, std::vector<HWND>(created.begin() + 1, created.end()));
    ASSERT_GE(topmost, 0);
    ASSERT_GE(firstRegistration, 0);
    EXPECT_LT(topmost, firstRegistration);
    EXPECT_GT(mainShown, firstRegistration);
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(StartupTest, LabelTextsNameTheKeysSixLinesApart) {
  std::string breaks;
  for (int i = 0; i < 6; ++i) breaks += "\r\n";
  std::string left, right;
  for (int k = 1; k <= 5; ++k) left += "F" + std::to_string(k) + breaks;
  for (int k = 6; k <= 10; ++k) right += "F" + std::to_string(k) + breaks;
  ASSERT_EQ(left.size(), 70u);
  ASSERT_EQ(right.size(), 71u);
  ThenClose([&] {
    EXPECT_EQ(desk.text(Child(kLabel1Id)), left);
    EXPECT_EQ(desk.text(Child(kLabel2Id)), right);
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(StartupTest, ClosingEndsTheProcessWithExitCodeZeroAndRunsTheCleanup) {
  static int cleanups = 0;
  cleanups = 0;
  RegisterCleanupRoutine([] { ++cleanups; });
  CloseWhenIdle();
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(cleanups, 1);
  EXPECT_FALSE(desk.exists(desk.createdWindows().front()));
}

TEST_F(StartupTest, TypedTextAndEnterGoIntoTheFocusedBox) {
  ThenClose([&] {
    desk.type("ab");
    desk.press(VK_RETURN);
    desk.type("c");
    desk.onIdle([&] {
      EXPECT_EQ(desk.text(Box(1)), "ab\r\nc");
      desk.close(Main());
    });
  });
  // The first idle step types; the keys are handled by the loop before the next one.
  desk.onIdle([] {});
  EXPECT_EQ(Run(), 0);
}

TEST_F(StartupTest, AFailedGetMessageIsNeitherAMessageNorTheEnd) {
  desk.onIdle([&] { desk.type("kept"); });
  desk.onIdle([&] {
    desk.failNextGetMessage();
    desk.post(Main(), WM_NULL, 0, 0);
  });
  desk.onIdle([&] {
    EXPECT_TRUE(desk.exists(Main()));
    EXPECT_EQ(desk.text(Box(1)), "kept");
    desk.close(Main());
  });
  EXPECT_EQ(Run(), 0);
}

// A failed window creation at start-up is fatal: the error box, exit code -1, the
// window never shown and the cleanup routines not run.
class FatalStartupTest : public ProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(FatalStartupTest, FailedCreationShowsTheErrorBoxAndExitsWithMinusOne) {
  static int cleanups = 0;
  cleanups = 0;
  RegisterCleanupRoutine([] { ++cleanups; });
  desk.failCreateWindow(GetParam());
  bool mainEverVisible = false;
  desk.onMessageBox([&](const sim::MessageBoxInfo&) {
    for (HWND hwnd : desk.createdWindows()) {
      if (desk.exists(hwnd) && !GetParent(hwnd) && desk.visible(hwnd)) mainEverVisible = true;
    }
    return IDOK;
  });
  EXPECT_EQ(Run(), -1);
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  const sim::MessageBoxInfo& box = desk.messageBoxes()[0];
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONERROR));
  EXPECT_NE(box.text.find("run-time error"), std::string::npos);
  EXPECT_FALSE(mainEverVisible);
  EXPECT_EQ(cleanups, 0);
  EXPECT_TRUE(desk.injected().empty());
}

// 1: the main window; 2: the first child (标签1); 3: a text box; 13: the last child.
INSTANTIATE_TEST_SUITE_P(WhichCreation, FatalStartupTest, ::testing::Values(1, 2, 3, 13));

}  // namespace
}  // namespace vantrel::testing
