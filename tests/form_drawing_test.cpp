// What the window and its labels draw, and the colours of the text boxes.
#include "desktop/win32.h"
#include "program_fixture.h"

namespace vantrel::testing {
namespace {

using DrawingTest = ProgramTest;

TEST_F(DrawingTest, LabelDrawsItsTextFromTheTopLeftAndDeletesWhatItMade) {
  ThenClose([&] {
    HWND label = Child(kLabel1Id);
    sim::PaintRecord paint = desk.paint(label);
    ASSERT_EQ(paint.texts.size(), 1u);
    const sim::DrawTextCall& text = paint.texts[0];
    EXPECT_EQ(text.text, desk.text(label));
    EXPECT_EQ(text.rect.left, 0);
    EXPECT_EQ(text.rect.top, 0);
    EXPECT_EQ(text.rect.right, 16);
    EXPECT_EQ(text.rect.bottom, 368);
    EXPECT_EQ(text.format, 0x0114u);
    EXPECT_EQ(text.font, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    EXPECT_EQ(text.textColor, 0x000000u);
    EXPECT_EQ(text.bkMode, TRANSPARENT);
    ASSERT_FALSE(paint.fills.empty());
    EXPECT_EQ(paint.fills[0].color, GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(paint.objectsCreated, 0);
    EXPECT_EQ(paint.objectsCreated, paint.objectsDeleted);
    EXPECT_EQ(paint.stockObjectsDeleted, 0);
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(DrawingTest, NothingIsDrawnOrMadeForAnEmptyUpdateArea) {
  ThenClose([&] {
    for (HWND hwnd : {Main(), Child(kLabel1Id), Child(kLabel2Id)}) {
      sim::PaintRecord paint = desk.paint(hwnd, RECT{0, 0, 0, 0});
      EXPECT_TRUE(paint.texts.empty());
      EXPECT_TRUE(paint.fills.empty());
      EXPECT_EQ(paint.objectsCreated, 0);
    }
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(DrawingTest, MainWindowFillsTheUpdateAreaInTheCurrentSystemColour) {
  ThenClose([&] {
    sim::PaintRecord first = desk.paint(Main(), RECT{10, 20, 30, 40});
    ASSERT_EQ(first.fills.size(), 1u);
    EXPECT_EQ(first.fills[0].rect.left, 10);
    EXPECT_EQ(first.fills[0].rect.bottom, 40);
    EXPECT_EQ(first.fills[0].color, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(first.objectsCreated, first.objectsDeleted);
    EXPECT_EQ(first.stockObjectsDeleted, 0);

    desk.setSysColor(COLOR_BTNFACE, 0x00123456);
    sim::PaintRecord second = desk.paint(Main());
    ASSERT_EQ(second.fills.size(), 1u);
    EXPECT_EQ(second.fills[0].color, 0x00123456u);
  });
  EXPECT_EQ(Run(), 0);
}

TEST_F(DrawingTest, TextBoxesAreBlackOnWhite) {
  ThenClose([&] {
    for (int key = 1; key <= 10; ++key) {
      sim::PaintRecord paint = desk.paint(Box(key));
      ASSERT_TRUE(paint.ctlColorSent);
      EXPECT_NE(paint.ctlBrush, nullptr);
      EXPECT_EQ(paint.ctlBrushColor, 0xFFFFFFu);
      EXPECT_EQ(paint.ctlTextColor, 0x000000u);
      EXPECT_EQ(paint.ctlBkColor, 0xFFFFFFu);
    }
  });
  EXPECT_EQ(Run(), 0);
}

}  // namespace
}  // namespace vantrel::testing
