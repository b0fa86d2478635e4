// The message box operation: its style rule, its answers and its texts.
#include <string>

#include "desktop/message_box.h"
#include "desktop/win32.h"
#include "recorder.h"

namespace vantrel::testing {
namespace {

struct BoxCase {
  std::int32_t buttons;
  int pressed;  // what MessageBoxA answers
  UINT style;   // what it was asked to show
  std::int32_t result;
};

void PrintTo(const BoxCase& c, std::ostream* os) {
  *os << "buttons " << c.buttons << " answer " << c.pressed;
}

class MessageBoxTest : public ::testing::TestWithParam<BoxCase> {
 protected:
  sim::Desktop desk;
};

TEST_P(MessageBoxTest, StyleAndPressedButtonNumber) {
  const BoxCase c = GetParam();
  desk.onMessageBox([&](const sim::MessageBoxInfo&) { return c.pressed; });
  std::int32_t result = -99;
  RunAsProcess(desk, [&] { result = ShowMessageBox("text", c.buttons); });
  ASSERT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_EQ(desk.messageBoxes()[0].style, c.style);
  EXPECT_EQ(result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MessageBoxTest,
    ::testing::Values(BoxCase{0, IDOK, 0x2000, 0},         //
                      BoxCase{4, IDYES, 0x2004, 5},        // MB_YESNO
                      BoxCase{4, IDNO, 0x2004, 6},         //
                      BoxCase{3, IDCANCEL, 0x2003, 1},     // MB_YESNOCANCEL
                      BoxCase{2, IDABORT, 0x2002, 2},      // MB_ABORTRETRYIGNORE
                      BoxCase{2, IDRETRY, 0x2002, 3},      //
                      BoxCase{2, IDIGNORE, 0x2002, 4},     //
                      BoxCase{0x31, IDOK, 0x2031, 0},      // MB_OKCANCEL | MB_ICONWARNING
                      BoxCase{0x31, IDCANCEL, 0x2031, 1},  //
                      BoxCase{0x1000, IDOK, 0x1000, 0},    // system-modal stays as it is
                      BoxCase{0x2000, IDOK, 0x2000, 0}));  // task-modal already: kept, not carried

TEST(MessageBoxTexts, CaptionOwnerAndTheTextFormOfValues) {
  sim::Desktop desk;
  desk.onMessageBox([](const sim::MessageBoxInfo&) { return IDOK; });
  RunAsProcess(desk, [] {
    HWND owner = MakeRecorder();
    ShowMessageBox(
        "\xD7\xA2\xB2\xE1"
        "F3"
        "\xCA\xA7\xB0\xDC",
        0);
    ShowMessageBox("", 0, "Own caption");
    ShowMessageBox(std::int32_t{42}, 0);
    ShowMessageBox(std::int32_t{-7}, 0);
    ShowMessageBox(std::uint8_t{200}, 0);
    ShowMessageBox(true, 0);
    ShowMessageBox(false, 0, nullptr, MessageOwner::Handle(reinterpret_cast<std::intptr_t>(owner)));
    ShowMessageBox("gone", 0, nullptr, MessageOwner::Form(0x52010001));  // no such window: no owner
  });
  const auto& boxes = desk.messageBoxes();
  ASSERT_EQ(boxes.size(), 8u);
  const std::string defaultCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";
  EXPECT_EQ(boxes[0].text, "\xD7\xA2\xB2\xE1\x46\x33\xCA\xA7\xB0\xDC");
  EXPECT_EQ(boxes[0].caption, defaultCaption);
  EXPECT_EQ(boxes[0].owner, nullptr);
  EXPECT_EQ(boxes[1].text, "");
  EXPECT_EQ(boxes[1].caption, "Own caption");
  EXPECT_EQ(boxes[2].text, "42");
  EXPECT_EQ(boxes[3].text, "-7");
  EXPECT_EQ(boxes[4].text, "200");
  EXPECT_EQ(boxes[5].text, "\xD5\xE6");  // 真
  EXPECT_EQ(boxes[6].text, "\xBC\xD9");  // 假
  EXPECT_NE(boxes[6].owner, nullptr);
  EXPECT_EQ(boxes[7].owner, nullptr);
}

}  // namespace
}  // namespace vantrel::testing
