// The clipboard and keystroke services on their own.
#include <string>

#include "desktop/clipboard.h"
#include "desktop/keystrokes.h"
#include "desktop/win32.h"
#include "injected_keys.h"
#include "recorder.h"

namespace vantrel::testing {
namespace {

TEST(SetClipboardText, PutsExactlyTheBytesAndTheirZeroAsTextOnly) {
  for (const std::string& text :
       {std::string(), std::string("a\r\nb"), std::string("\xB0\xA1\xB0")}) {
    sim::Desktop desk;
    bool ok = false;
    RunAsProcess(desk, [&] { ok = SetClipboardText(text.c_str()); });
    EXPECT_TRUE(ok);
    std::vector<char> want(text.begin(), text.end());
    want.push_back('\0');
    EXPECT_EQ(desk.clipboardBlock(CF_TEXT), want);
    EXPECT_EQ(desk.clipboardFormats(), std::vector<UINT>{CF_TEXT});
    EXPECT_EQ(desk.clipboardWrites(), 1);
    // One moveable, zero-initialised block of exactly length + 1 bytes.
    std::vector<sim::Call> allocations = desk.calls("GlobalAlloc");
    ASSERT_EQ(allocations.size(), 1u);
    EXPECT_EQ(allocations[0].args[0], GMEM_MOVEABLE | GMEM_ZEROINIT);
    EXPECT_EQ(allocations[0].args[1], static_cast<intptr_t>(text.size() + 1));
    EXPECT_FALSE(desk.clipboardOpen());
    EXPECT_EQ(desk.liveProgramBlocks(), 0);
  }
}

TEST(SetClipboardText, FailureLeavesTheClipboardAsItWasAndFreesTheBlock) {
  const std::function<void(sim::Desktop&)> troubles[] = {
      [](sim::Desktop& d) { d.otherProgramOpensClipboard(-1); },
      [](sim::Desktop& d) { d.failNextGlobalAlloc(); },
      [](sim::Desktop& d) { d.failNextGlobalLock(); },
  };
  for (const auto& trouble : troubles) {
    sim::Desktop desk;
    desk.otherProgramSetsClipboardText("before");
    trouble(desk);
    bool ok = true;
    RunAsProcess(desk, [&] { ok = SetClipboardText("after"); });
    desk.otherProgramClosesClipboard();
    EXPECT_FALSE(ok);
    EXPECT_EQ(desk.clipboardText(), "before");
    EXPECT_EQ(desk.liveProgramBlocks(), 0);
    EXPECT_EQ(desk.memoryFaults(), 0);
  }
}

TEST(SetClipboardText, ARefusedBlockIsReportedAndFreed) {
  sim::Desktop desk;
  desk.setStrictNullOwnerClipboard(true);
  bool ok = true;
  RunAsProcess(desk, [&] { ok = SetClipboardText("text"); });
  EXPECT_FALSE(ok);
  EXPECT_FALSE(desk.clipboardOpen());
  EXPECT_EQ(desk.liveProgramBlocks(), 0);
  EXPECT_EQ(desk.memoryFaults(), 0);
}

struct KeysCase {
  const char* name;
  std::function<void()> call;
  std::vector<sim::InjectedKey> events;
};

void PrintTo(const KeysCase& c, std::ostream* os) { *os << c.name; }

class SimulateKeysTest : public ::testing::TestWithParam<KeysCase> {};

TEST_P(SimulateKeysTest, AllDownInOrderThenAllUpInTheSameOrder) {
  sim::Desktop desk;
  RunAsProcess(desk, GetParam().call);
  EXPECT_EQ(desk.injected(), GetParam().events);
}

constexpr DWORD kUp = KEYEVENTF_KEYUP;
const std::vector<sim::InjectedKey> kCtrlV = {{17, 0}, {86, 0}, {17, kUp}, {86, kUp}};

INSTANTIATE_TEST_SUITE_P(
    Chords, SimulateKeysTest,
    ::testing::Values(
        KeysCase{"CtrlV", [] { SimulateKeys(17, 86); }, kCtrlV},
        KeysCase{"ZeroThirdKeyIsLeftOut", [] { SimulateKeys(17, 86, 0); }, kCtrlV},
        KeysCase{"ThreeKeys",
                 [] { SimulateKeys(17, 16, 'A'); },
                 {{17, 0}, {16, 0}, {'A', 0}, {17, kUp}, {16, kUp}, {'A', kUp}}},
        KeysCase{"LowByteOnly", [] { SimulateKeys(0x141); }, {{0x41, 0}, {0x41, kUp}}},
        KeysCase{"LowerCaseText", [] { SimulateKeys("v"); }, {{0x56, 0}, {0x56, kUp}}},
        // The Shift the layout wants for "V" is dropped.
        KeysCase{"UpperCaseText", [] { SimulateKeys("V"); }, {{0x56, 0}, {0x56, kUp}}},
        KeysCase{"KeyOneIsAlwaysSent", [] { SimulateKeys(0); }, {{0, 0}, {0, kUp}}},
        KeysCase{"ZeroSecondKeyIsLeftOut", [] { SimulateKeys(17, 0, 86); }, kCtrlV}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantrel::testing
