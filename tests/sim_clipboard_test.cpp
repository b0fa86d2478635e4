// The simulated clipboard and global memory: who owns a block, and the faults a
// program's clipboard code could make.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/sim_support.h"

namespace simtest {
namespace {

HGLOBAL TextBlock(const char* text) {
  const std::size_t n = std::strlen(text) + 1;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
  if (!h) return nullptr;
  void* p = GlobalLock(h);
  std::memcpy(p, text, n);
  GlobalUnlock(h);
  return h;
}

using Clipboard = SimTest;

TEST_F(Clipboard, ASuccessfulSetHandsTheBlockToTheClipboard) {
  HGLOBAL h = TextBlock("hello");
  EXPECT_EQ(desk.liveProgramBlocks(), 1);
  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_TEXT, h), h);
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(desk.clipboardText(), "hello");
  EXPECT_EQ(desk.clipboardWrites(), 1);
  EXPECT_EQ(desk.liveProgramBlocks(), 0);
  EXPECT_EQ(desk.memoryFaults(), 0);

  GlobalFree(h);  // no longer the program's to free
  EXPECT_EQ(desk.memoryFaults(), 1);
  EXPECT_EQ(desk.clipboardText(), "hello");
}

TEST_F(Clipboard, AFailedSetLeavesTheBlockWithTheCaller) {
  HGLOBAL h = TextBlock("x");
  EXPECT_EQ(SetClipboardData(CF_TEXT, h), nullptr);  // not open
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
  EXPECT_EQ(desk.liveProgramBlocks(), 1);
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(desk.liveProgramBlocks(), 0);
  EXPECT_EQ(GlobalFree(h), h);  // twice
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(desk.memoryFaults(), 2);
  EXPECT_EQ(desk.clipboardWrites(), 0);
}

TEST_F(Clipboard, EmptyingWithNoOwnerFailsTheSetOnlyWhenStrict) {
  for (bool strict : {false, true}) {
    SCOPED_TRACE(strict ? "strict" : "lenient");
    desk.setStrictNullOwnerClipboard(strict);
    HGLOBAL h = TextBlock("y");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const bool taken = SetClipboardData(CF_TEXT, h) != nullptr;
    CloseClipboard();
    EXPECT_EQ(taken, !strict);
    if (!taken) GlobalFree(h);
    EXPECT_EQ(desk.liveProgramBlocks(), 0);
  }
  HWND a = MakeTopLevel("A");
  HGLOBAL h = TextBlock("z");
  ASSERT_TRUE(OpenClipboard(a));
  EmptyClipboard();
  EXPECT_EQ(SetClipboardData(CF_TEXT, h),
            h);  // with an owner window even the strict clipboard takes it
  CloseClipboard();
  EXPECT_EQ(desk.clipboardOwner(), a);
}

TEST_F(Clipboard, AnotherProgramHoldingItKeepsOpenClipboardFailingUntilReleased) {
  HWND other = desk.otherProgramWindow();
  desk.otherProgramOpensClipboard(25);
  EXPECT_FALSE(OpenClipboard(nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(GetOpenClipboardWindow(), other);
  Sleep(20);
  EXPECT_FALSE(OpenClipboard(nullptr));
  Sleep(5);
  ASSERT_TRUE(OpenClipboard(nullptr));
  CloseClipboard();

  desk.otherProgramOpensClipboard();
  Sleep(100000);
  EXPECT_FALSE(OpenClipboard(nullptr));
  desk.otherProgramClosesClipboard();
  EXPECT_TRUE(OpenClipboard(nullptr));
  CloseClipboard();
}

TEST_F(Clipboard, EmptyingFreesTheOldContentAndTextFormatsStandInForEachOther) {
  desk.otherProgramSetsClipboardText("old");
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE old = GetClipboardData(CF_TEXT);
  ASSERT_NE(old, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(old)), "old");
  GlobalUnlock(old);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EmptyClipboard();
  EXPECT_EQ(GlobalLock(old), nullptr);  // freed with the old content
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  CloseClipboard();
  EXPECT_EQ(desk.clipboardText(), std::nullopt);
}

TEST_F(Clipboard, InjectedAllocationAndLockFailuresHitOnlyTheNextCall) {
  desk.failNextGlobalAlloc();
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, 4), nullptr);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalSize(h), 4u);
  desk.failNextGlobalLock();
  EXPECT_EQ(GlobalLock(h), nullptr);
  const char* p = static_cast<const char*>(GlobalLock(h));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::memcmp(p, "\0\0\0\0", 4), 0);
  GlobalUnlock(h);
  GlobalFree(h);
  EXPECT_EQ(desk.liveProgramBlocks(), 0);
  EXPECT_EQ(desk.memoryFaults(), 0);
}

// ---- the EDIT class

class Edit : public SimTest {
 protected:
  Edit() {
    parent = MakeTopLevel("A");
    box = MakeChild(parent, 1, "Edit", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN);
    ShowWindow(parent, SW_SHOW);
    SetFocus(box);
  }
  void Run() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  HWND parent;
  HWND box;
};

TEST_F(Edit, TypingKeepsLineBreaksAsCrLfAndBackspaceTakesThemWhole) {
  desk.type("ab\ncd\t!");
  Run();
  EXPECT_EQ(desk.text(box), "ab\r\ncd\t!");
  for (int i = 0; i < 5; ++i) desk.press(VK_BACK);
  Run();
  EXPECT_EQ(desk.text(box), "ab");
  desk.typeChar(box, 0xB0);  // bytes no key makes go in as they are
  desk.typeChar(box, 0xA1);
  Run();
  EXPECT_EQ(desk.text(box), "ab\xB0\xA1");
}

TEST_F(Edit, TheLimitStopsTypingAndPastingButNotSetText) {
  SendMessageA(box, EM_LIMITTEXT, 5, 0);
  EXPECT_EQ(SendMessageA(box, EM_GETLIMITTEXT, 0, 0), 5);
  desk.type("abcdefg");
  Run();
  EXPECT_EQ(desk.text(box), "abcde");
  SendMessageA(box, EM_SETSEL, 0, -1);
  desk.otherProgramSetsClipboardText("123456789");
  SendMessageA(box, WM_PASTE, 0, 0);
  EXPECT_EQ(desk.text(box), "12345");
  SetWindowTextA(box, "longer than five");
  EXPECT_EQ(desk.text(box), "longer than five");

  SendMessageA(box, EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(static_cast<DWORD>(SendMessageA(box, EM_GETLIMITTEXT, 0, 0)), 0xFFFFFFFFu);
  HWND fresh = MakeChild(parent, 2, "EDIT", ES_MULTILINE);
  EXPECT_EQ(SendMessageA(fresh, EM_GETLIMITTEXT, 0, 0), 32767);
}

TEST_F(Edit, GetTextCopiesWhatFitsWithItsZero) {
  SetWindowTextA(box, "abcdef");
  char buffer[8];
  std::memset(buffer, 'X', sizeof buffer);
  EXPECT_EQ(SendMessageA(box, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(SendMessageA(box, WM_GETTEXTLENGTH, 0, 0), 6);
  EXPECT_EQ(SendMessageA(box, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
}

TEST_F(Edit, TypingAndPastingReplaceTheSelection) {
  SetWindowTextA(box, "hello world");
  SendMessageA(box, EM_SETSEL, 6, 11);
  desk.type("there");
  Run();
  EXPECT_EQ(desk.text(box), "hello there");
  SendMessageA(box, EM_SETSEL, 0, -1);
  DWORD start = 99, end = 99;
  SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 11u);
  desk.otherProgramSetsClipboardText("new");
  desk.press({VK_CONTROL, 'V'});
  Run();
  EXPECT_EQ(desk.text(box), "new");
  SendMessageA(box, EM_SETSEL, static_cast<WPARAM>(-1), 0);  // deselect: the caret stays at the end
  desk.type("!");
  Run();
  EXPECT_EQ(desk.text(box), "new!");
}

}  // namespace
}  // namespace simtest
