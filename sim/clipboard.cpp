// The clipboard and global memory of the simulated desktop. Every block is
// tracked with its owner, so that a test can see leaks, double frees and frees
// of blocks the clipboard owns.
#include <algorithm>
#include <cstring>
#include <string>

#include "sim/machine.h"

namespace sim::detail {

HGLOBAL blockHandle(std::size_t index) { return reinterpret_cast<HGLOBAL>(kBlockBase + index * 8); }

Block* blockOf(HGLOBAL h) {
  if (!g) return nullptr;
  const auto v = reinterpret_cast<std::uintptr_t>(h);
  if (v < kBlockBase || (v - kBlockBase) % 8) return nullptr;
  const std::size_t i = (v - kBlockBase) / 8;
  return i < g->blocks.size() ? &g->blocks[i] : nullptr;
}

HGLOBAL allocBlock(UINT flags, std::size_t bytes, bool program) {
  Machine& m = *g;
  Block b;
  b.size = bytes;
  b.flags = flags;
  b.programAllocated = program;
  b.clipboardOwned = !program;
  const std::size_t size = std::max<std::size_t>(bytes, 1);
  b.data = std::make_unique_for_overwrite<char[]>(size);
  // Uninitialised memory is not zero: a missing terminator shows.
  if (flags & GMEM_ZEROINIT) {
    std::memset(b.data.get(), 0, size);
  } else if (m.markFreshMemory) {
    std::memset(b.data.get(), 0xCD, size);
  }
  m.blocks.push_back(std::move(b));
  return blockHandle(m.blocks.size() - 1);
}

namespace {

void release(Block& b) {
  b.freed = true;
  b.data.reset();
}

}  // namespace

void freeClipboardBlocks() {
  Machine& m = *g;
  for (auto* list : {&m.clipFormats, &m.clipSynthesised}) {
    for (const ClipboardFormat& f : *list) {
      if (Block* b = f.block >= 0 ? &m.blocks[static_cast<std::size_t>(f.block)] : nullptr;
          b && !b->freed) {
        release(*b);
      }
    }
    list->clear();
  }
}

bool otherHoldsClipboard() {
  Machine& m = *g;
  if (m.clipOpener != Machine::Opener::Other) return false;
  if (m.clipOtherReleaseAt >= 0 && static_cast<long long>(m.clock) >= m.clipOtherReleaseAt) {
    m.clipOpener = Machine::Opener::None;
    m.clipOpenWindow = nullptr;
    return false;
  }
  return true;
}

bool openClipboard(HWND hwnd) {
  Machine& m = *g;
  if (otherHoldsClipboard()) {
    m.lastError = ERROR_ACCESS_DENIED;
    return false;
  }
  if (m.clipOpener == Machine::Opener::Program) {
    if (m.clipOpenWindow == hwnd) return true;
    m.lastError = ERROR_ACCESS_DENIED;
    return false;
  }
  m.clipOpener = Machine::Opener::Program;
  m.clipOpenWindow = hwnd;
  return true;
}

bool closeClipboard() {
  Machine& m = *g;
  if (m.clipOpener != Machine::Opener::Program) {
    m.lastError = ERROR_CLIPBOARD_NOT_OPEN;
    return false;
  }
  m.clipOpener = Machine::Opener::None;
  m.clipOpenWindow = nullptr;
  return true;
}

namespace {

int findFormat(const std::vector<ClipboardFormat>& list, UINT format) {
  for (const ClipboardFormat& f : list) {
    if (f.format == format) return f.block;
  }
  return -2;
}

std::vector<char> bytesOf(int block) {
  if (block < 0) return {};
  const Block& b = g->blocks[static_cast<std::size_t>(block)];
  if (b.freed) return {};
  return std::vector<char>(b.data.get(), b.data.get() + b.size);
}

// CF_TEXT, CF_OEMTEXT and CF_UNICODETEXT stand in for each other. The text
// conversions here cover ASCII; other bytes go through unchanged (or as '?'
// on the way back from UTF-16).
std::optional<std::vector<char>> synthesise(UINT format) {
  Machine& m = *g;
  auto text = [&](UINT f) -> std::optional<std::vector<char>> {
    const int b = findFormat(m.clipFormats, f);
    if (b == -2) return std::nullopt;
    return bytesOf(b);
  };
  if (format == CF_TEXT || format == CF_OEMTEXT) {
    if (auto t = text(format == CF_TEXT ? CF_OEMTEXT : CF_TEXT)) return t;
    if (auto u = text(CF_UNICODETEXT)) {
      std::vector<char> out;
      for (std::size_t i = 0; i + 1 < u->size(); i += 2) {
        const unsigned v =
            static_cast<unsigned char>((*u)[i]) | (static_cast<unsigned char>((*u)[i + 1]) << 8);
        out.push_back(v < 0x80 ? static_cast<char>(v) : '?');
        if (v == 0) break;
      }
      return out;
    }
  }
  if (format == CF_UNICODETEXT) {
    auto t = text(CF_TEXT);
    if (!t) t = text(CF_OEMTEXT);
    if (t) {
      std::vector<char> out;
      for (char c : *t) {
        out.push_back(c);
        out.push_back(0);
        if (c == 0) break;
      }
      return out;
    }
  }
  if (format == CF_LOCALE &&
      (findFormat(m.clipFormats, CF_TEXT) != -2 || findFormat(m.clipFormats, CF_OEMTEXT) != -2 ||
       findFormat(m.clipFormats, CF_UNICODETEXT) != -2)) {
    const std::uint32_t lcid = 0x0409;
    std::vector<char> out(4);
    std::memcpy(out.data(), &lcid, 4);
    return out;
  }
  return std::nullopt;
}

}  // namespace

HANDLE clipboardData(UINT format) {
  Machine& m = *g;
  const int b = findFormat(m.clipFormats, format);
  if (b >= 0) return blockHandle(static_cast<std::size_t>(b));
  if (b == -1) return nullptr;
  const int s = findFormat(m.clipSynthesised, format);
  if (s >= 0) return blockHandle(static_cast<std::size_t>(s));
  auto bytes = synthesise(format);
  if (!bytes) return nullptr;
  HGLOBAL h = allocBlock(GMEM_MOVEABLE, bytes->size(), false);
  Block* nb = blockOf(h);
  if (!bytes->empty()) std::memcpy(nb->data.get(), bytes->data(), bytes->size());
  m.clipSynthesised.push_back(ClipboardFormat{format, static_cast<int>(m.blocks.size() - 1)});
  return h;
}

void setClipboardText(std::string_view text, HWND owner) {
  Machine& m = *g;
  freeClipboardBlocks();
  HGLOBAL h = allocBlock(GMEM_MOVEABLE, text.size() + 1, false);
  Block* b = blockOf(h);
  std::memcpy(b->data.get(), text.data(), text.size());
  b->data[text.size()] = '\0';
  m.clipFormats.push_back(ClipboardFormat{CF_TEXT, static_cast<int>(m.blocks.size() - 1)});
  m.clipOwner = owner;
  m.clipEmptiedByNullOwner = false;
  ++m.clipWrites;
}

}  // namespace sim::detail

// ===========================================================================
// The Win32 face

using namespace sim::detail;

BOOL WINAPI OpenClipboard(HWND owner) {
  log("OpenClipboard", {H(owner)});
  M();
  if (owner && !live(owner)) {
    g->lastError = ERROR_INVALID_WINDOW_HANDLE;
    return FALSE;
  }
  return openClipboard(owner) ? TRUE : FALSE;
}

BOOL WINAPI CloseClipboard() {
  log("CloseClipboard", {});
  M();
  return closeClipboard() ? TRUE : FALSE;
}

BOOL WINAPI EmptyClipboard() {
  log("EmptyClipboard", {});
  Machine& m = M();
  if (m.clipOpener != Machine::Opener::Program) {
    m.lastError = ERROR_CLIPBOARD_NOT_OPEN;
    return FALSE;
  }
  freeClipboardBlocks();
  m.clipOwner = m.clipOpenWindow;
  m.clipEmptiedByNullOwner = m.clipOpenWindow == nullptr;
  return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT format, HANDLE data) {
  log("SetClipboardData", {format, H(data)});
  Machine& m = M();
  if (m.clipOpener != Machine::Opener::Program) {
    m.lastError = ERROR_CLIPBOARD_NOT_OPEN;
    return nullptr;
  }
  if (m.strictNullOwner && m.clipEmptiedByNullOwner) {
    // As documented: after EmptyClipboard with no owner window, nobody may set data.
    m.lastError = ERROR_CLIPBOARD_NOT_OPEN;
    return nullptr;
  }
  int index = -1;
  if (data) {
    Block* b = blockOf(static_cast<HGLOBAL>(data));
    if (!b) {
      m.lastError = ERROR_INVALID_HANDLE;
      return nullptr;
    }
    if (b->freed) {
      ++m.memoryFaults;
      fault("SetClipboardData with a freed block");
      m.lastError = ERROR_INVALID_HANDLE;
      return nullptr;
    }
    if (b->clipboardOwned) {
      ++m.memoryFaults;
      fault("SetClipboardData with a block the clipboard already owns");
      m.lastError = ERROR_INVALID_HANDLE;
      return nullptr;
    }
    b->clipboardOwned = true;
    index = static_cast<int>((reinterpret_cast<std::uintptr_t>(data) - kBlockBase) / 8);
  }
  // A format set again replaces its old block.
  for (auto it = m.clipFormats.begin(); it != m.clipFormats.end(); ++it) {
    if (it->format == format) {
      if (it->block >= 0) {
        Block& old = m.blocks[static_cast<std::size_t>(it->block)];
        old.freed = true;
        old.data.reset();
      }
      m.clipFormats.erase(it);
      break;
    }
  }
  std::erase_if(m.clipSynthesised, [&](const ClipboardFormat& f) {
    if (f.block >= 0) {
      Block& s = m.blocks[static_cast<std::size_t>(f.block)];
      s.freed = true;
      s.data.reset();
    }
    return true;
  });
  m.clipFormats.push_back(ClipboardFormat{format, index});
  ++m.clipWrites;
  return data;
}

HANDLE WINAPI GetClipboardData(UINT format) {
  log("GetClipboardData", {format});
  Machine& m = M();
  if (m.clipOpener != Machine::Opener::Program) {
    m.lastError = ERROR_CLIPBOARD_NOT_OPEN;
    return nullptr;
  }
  return clipboardData(format);
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
  log("IsClipboardFormatAvailable", {format});
  Machine& m = M();
  for (const ClipboardFormat& f : m.clipFormats) {
    if (f.format == format) return TRUE;
  }
  auto has = [&](UINT f) {
    return std::any_of(m.clipFormats.begin(), m.clipFormats.end(),
                       [f](const ClipboardFormat& c) { return c.format == f; });
  };
  const bool text = has(CF_TEXT) || has(CF_OEMTEXT) || has(CF_UNICODETEXT);
  if (text && (format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT ||
               format == CF_LOCALE)) {
    return TRUE;
  }
  return FALSE;
}

HWND WINAPI GetOpenClipboardWindow() {
  log("GetOpenClipboardWindow", {});
  Machine& m = M();
  otherHoldsClipboard();
  return m.clipOpener == Machine::Opener::None ? nullptr : m.clipOpenWindow;
}

HWND WINAPI GetClipboardOwner() {
  log("GetClipboardOwner", {});
  return M().clipOwner;
}

int WINAPI CountClipboardFormats() {
  log("CountClipboardFormats", {});
  return static_cast<int>(M().clipFormats.size());
}

UINT WINAPI EnumClipboardFormats(UINT format) {
  log("EnumClipboardFormats", {format});
  Machine& m = M();
  if (m.clipOpener != Machine::Opener::Program) {
    m.lastError = ERROR_CLIPBOARD_NOT_OPEN;
    return 0;
  }
  m.lastError = 0;
  bool next = format == 0;
  for (const ClipboardFormat& f : m.clipFormats) {
    if (next) return f.format;
    if (f.format == format) next = true;
  }
  return 0;
}

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
  log("GlobalAlloc", {flags, static_cast<intptr_t>(bytes)});
  Machine& m = M();
  if (m.failAlloc) {
    m.failAlloc = false;
    m.lastError = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  return allocBlock(flags, bytes, true);
}

LPVOID WINAPI GlobalLock(HGLOBAL block) {
  log("GlobalLock", {H(block)});
  Machine& m = M();
  Block* b = blockOf(block);
  if (!b) {
    m.lastError = ERROR_INVALID_HANDLE;
    return nullptr;
  }
  if (b->freed) {
    ++m.memoryFaults;
    fault("GlobalLock of a freed block");
    m.lastError = ERROR_INVALID_HANDLE;
    return nullptr;
  }
  if (m.failLock) {
    m.failLock = false;
    m.lastError = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  ++b->locks;
  return b->data.get();
}

BOOL WINAPI GlobalUnlock(HGLOBAL block) {
  log("GlobalUnlock", {H(block)});
  Machine& m = M();
  Block* b = blockOf(block);
  if (!b || b->freed) {
    m.lastError = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  if (b->locks == 0) {
    m.lastError = ERROR_NOT_LOCKED;
    return FALSE;
  }
  if (--b->locks == 0) {
    m.lastError = NO_ERROR;
    return FALSE;
  }
  return TRUE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL block) {
  log("GlobalFree", {H(block)});
  Machine& m = M();
  if (!block) return nullptr;
  Block* b = blockOf(block);
  if (!b) {
    m.lastError = ERROR_INVALID_HANDLE;
    return block;
  }
  if (b->freed) {
    ++m.memoryFaults;
    fault("GlobalFree of a block already freed");
    m.lastError = ERROR_INVALID_HANDLE;
    return block;
  }
  if (b->clipboardOwned) {
    ++m.memoryFaults;
    fault("GlobalFree of a block the clipboard owns");
    m.lastError = ERROR_INVALID_HANDLE;
    return block;
  }
  b->freed = true;
  b->data.reset();
  return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL block) {
  log("GlobalSize", {H(block)});
  Block* b = blockOf(block);
  if (!b || b->freed) return 0;
  return b->size;
}
