// Comparing and printing the injected key events the tests expect.
#pragma once

#include <ostream>

#include "sim/desktop.h"

namespace sim {

inline bool operator==(const InjectedKey& a, const InjectedKey& b) {
  return a.vk == b.vk && a.flags == b.flags;
}

inline std::ostream& operator<<(std::ostream& out, const InjectedKey& key) {
  return out << "{vk " << int(key.vk) << (key.flags & 2 ? " up}" : " down}");
}

}  // namespace sim
