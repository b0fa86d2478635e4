// Raising events: the feedback message of a label, suppression, and the lookups
// that end in a fatal error.
#include "app/form.h"
#include "desktop/controls.h"
#include "desktop/win32.h"
#include "program_fixture.h"

namespace vantrel::testing {
namespace {

using FeedbackTest = ProgramTest;

TEST_F(FeedbackTest, OnlyTheFirstLabelHasAHandlerForTheFeedbackMessage) {
  ThenClose([&] {
    SetWindowTextA(Box(1), "one");
    const int clipboardWrites = desk.clipboardWrites();
    // The feedback event of 标签1 is the paste action: F1's identifier pastes box 1.
    EXPECT_EQ(desk.send(Child(kLabel1Id), kFeedbackMessage, 33001, 0), 0);
    EXPECT_EQ(desk.clipboardWrites(), clipboardWrites + 1);
    EXPECT_EQ(desk.clipboardText(), "one");
    // Nothing is bound to 标签2, and text boxes and the window give the message no meaning.
    for (HWND other : {Child(kLabel2Id), Box(1), Main()}) {
      EXPECT_EQ(desk.send(other, kFeedbackMessage, 33001, 0), 0);
    }
    EXPECT_EQ(desk.clipboardWrites(), clipboardWrites + 1);
  });
  EXPECT_EQ(Run(), 0);
}

// The registry and raise event, on a form of the test's own.
class RaiseEventTest : public ProgramTest {
 protected:
  static void Handler(EventRecord& record) {
    calls.push_back({record.args[0], record.args[1]});
    if (giveResult) {
      record.hasResult = true;
      record.result = 77;
    }
  }
  static inline std::vector<std::pair<std::int32_t, std::int32_t>> calls;
  static inline bool giveResult = false;
  static constexpr EventBinding kBindings[] = {{0x16010002, kFeedbackEvent, &Handler}};

  void SetUp() override {
    calls.clear();
    giveResult = false;
    LoadedForm* form = LoadForm(0x52019999, kBindings, 1);
    ASSERT_NE(form, nullptr);
    AddControl(*form, 0x06010000, ControlKind::Window);
    AddControl(*form, 0x16010002, ControlKind::Label);
    AddControl(*form, 0x16010010, ControlKind::Label);
  }
  void TearDown() override { UnloadForm(0x52019999); }
};

TEST_F(RaiseEventTest, PassesBothArgumentsAsSigned32BitValuesAndTheResultBack) {
  EXPECT_EQ(RaiseFeedbackEvent(0x52019999, 0x16010002, 0xFFFFFFFF, 5), 0);
  giveResult = true;
  EXPECT_EQ(RaiseFeedbackEvent(0x52019999, 0x16010002, 33001, 0), 77);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], std::make_pair(-1, 5));
  EXPECT_EQ(calls[1], std::make_pair(33001, 0));
  // A label with nothing bound answers 0.
  EXPECT_EQ(RaiseFeedbackEvent(0x52019999, 0x16010010, 1, 2), 0);
  EXPECT_EQ(calls.size(), 2u);
}

TEST_F(RaiseEventTest, SuppressedEventsRunNoHandlerUntilTheCountIsBackAtZero) {
  SuppressEvents();
  SuppressEvents();
  EXPECT_EQ(RaiseFeedbackEvent(0x52019999, 0x16010002, 1, 0), 0);
  AllowEvents();
  EXPECT_EQ(RaiseFeedbackEvent(0x52019999, 0x16010002, 2, 0), 0);
  EXPECT_TRUE(calls.empty());
  AllowEvents();
  RaiseFeedbackEvent(0x52019999, 0x16010002, 3, 0);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, 3);
}

struct Lookup {
  FormNumber form;
  ControlNumber control;
};

void PrintTo(const Lookup& l, std::ostream* os) { *os << std::hex << l.form << "/" << l.control; }

class RaiseEventLookupTest : public RaiseEventTest, public ::testing::WithParamInterface<Lookup> {
 protected:
  static inline Lookup target;
};

TEST_P(RaiseEventLookupTest, AnUnknownFormOrControlIsFatal) {
  target = GetParam();
  desk.onMessageBox([](const sim::MessageBoxInfo&) { return IDOK; });
  EXPECT_EQ(desk.run([]() -> int {
    EventRecord record;
    record.form = target.form;
    record.control = target.control;
    RaiseEvent(record);
    return 0;
  }),
            -1);
  EXPECT_EQ(desk.messageBoxes().size(), 1u);
  EXPECT_TRUE(calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Lookups, RaiseEventLookupTest,
                         ::testing::Values(Lookup{0x52010099, 0x16010002},    // no such form
                                           Lookup{0x52019999, 0x16019999}));  // no such control

}  // namespace
}  // namespace vantrel::testing
