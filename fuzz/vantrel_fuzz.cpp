// libFuzzer target: the whole program on the simulated desktop, driven by a
// sequence of user actions and messages from other programs decoded from the
// fuzz input. After every step it checks what must hold whatever arrives:
//
//  - a registered key (or a message carrying its identifier) with a clipboard
//    that can be written injects exactly Ctrl+V down, V down, Ctrl up, V up and
//    leaves exactly that box's bytes on the clipboard;
//  - no key is injected when the clipboard could not be written, and nothing
//    else touches the clipboard;
//  - a box's text changes only by typing or pasting into the focused box, or by
//    WM_SETTEXT to that box;
//  - no global block is kept, freed twice or freed under the clipboard, no GDI
//    object is misused, and the window stays until the closing step.
//
// Crashes, sanitizer reports and leaks are libFuzzer's to see. The input format
// is described in fuzz/make_corpus.py, which writes the seed corpus.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/slots.h"
#include "app/startup.h"
#include "desktop/clipboard.h"
#include "desktop/hotkeys.h"
#include "sim/desktop.h"

namespace {

using vantrel::kSlotCount;

// The program numbers the main window's twelve children 100, 110, ..., 210 in
// the order it creates them; 100 is the label that receives the hotkeys.
constexpr int kLabel1Id = 100;
constexpr int kChildCount = 12;
// The text box each key pastes, F1..F10.
constexpr int kBoxId[kSlotCount] = {110, 120, 130, 140, 150, 170, 180, 190, 200, 210};

constexpr UINT kFeedbackMessage = 0x8075;
constexpr int kMaxOps = 200;
// The longest text one WM_SETTEXT step carries.
constexpr std::size_t kMaxSetText = 1 << 14;
// A box pasted into itself doubles; a scenario ends once the boxes hold this
// much together, so that an input's run stays short.
constexpr std::size_t kMaxTotalText = 1 << 18;

[[noreturn]] void Violated(const std::string& what) {
  std::fprintf(stderr, "\n*** invariant violated: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

// Reads the input front to back; past its end every read gives 0.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return pos_ >= size_; }
  std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }
  std::uint32_t u32() { return u16() | (static_cast<std::uint32_t>(u16()) << 16); }
  std::string bytes(std::size_t n) {
    n = std::min(n, size_ - std::min(pos_, size_));
    std::string out(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return out;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// A hotkey identifier: mostly near the range the program hands out, sometimes
// anything at all (the high half of a 64-bit WPARAM included).
WPARAM Identifier(Reader& in) {
  const std::uint8_t mode = in.byte();
  if (mode < 0xC0) return vantrel::kFirstHotkeyId - 1 + mode % 13;  // 33000..33012
  if (mode < 0xF0) return in.u32();
  return static_cast<WPARAM>(in.u32()) | (static_cast<WPARAM>(in.u32()) << 16 << 16);
}

enum Op : std::uint8_t {
  kPressKey,  // F1..F10
  kTab,
  kShiftTab,
  kEnter,
  kType,  // printable ASCII
  kBackspace,
  kCtrlV,          // the user pastes into the focused box
  kHotkeyMessage,  // WM_HOTKEY posted or sent to the main window
  kFeedback,       // 0x8075 sent to any of the program's windows
  kSetText,        // WM_SETTEXT of any bytes to a box
  kActivate,       // the user clicks another program, the window, or a box
  kHoldClipboard,  // another program opens the clipboard, for a while or until told
  kReleaseClipboard,
  kOtherCopies,      // another program puts a text on the clipboard
  kFailAlloc,        // the next GlobalAlloc fails
  kFailLock,         // the next GlobalLock fails
  kFailGetMessage,   // the next GetMessageA fails once
  kWait,             // time passes
  kStrictClipboard,  // SetClipboardData refuses a block after an ownerless EmptyClipboard, or not
  kOpCount
};

const std::vector<sim::InjectedKey> kCtrlVKeys = {
    {VK_CONTROL, 0}, {'V', 0}, {VK_CONTROL, KEYEVENTF_KEYUP}, {'V', KEYEVENTF_KEYUP}};

bool SameKeys(const std::vector<sim::InjectedKey>& a, std::size_t from,
              const std::vector<sim::InjectedKey>& b) {
  if (a.size() - from != b.size()) return false;
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (a[from + i].vk != b[i].vk || a[from + i].flags != b[i].flags) return false;
  }
  return true;
}

std::string Shown(const std::string& text) {
  std::string out;
  for (unsigned char c : text.substr(0, 40)) {
    char buf[8];
    std::snprintf(buf, sizeof buf, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X", c);
    out += buf;
  }
  return text.size() > 40 ? out + "... (" + std::to_string(text.size()) + " bytes)" : out;
}

const char* OpName(int op) {
  static const char* const names[kOpCount] = {"press key",
                                              "Tab",
                                              "Shift+Tab",
                                              "Enter",
                                              "type",
                                              "Backspace",
                                              "Ctrl+V",
                                              "WM_HOTKEY",
                                              "0x8075",
                                              "WM_SETTEXT",
                                              "activate",
                                              "hold clipboard",
                                              "release clipboard",
                                              "other program copies",
                                              "fail GlobalAlloc",
                                              "fail GlobalLock",
                                              "fail GetMessageA",
                                              "wait",
                                              "strict clipboard"};
  return op >= 0 && op < kOpCount ? names[op] : "close";
}

class Session {
 public:
  Session(sim::Desktop& desk, Reader& in) : desk_(desk), in_(in) {}

  // What happens before the program starts; then the first step waits for its
  // first idle moment.
  void Prepare() {
    const std::uint8_t options = in_.byte();
    if (options & 0x01) {
      const std::uint16_t held = in_.u16();
      for (int i = 0; i < kSlotCount; ++i) {
        if (held & (1u << i)) desk_.holdHotkey(0, VK_F1 + i);
      }
    }
    if (options & 0x02) {
      // A window that cannot be made ends the program on its fatal error path.
      fatalExpected_ = true;
      desk_.failCreateWindow(1 + in_.byte() % 13);  // the window and its 12 children
    }
    closeHow_ = (options >> 2) & 0x03;
    other_ = desk_.otherProgramWindow("Editor");
    desk_.onMessageBox([](const sim::MessageBoxInfo&) { return IDOK; });
    desk_.onIdle([this] { Step(); });
  }

  void Finish(int exitCode) {
    if (fatalExpected_ && exitCode != 0) {
      if (exitCode != -1) Violated("the fatal error path ended with " + std::to_string(exitCode));
    } else if (exitCode != 0) {
      Violated("the program ended with exit code " + std::to_string(exitCode));
    } else if (!closed_) {
      Violated("the program ended before it was closed");
    }
    CheckMemory("after the end");
    // After a fatal error the system takes back what the process held.
    if (!fatalExpected_ && desk_.liveGdiObjects() != 0) {
      Violated(std::to_string(desk_.liveGdiObjects()) + " GDI objects outlive the program");
    }
  }

 private:
  HWND Main() const { return desk_.topLevel("Vantrel"); }
  HWND Box(int slot) const { return desk_.child(main_, kBoxId[slot]); }

  void Step() {
    if (!main_) Started();
    Check();
    if (in_.empty() || steps_ == kMaxOps || TotalText() > kMaxTotalText) {
      Close();
      return;
    }
    ++steps_;
    Snapshot();
    Perform(in_.byte() % kOpCount);
    desk_.onIdle([this] { Step(); });
  }

  void Started() {
    main_ = Main();
    if (!main_) Violated("no main window at the first idle moment");
    if (fatalExpected_) Violated("the program started although a window could not be made");
    for (int i = 0; i < kSlotCount; ++i) ids_[i] = vantrel::SlotHotkey(i);
    lastOp_ = -1;
  }

  // ---- what each step does, and what it may change

  void Snapshot() {
    injectedBefore_ = desk_.injected().size();
    writesBefore_ = desk_.clipboardWrites();
    clipBefore_ = desk_.clipboardBlock(CF_TEXT);
    for (int i = 0; i < kSlotCount; ++i) textBefore_[i] = desk_.text(Box(i));
    focusBefore_ = FocusedBox();
    if (focusBefore_ >= 0) selBefore_ = desk_.selection(Box(focusBefore_));
    pasteSlot_.reset();
    pasteWritable_ = false;
    mayEmptyClipboard_ = false;
    setTextBox_ = -1;
    typed_.reset();
    mayChangeFocused_ = false;
    clipboardChangedByOther_ = false;
  }

  std::size_t TotalText() const {
    std::size_t total = 0;
    for (int i = 0; i < kSlotCount; ++i) total += desk_.text(Box(i)).size();
    return total;
  }

  // The slot of the focused box when the program is in front, or -1.
  int FocusedBox() const {
    if (desk_.active() != main_) return -1;
    HWND focus = desk_.focus();
    for (int i = 0; i < kSlotCount; ++i) {
      if (focus && focus == Box(i)) return i;
    }
    return -1;
  }

  // The slot a hotkey identifier pastes: the identifiers are compared as
  // unsigned 32-bit values, and 0 (a refused key) is never one.
  std::optional<int> SlotFor(WPARAM wParam) const {
    const auto id = static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam));
    if (id == 0) return std::nullopt;
    for (int i = 0; i < kSlotCount; ++i) {
      if (ids_[i] == id) return i;
    }
    return std::nullopt;
  }

  // A paste is due for the slot: will the clipboard take the text? Consumes the
  // allocation failure that the write meets first.
  void ExpectPaste(std::optional<int> slot) {
    pasteSlot_ = slot;
    if (!slot) return;
    if (failAlloc_) {
      failAlloc_ = false;
      return;
    }
    if (failLock_) {
      failLock_ = false;
      return;
    }
    if (strictClipboard_) {
      // The clipboard was emptied before it refused the text: its old content is gone.
      mayEmptyClipboard_ = true;
      return;
    }
    // Opening is retried kOpenAttempts times, kRetryPauseMs apart.
    const long long patience =
        (vantrel::kOpenAttempts - 1) * static_cast<long long>(vantrel::kRetryPauseMs);
    if (holdUntil_ &&
        (*holdUntil_ < 0 || *holdUntil_ - static_cast<long long>(desk_.now()) > patience)) {
      return;
    }
    pasteWritable_ = true;
  }

  void Perform(int op) {
    lastOp_ = op;
    switch (op) {
      case kPressKey: {
        const int slot = in_.byte() % kSlotCount;
        detail_ = "F" + std::to_string(slot + 1);
        ExpectPaste(ids_[slot] != 0 ? std::optional<int>(slot) : std::nullopt);
        desk_.press(static_cast<BYTE>(VK_F1 + slot));
        break;
      }
      case kTab:
        desk_.press(VK_TAB);
        break;
      case kShiftTab:
        desk_.press({VK_SHIFT, VK_TAB});
        break;
      case kEnter:
        typed_ = "\r\n";
        desk_.press(VK_RETURN);
        break;
      case kType: {
        std::string text;
        for (int n = in_.byte() % 24; n > 0; --n) text += static_cast<char>(' ' + in_.byte() % 95);
        detail_ = text;
        typed_ = text;
        desk_.type(text);
        break;
      }
      case kBackspace:
        mayChangeFocused_ = true;
        desk_.press(VK_BACK);
        break;
      case kCtrlV:
        mayChangeFocused_ = true;
        desk_.press({VK_CONTROL, 'V'});
        break;
      case kHotkeyMessage: {
        const bool send = in_.byte() & 1;
        const WPARAM id = Identifier(in_);
        const auto lParam = static_cast<LPARAM>(in_.u32());
        detail_ = std::to_string(id);
        // The window passes every identifier it handed out on, whoever posted it.
        const auto low = static_cast<std::uint32_t>(id);
        const bool inRange =
            low >= vantrel::kFirstHotkeyId && low < vantrel::kFirstHotkeyId + kSlotCount;
        ExpectPaste(inRange ? SlotFor(id) : std::nullopt);
        if (send) {
          desk_.send(main_, WM_HOTKEY, id, lParam);
        } else {
          desk_.post(main_, WM_HOTKEY, id, lParam);
        }
        break;
      }
      case kFeedback: {
        const int child = in_.byte() % (kChildCount + 1);
        const WPARAM wParam = Identifier(in_);
        const auto lParam = static_cast<LPARAM>(in_.u32());
        const int id = 100 + 10 * (child - 1);
        HWND target = child == 0 ? main_ : desk_.child(main_, id);
        detail_ = "to " + std::to_string(child == 0 ? 0 : id) + ", " + std::to_string(wParam);
        ExpectPaste(child != 0 && id == kLabel1Id ? SlotFor(wParam) : std::nullopt);
        desk_.send(target, kFeedbackMessage, wParam, lParam);
        break;
      }
      case kSetText: {
        setTextBox_ = in_.byte() % kSlotCount;
        const std::string bytes = in_.bytes(in_.u16() % (kMaxSetText + 1));
        setText_ = bytes.substr(0, bytes.find('\0'));
        detail_ = "box " + std::to_string(kBoxId[setTextBox_]) + ": " + Shown(bytes);
        desk_.send(Box(setTextBox_), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()));
        break;
      }
      case kActivate: {
        const std::uint8_t where = in_.byte();
        if (where % 3 == 0) {
          desk_.activate(other_);
        } else if (where % 3 == 1 || !desk_.visible(Box(where / 3 % kSlotCount))) {
          desk_.activate(main_);
        } else {
          desk_.activate(Box(where / 3 % kSlotCount));
        }
        break;
      }
      case kHoldClipboard: {
        const std::uint8_t forHow = in_.byte();
        if (!desk_.clipboardOpen()) holdUntil_.reset();  // an earlier hold has run out
        // 255: until released; otherwise 0..508 ms from now.
        const int ms = forHow == 0xFF ? -1 : 2 * forHow;
        holdUntil_ = ms < 0 ? -1 : static_cast<long long>(desk_.now()) + ms;
        desk_.otherProgramOpensClipboard(ms);
        break;
      }
      case kReleaseClipboard:
        holdUntil_.reset();
        desk_.otherProgramClosesClipboard();
        break;
      case kOtherCopies:
        // A program with the clipboard open may write it; when another holds it, this one waits.
        if (desk_.clipboardOpen()) break;
        holdUntil_.reset();
        clipboardChangedByOther_ = true;
        desk_.otherProgramSetsClipboardText(in_.bytes(in_.byte() % 32));
        break;
      case kFailAlloc:
        failAlloc_ = true;
        desk_.failNextGlobalAlloc();
        break;
      case kFailLock:
        failLock_ = true;
        desk_.failNextGlobalLock();
        break;
      case kFailGetMessage:
        desk_.failNextGetMessage();
        break;
      case kWait:
        desk_.advance(4u * in_.byte());
        if (!desk_.clipboardOpen()) holdUntil_.reset();
        break;
      case kStrictClipboard:
        strictClipboard_ = in_.byte() & 1;
        desk_.setStrictNullOwnerClipboard(strictClipboard_);
        break;
      default:
        break;
    }
  }

  // ---- what must hold after each step

  std::string Where() const {
    std::string where = "step " + std::to_string(steps_) + " (" + OpName(lastOp_);
    if (!detail_.empty()) where += " " + Shown(detail_);
    return where + ")";
  }

  void CheckMemory(const std::string& where) {
    if (desk_.memoryFaults() != 0 || desk_.gdiFaults() != 0) {
      std::string what;
      for (const std::string& f : desk_.faults()) what += "\n  " + f;
      Violated(where + ": memory or GDI fault:" + what);
    }
    if (desk_.liveProgramBlocks() != 0) Violated(where + ": the program keeps a global block");
  }

  void Check() {
    if (lastOp_ < 0) return;  // nothing done yet
    const std::string where = Where();
    CheckMemory(where);
    if (!desk_.exists(main_)) Violated(where + ": the window is gone");

    const std::vector<sim::InjectedKey>& injected = desk_.injected();
    const bool keysSent = injected.size() != injectedBefore_;
    const std::optional<std::vector<char>> clip = desk_.clipboardBlock(CF_TEXT);
    if (pasteSlot_ && pasteWritable_) {
      if (!SameKeys(injected, injectedBefore_, kCtrlVKeys)) {
        Violated(where + ": a paste did not inject exactly Ctrl+V");
      }
      std::vector<char> want(textBefore_[*pasteSlot_].begin(), textBefore_[*pasteSlot_].end());
      want.push_back('\0');
      if (clip != want) {
        Violated(where + ": the clipboard does not hold exactly the box of F" +
                 std::to_string(*pasteSlot_ + 1) + ": " + Shown(textBefore_[*pasteSlot_]));
      }
      if (desk_.clipboardWrites() != writesBefore_ + 1) {
        Violated(where + ": the clipboard was not written exactly once");
      }
    } else {
      if (keysSent) {
        Violated(where + (pasteSlot_ ? ": keys injected although the clipboard could not be written"
                                     : ": keys injected without a paste"));
      }
      const bool emptied = mayEmptyClipboard_ && !clip;
      if (!clipboardChangedByOther_ &&
          ((clip != clipBefore_ && !emptied) || desk_.clipboardWrites() != writesBefore_)) {
        Violated(where + ": the clipboard changed without a paste");
      }
    }
    CheckTexts(where, clip);
  }

  void CheckTexts(const std::string& where, const std::optional<std::vector<char>>& clip) {
    const bool pasted = pasteSlot_ && pasteWritable_;
    for (int i = 0; i < kSlotCount; ++i) {
      const std::string now = desk_.text(Box(i));
      const std::string& before = textBefore_[i];
      if (now == before) continue;
      const std::string box = "the box of F" + std::to_string(i + 1);
      if (i == setTextBox_) {
        if (now != setText_)
          Violated(where + ": " + box + " holds " + Shown(now) + ", not the text set");
        continue;
      }
      if (i != focusBefore_)
        Violated(where + ": " + box + ", not focused, changed to " + Shown(now));
      const std::size_t lo = selBefore_.first, hi = selBefore_.second;
      auto inserted = [&](const std::string& text) {
        return before.substr(0, lo) + text +
               before.substr(std::min<std::size_t>(hi, before.size()));
      };
      if (typed_) {
        if (now != inserted(*typed_))
          Violated(where + ": " + box + " holds " + Shown(now) + " after typing");
      } else if (pasted || lastOp_ == kCtrlV) {
        const std::string clipText = clip ? std::string(clip->data()) : std::string();
        if (now != inserted(clipText))
          Violated(where + ": " + box + " holds " + Shown(now) + " after a paste");
      } else if (!mayChangeFocused_) {
        Violated(where + ": " + box + " changed to " + Shown(now));
      }
    }
  }

  // The last step: the user closes the window, in one of the ways there are.
  void Close() {
    closed_ = true;
    lastOp_ = kOpCount;
    switch (closeHow_) {
      case 0:
        desk_.close(main_);
        break;
      case 1:
        desk_.activate(main_);
        desk_.press({VK_MENU, VK_F4});
        break;
      case 2:
        desk_.activate(main_);
        desk_.press(VK_ESCAPE);
        break;
      default:
        desk_.send(main_, WM_CLOSE, 0, 0);
        break;
    }
  }

  sim::Desktop& desk_;
  Reader& in_;
  HWND main_ = nullptr;
  HWND other_ = nullptr;
  std::int32_t ids_[kSlotCount] = {};
  bool fatalExpected_ = false;
  int closeHow_ = 0;
  bool closed_ = false;
  int steps_ = 0;
  int lastOp_ = -1;
  std::string detail_;

  // What the machine is known to be about to do.
  bool failAlloc_ = false;
  bool failLock_ = false;
  bool strictClipboard_ = false;
  std::optional<long long> holdUntil_;  // -1: until released

  // The moment before the step.
  std::size_t injectedBefore_ = 0;
  int writesBefore_ = 0;
  std::optional<std::vector<char>> clipBefore_;
  std::string textBefore_[kSlotCount];
  int focusBefore_ = -1;
  std::pair<DWORD, DWORD> selBefore_{0, 0};

  // What the step is allowed to do.
  std::optional<int> pasteSlot_;
  bool pasteWritable_ = false;
  bool mayEmptyClipboard_ = false;
  int setTextBox_ = -1;
  std::string setText_;
  std::optional<std::string> typed_;
  bool mayChangeFocused_ = false;
  bool clipboardChangedByOther_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  sim::Desktop desk;
  desk.setLogging(false);  // nothing here reads the call log; it only slows each run
  vantrel::ResetProgramForTesting();
  Session session(desk, in);
  session.Prepare();
  int code = 0;
  try {
    code = desk.run(&vantrel::RunProgram);
  } catch (const std::exception& e) {
    Violated(std::string("the run failed: ") + e.what());
  }
  session.Finish(code);
  return 0;
}
