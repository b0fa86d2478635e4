#include "desktop/clipboard.h"

#include <cstring>
#include <utility>

#include "desktop/win32.h"

namespace vantrel {
namespace {

// A global memory block that is freed unless it was handed over.
class GlobalBlock {
 public:
  explicit GlobalBlock(HGLOBAL handle) : handle_(handle) {}
  ~GlobalBlock() {
    if (handle_) GlobalFree(handle_);
  }
  GlobalBlock(GlobalBlock&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  GlobalBlock& operator=(GlobalBlock&&) = delete;
  HGLOBAL get() const { return handle_; }
  // The clipboard owns the block once SetClipboardData has taken it.
  void Release() { handle_ = nullptr; }

 private:
  HGLOBAL handle_;
};

// Keeps the clipboard open for one scope; closed on every path.
class OpenClipboardScope {
 public:
  OpenClipboardScope() {
    for (int attempt = 0; attempt < kOpenAttempts && !open_; ++attempt) {
      if (attempt > 0) Sleep(kRetryPauseMs);
      open_ = OpenClipboard(nullptr) != 0;
    }
  }
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  bool open() const { return open_; }

 private:
  bool open_ = false;
};

// The text and its zero in a moveable block, or an empty block when memory fails.
GlobalBlock MakeTextBlock(const char* text, std::size_t length) {
  GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1));
  if (!block.get()) return block;
  void* bytes = GlobalLock(block.get());
  if (!bytes) return GlobalBlock(nullptr);  // the failed block is freed on the way out
  std::memcpy(bytes, text, length + 1);
  GlobalUnlock(block.get());
  return block;
}

}  // namespace

bool SetClipboardText(const char* text) { return SetClipboardText(text, std::strlen(text)); }

bool SetClipboardText(const char* text, std::size_t length) {
  // The block is made before the clipboard is opened: the clipboard is held for as
  // short a time as possible, and a failed allocation leaves its content alone.
  GlobalBlock block = MakeTextBlock(text, length);
  if (!block.get()) return false;
  OpenClipboardScope clipboard;
  if (!clipboard.open()) return false;
  EmptyClipboard();
  if (!SetClipboardData(CF_TEXT, block.get())) return false;
  block.Release();
  return true;
}

}  // namespace vantrel
