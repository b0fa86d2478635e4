// The simulated window manager: the message orders the program's handlers rely on.
#include <gtest/gtest.h>

#include "tests/sim_support.h"

namespace simtest {
namespace {

using WindowManager = SimTest;

TEST_F(WindowManager, ActivationGoesDeactivateFirstThenActivateThenFocus) {
  HWND a = MakeTopLevel("A");
  HWND b = MakeTopLevel("B");
  ShowWindow(a, SW_SHOW);
  ASSERT_EQ(GetActiveWindow(), a);
  ASSERT_EQ(GetFocus(), a);  // DefWindowProcA gives the focus to the activated window
  g_seen.clear();

  ShowWindow(b, SW_SHOW);

  const int show = IndexOf(b, WM_SHOWWINDOW);
  const int aOff = IndexOf(a, WM_ACTIVATE);
  const int bOn = IndexOf(b, WM_ACTIVATE);
  const int kill = IndexOf(a, WM_KILLFOCUS);
  const int set = IndexOf(b, WM_SETFOCUS);
  ASSERT_GE(show, 0);
  ASSERT_GE(aOff, 0);
  ASSERT_GE(bOn, 0);
  ASSERT_GE(kill, 0);
  ASSERT_GE(set, 0);
  EXPECT_LT(show, aOff);
  EXPECT_LT(aOff, bOn);
  EXPECT_LT(bOn, set);
  EXPECT_LT(kill, set);
  EXPECT_EQ(LOWORD(g_seen[aOff].wParam), WA_INACTIVE);
  EXPECT_EQ(reinterpret_cast<HWND>(g_seen[aOff].lParam), b);
  EXPECT_EQ(LOWORD(g_seen[bOn].wParam), WA_ACTIVE);
  EXPECT_EQ(reinterpret_cast<HWND>(g_seen[bOn].lParam), a);
  // The focus has moved before the old window hears of it.
  EXPECT_EQ(g_seen[kill].focus, b);
  EXPECT_TRUE(Only(WM_ACTIVATEAPP).empty());  // within one program
}

TEST_F(WindowManager, AnotherProgramTakingTheForegroundTakesTheFocusAndTellsEveryTopLevelWindow) {
  HWND a = MakeTopLevel("A");
  HWND hidden = MakeTopLevel("Hidden");
  HWND edit = MakeChild(a, 5);
  ShowWindow(a, SW_SHOW);
  SetFocus(edit);
  HWND other = desk.otherProgramWindow("Notes");
  g_seen.clear();

  desk.activate(other);

  EXPECT_EQ(desk.active(), other);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  const int off = IndexOf(a, WM_ACTIVATE);
  const int app = IndexOf(a, WM_ACTIVATEAPP);
  ASSERT_GE(off, 0);
  ASSERT_GE(app, 0);
  EXPECT_LT(off, app);
  EXPECT_EQ(g_seen[app].wParam, static_cast<WPARAM>(FALSE));
  EXPECT_GE(IndexOf(hidden, WM_ACTIVATEAPP), 0);
  EXPECT_GE(IndexOf(edit, WM_KILLFOCUS), 0);
  g_seen.clear();

  desk.activate(a);

  const int appOn = IndexOf(a, WM_ACTIVATEAPP);
  const int on = IndexOf(a, WM_ACTIVATE);
  ASSERT_GE(appOn, 0);
  ASSERT_GE(on, 0);
  EXPECT_LT(appOn, on);
  EXPECT_EQ(g_seen[appOn].wParam, static_cast<WPARAM>(TRUE));
  EXPECT_EQ(LOWORD(g_seen[on].wParam), WA_CLICKACTIVE);
  EXPECT_EQ(GetFocus(), a);
}

TEST_F(WindowManager, SetFocusRefusesOtherProgramsAndDestroyedWindowsAndActivatesTheTarget) {
  HWND a = MakeTopLevel("A");
  HWND b = MakeTopLevel("B");
  HWND inB = MakeChild(b, 7);
  ShowWindow(a, SW_SHOW);
  ShowWindow(b, SW_SHOWNA);
  ASSERT_EQ(GetActiveWindow(), a);

  EXPECT_EQ(SetFocus(inB), a);
  EXPECT_EQ(GetFocus(), inB);
  EXPECT_EQ(GetActiveWindow(), b);

  HWND other = desk.otherProgramWindow();
  EXPECT_EQ(SetFocus(other), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  DestroyWindow(a);
  EXPECT_EQ(SetFocus(a), nullptr);
  EXPECT_EQ(GetFocus(), inB);
}

TEST_F(WindowManager, DestroyWindowTellsParentFirstAndLetsItGoLast) {
  HWND parent = MakeTopLevel("P");
  HWND c1 = MakeChild(parent, 1);
  HWND c2 = MakeChild(parent, 2);
  HWND grandchild = MakeChild(c1, 3);
  ShowWindow(parent, SW_SHOW);
  SetFocus(c2);
  bool childrenAliveDuringParentDestroy = false;
  g_onMessage = [&](const Seen& s) {
    if (s.message == WM_DESTROY && s.hwnd == parent) {
      childrenAliveDuringParentDestroy = IsWindow(c1) && IsWindow(grandchild);
    }
  };
  g_seen.clear();

  ASSERT_TRUE(DestroyWindow(parent));

  std::vector<HWND> destroy, ncdestroy;
  for (const Seen& s : g_seen) {
    if (s.message == WM_DESTROY) destroy.push_back(s.hwnd);
    if (s.message == WM_NCDESTROY) ncdestroy.push_back(s.hwnd);
  }
  ASSERT_EQ(destroy.size(), 4u);
  EXPECT_EQ(destroy.front(), parent);
  EXPECT_EQ(ncdestroy.size(), 4u);
  EXPECT_EQ(ncdestroy.back(), parent);
  // A child's WM_NCDESTROY comes after its own children's.
  const auto pos = [&](HWND h) {
    return std::find(ncdestroy.begin(), ncdestroy.end(), h) - ncdestroy.begin();
  };
  EXPECT_LT(pos(grandchild), pos(c1));
  EXPECT_TRUE(childrenAliveDuringParentDestroy);
  EXPECT_GE(IndexOf(c2, WM_KILLFOCUS), 0);
  EXPECT_LT(IndexOf(parent, WM_ACTIVATE), IndexOf(parent, WM_DESTROY));
  for (HWND h : {parent, c1, c2, grandchild}) EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(g_seen.back().message, static_cast<UINT>(WM_NCDESTROY));
}

TEST_F(WindowManager, DestroyingAnOwnerDestroysWhatItOwnsFirst) {
  HWND owner = MakeTopLevel("Owner");
  HWND owned = CreateWindowExA(0, kRecordingClass, "Owned", WS_POPUP, 0, 0, 10, 10, owner, nullptr,
                               nullptr, nullptr);
  ASSERT_EQ(GetWindow(owned, GW_OWNER), owner);
  g_seen.clear();
  DestroyWindow(owner);
  EXPECT_LT(IndexOf(owned, WM_NCDESTROY), IndexOf(owner, WM_DESTROY));
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowManager, CloseBoxAndAltF4ReachDestroyThroughDefWindowProc) {
  HWND a = MakeTopLevel("A");
  ShowWindow(a, SW_SHOW);
  desk.close(a);
  EXPECT_GE(IndexOf(a, WM_CLOSE), 0);
  EXPECT_FALSE(desk.exists(a));

  HWND b = MakeTopLevel("B");
  HWND child = MakeChild(b, 1);
  ShowWindow(b, SW_SHOW);
  SetFocus(child);
  desk.press({VK_MENU, VK_F4});
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  EXPECT_FALSE(desk.exists(b));
  const auto sys = Only(WM_SYSCOMMAND);
  ASSERT_FALSE(sys.empty());
  EXPECT_EQ(sys.back().hwnd, b);  // the top-level window, not the focused child
  EXPECT_EQ(sys.back().wParam & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
}

TEST_F(WindowManager,
       ShowWindowReportsThePreviousVisibilityAndHidingTheActiveWindowMovesActivation) {
  HWND a = MakeTopLevel("A");
  HWND b = MakeTopLevel("B");
  EXPECT_FALSE(ShowWindow(a, SW_SHOW));
  EXPECT_TRUE(ShowWindow(a, SW_SHOW));
  EXPECT_FALSE(ShowWindow(b, SW_SHOWNA));
  EXPECT_EQ(GetActiveWindow(), a);  // SW_SHOWNA leaves the activation alone
  EXPECT_TRUE(ShowWindow(a, SW_HIDE));
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_TRUE(ShowWindow(b, SW_HIDE));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_FALSE(ShowWindow(b, SW_HIDE));
}

TEST_F(WindowManager, VisibilityOfAChildDependsOnItsAncestorsButItsOwnStyleStays) {
  HWND a = MakeTopLevel("A");
  HWND child = MakeChild(a, 1);
  EXPECT_TRUE(desk.visible(child));
  EXPECT_FALSE(IsWindowVisible(child));
  ShowWindow(a, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(child));
  ShowWindow(a, SW_HIDE);
  EXPECT_TRUE(desk.visible(child));
  EXPECT_FALSE(IsWindowVisible(child));
}

TEST_F(WindowManager, TopmostOnAHiddenWindowNeitherShowsNorActivatesIt) {
  HWND other = desk.otherProgramWindow();
  desk.activate(other);
  HWND a = MakeTopLevel("A");
  ASSERT_TRUE(SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
  EXPECT_TRUE(desk.topmost(a));
  EXPECT_FALSE(desk.visible(a));
  EXPECT_EQ(desk.active(), other);
  ShowWindow(a, SW_SHOWNA);
  EXPECT_EQ(desk.topLevelZOrder().front(), a);
  desk.activate(other);  // a click on the other program does not lift it above a topmost window
  EXPECT_EQ(desk.topLevelZOrder().front(), a);
  ASSERT_TRUE(
      SetWindowPos(a, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
  EXPECT_FALSE(desk.topmost(a));
  // Without SWP_NOACTIVATE a visible window is activated.
  SetWindowPos(a, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(desk.active(), a);
}

TEST_F(WindowManager, ChildrenStackInCreationOrderUntilPlacedExplicitly) {
  HWND a = MakeTopLevel("A");
  HWND c1 = MakeChild(a, 1);
  HWND c2 = MakeChild(a, 2);
  HWND c3 = MakeChild(a, 3);
  EXPECT_EQ(desk.children(a), (std::vector<HWND>{c1, c2, c3}));
  EXPECT_EQ(GetWindow(a, GW_CHILD), c1);
  EXPECT_EQ(GetWindow(c1, GW_HWNDNEXT), c2);
  EXPECT_EQ(GetWindow(c3, GW_HWNDNEXT), nullptr);

  SetWindowPos(c1, c3, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(desk.children(a), (std::vector<HWND>{c2, c3, c1}));
  SetWindowPos(c3, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(desk.children(a), (std::vector<HWND>{c3, c2, c1}));
  SetWindowPos(c3, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetWindow(a, GW_CHILD), c2);
}

TEST_F(WindowManager, CreationSendsNcCreateAndCreateAndFailsWhenEitherRefuses) {
  HWND a = MakeTopLevel("Title");
  ASSERT_NE(a, nullptr);
  EXPECT_LT(IndexOf(a, WM_NCCREATE), IndexOf(a, WM_CREATE));
  EXPECT_EQ(desk.text(a), "Title");  // DefWindowProcA sets the text on WM_NCCREATE
  HWND child = MakeChild(a, 42);
  EXPECT_EQ(GetDlgCtrlID(child), 42);
  EXPECT_EQ(GetParent(child), a);
  EXPECT_TRUE(IsChild(a, child));

  desk.failCreateWindow(2);
  EXPECT_NE(MakeTopLevel("first"), nullptr);
  EXPECT_EQ(MakeTopLevel("second"), nullptr);
  EXPECT_NE(MakeTopLevel("third"), nullptr);

  EXPECT_EQ(
      CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
      nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
  EXPECT_EQ(CreateWindowExA(0, kRecordingClass, "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                            nullptr),
            nullptr);
}

struct GeometryCase {
  const char* name;
  DWORD style;
  DWORD exStyle;
  bool child;
};

class Geometry : public SimTest, public ::testing::WithParamInterface<GeometryCase> {};

TEST_P(Geometry, ClientAreaIsTheWindowLessItsFrameAndTheWindowRectIsOnTheScreen) {
  const GeometryCase& c = GetParam();
  HWND parent = CreateWindowExA(0, kRecordingClass, "P", WS_POPUP | WS_BORDER, 100, 50, 400, 300,
                                nullptr, nullptr, nullptr, nullptr);
  HWND w = CreateWindowExA(c.exStyle, kRecordingClass, "W", c.style | (c.child ? WS_CHILD : 0), 20,
                           30, 200, 100, c.child ? parent : nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  RECT expected{20, 30, 220, 130};
  if (c.child) OffsetRect(&expected, 100 + 1, 50 + 1);  // the parent's client origin
  RECT outer{};
  GetWindowRect(w, &outer);
  EXPECT_TRUE(EqualRect(&outer, &expected));
  RECT adjusted{0, 0, 0, 0};
  RECT client{};
  GetClientRect(w, &client);
  adjusted = client;
  AdjustWindowRectEx(&adjusted, c.style, FALSE, c.exStyle);
  EXPECT_EQ(adjusted.right - adjusted.left, 200);
  EXPECT_EQ(adjusted.bottom - adjusted.top, 100);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, Geometry,
    ::testing::Values(GeometryCase{"Caption", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, false},
                      GeometryCase{"ThickFrame", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, false},
                      GeometryCase{"BorderOnly", WS_POPUP | WS_BORDER, 0, false},
                      GeometryCase{"ClientEdge", 0, WS_EX_CLIENTEDGE, true},
                      GeometryCase{"StaticEdge", 0, WS_EX_STATICEDGE, true},
                      GeometryCase{"Bare", 0, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowManager, AClientEdgeIsTwoPixelsOnEachSide) {
  HWND a = MakeTopLevel("A");
  HWND e = MakeChild(a, 1, "EDIT", 0, WS_EX_CLIENTEDGE);
  RECT r{};
  GetClientRect(e, &r);
  EXPECT_EQ(r.right, 100 - 4);
  EXPECT_EQ(r.bottom, 50 - 4);
}

}  // namespace
}  // namespace simtest
