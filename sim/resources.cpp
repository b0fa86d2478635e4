// Resources of the simulated program module: one icon, "DEFAULT_ICON", and the
// system's stock cursors and icons.
#include <cctype>
#include <string>

#include "sim/machine.h"

using namespace sim::detail;

namespace {

constexpr char kIconResource[] = "DEFAULT_ICON";

bool isProgramModule(HINSTANCE instance) {
  return reinterpret_cast<std::uintptr_t>(instance) == kProgramModule;
}

// Resource names compare without regard to case.
bool sameName(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (std::toupper(static_cast<unsigned char>(*a)) !=
        std::toupper(static_cast<unsigned char>(*b)))
      return false;
  }
  return *a == *b;
}

HICON newIcon(std::string resource, int cx, int cy) {
  Machine& m = *g;
  m.icons.push_back(Icon{std::move(resource), cx, cy, false});
  return reinterpret_cast<HICON>(kIconBase + (m.icons.size() - 1) * 4);
}

std::string nameArg(LPCSTR name) {
  if (!name) return {};
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
  return name;
}

}  // namespace

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  log("LoadCursorA", {H(instance)}, nameArg(name));
  Machine& m = M();
  if (instance || !name || !IS_INTRESOURCE(name)) {
    m.lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
    return nullptr;
  }
  return reinterpret_cast<HCURSOR>(kCursorBase + reinterpret_cast<std::uintptr_t>(name) * 4);
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  log("LoadIconA", {H(instance)}, nameArg(name));
  Machine& m = M();
  if (!instance && name && IS_INTRESOURCE(name)) return newIcon(nameArg(name), 32, 32);
  if (isProgramModule(instance) && name && !IS_INTRESOURCE(name) && sameName(name, kIconResource)) {
    return newIcon(kIconResource, 32, 32);
  }
  m.lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
  return nullptr;
}

HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  log("LoadImageA", {H(instance), type, cx, cy, flags}, nameArg(name));
  Machine& m = M();
  if (type != IMAGE_ICON || (flags & LR_LOADFROMFILE)) {
    m.lastError = ERROR_RESOURCE_TYPE_NOT_FOUND;
    return nullptr;
  }
  if (!isProgramModule(instance) || !name || IS_INTRESOURCE(name) ||
      !sameName(name, kIconResource)) {
    m.lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
    return nullptr;
  }
  if (cx == 0) cx = (flags & LR_DEFAULTSIZE) ? 32 : 32;
  if (cy == 0) cy = (flags & LR_DEFAULTSIZE) ? 32 : 32;
  return newIcon(kIconResource, cx, cy);
}

BOOL WINAPI DestroyIcon(HICON icon) {
  log("DestroyIcon", {H(icon)});
  Machine& m = M();
  const auto v = reinterpret_cast<std::uintptr_t>(icon);
  if (v < kIconBase || (v - kIconBase) % 4 || (v - kIconBase) / 4 >= m.icons.size()) {
    m.lastError = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  Icon& i = m.icons[(v - kIconBase) / 4];
  if (i.destroyed) {
    fault("DestroyIcon of an icon already destroyed");
    return FALSE;
  }
  i.destroyed = true;
  return TRUE;
}
