// hostile.exe: another program that sends Vantrel's windows what any program
// on the desktop may send them, in bulk. Vantrel must keep running, keep its
// texts and paste nothing because of it.
//
//   hostile.exe REPORT_FILE SEED ROUNDS [ID ...]
//
// In this order, each step's counts appended to REPORT_FILE when it is done:
//   feedback  ROUNDS times, to the main window and to each child: message
//             0x8075 with random wParam and lParam, once sent and once posted.
//             A value whose low 32 bits are 33001-33010 (an identifier the
//             program hands out for its keys) is drawn again: a real key's
//             identifier is that key's press, whoever sends it.
//   zero      0x8075 with wParam 0, and with each ID, to every child.
//   hotkey    WM_HOTKEY to the main window, posted and sent, with identifiers
//             out of the program's range (0, 1, 33000, 33011, 0x7FFFFFFF,
//             0xFFFFFFFF, ROUNDS random ones) and with each ID (identifiers in
//             the range whose keys the program could not register), each with
//             a random lParam.
//   settext   WM_SETTEXT of 2 MiB to each text box, which cannot be carried
//             between processes: every send is expected to fail.
// The last line is "done". Exit code 0 when all of it was sent, 2 for bad
// usage, 3 when no Vantrel window was found.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kFeedbackMessage = 0x8075;
constexpr std::uint32_t kFirstId = 33001;
constexpr std::uint32_t kLastId = 33010;
constexpr UINT kTimeoutMs = 5000;
// The oversized send never gets an answer: it fails when this runs out.
constexpr UINT kOversizedTimeoutMs = 1000;
constexpr std::size_t kOversized = 2u << 20;

FILE* g_report = nullptr;
std::uint64_t g_state = 0;

// xorshift64*: the same seed gives the same messages on every run.
std::uint64_t Random() {
  g_state ^= g_state >> 12;
  g_state ^= g_state << 25;
  g_state ^= g_state >> 27;
  return g_state * 2685821657736338717ull;
}

WPARAM RandomOutsideIds() {
  for (;;) {
    const auto value = static_cast<WPARAM>(Random());
    const auto low = static_cast<std::uint32_t>(value);
    if (low < kFirstId || low > kLastId) return value;
  }
}

struct Counts {
  unsigned sent = 0, sendFailed = 0, posted = 0, postFailed = 0;
};

void SendAndPost(HWND target, UINT message, WPARAM wParam, LPARAM lParam, Counts& counts) {
  DWORD_PTR result = 0;
  ++counts.sent;
  if (!SendMessageTimeoutA(target, message, wParam, lParam, SMTO_ABORTIFHUNG, kTimeoutMs,
                           &result)) {
    ++counts.sendFailed;
  }
  ++counts.posted;
  if (!PostMessageA(target, message, wParam, lParam)) ++counts.postFailed;
}

void Report(const char* step, const Counts& counts) {
  std::fprintf(g_report, "%s sent %u failed %u posted %u failed %u at %llu ms\n", step, counts.sent,
               counts.sendFailed, counts.posted, counts.postFailed, GetTickCount64());
  std::fflush(g_report);
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

BOOL CALLBACK FindMain(HWND hwnd, LPARAM param) {
  char title[64] = {};
  GetWindowTextA(hwnd, title, sizeof title);
  if (std::strcmp(title, "Vantrel") == 0 && ClassOf(hwnd) != "#32770") {
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: hostile.exe REPORT_FILE SEED ROUNDS [ID ...]\n");
    return 2;
  }
  g_report = std::fopen(argv[1], "ab");
  if (!g_report) return 2;
  g_state = std::strtoull(argv[2], nullptr, 0) | 1;
  const unsigned rounds = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 0));
  std::vector<WPARAM> ids;
  for (int i = 4; i < argc; ++i)
    ids.push_back(static_cast<WPARAM>(std::strtoull(argv[i], nullptr, 0)));

  HWND main = nullptr;
  EnumWindows(FindMain, reinterpret_cast<LPARAM>(&main));
  if (!main) {
    std::fprintf(stderr, "hostile: no Vantrel window\n");
    return 3;
  }
  std::vector<HWND> windows = {main};
  std::vector<HWND> boxes;
  for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    windows.push_back(child);
    if (_stricmp(ClassOf(child).c_str(), "Edit") == 0) boxes.push_back(child);
  }
  std::fprintf(g_report, "windows %u boxes %u at %llu ms\n", static_cast<unsigned>(windows.size()),
               static_cast<unsigned>(boxes.size()), GetTickCount64());

  Counts feedback;
  for (unsigned round = 0; round < rounds; ++round) {
    for (HWND target : windows) {
      const WPARAM wParam = RandomOutsideIds();
      SendAndPost(target, kFeedbackMessage, wParam, static_cast<LPARAM>(Random()), feedback);
    }
  }
  Report("feedback", feedback);

  Counts zero;
  for (HWND target : windows) {
    SendAndPost(target, kFeedbackMessage, 0, 0, zero);
    for (WPARAM id : ids) SendAndPost(target, kFeedbackMessage, id, 0, zero);
  }
  Report("zero", zero);

  std::vector<WPARAM> hotkeys = {0, 1, kFirstId - 1, kLastId + 1, 0x7FFFFFFF, 0xFFFFFFFF};
  for (unsigned n = 0; n < rounds; ++n) hotkeys.push_back(RandomOutsideIds());
  hotkeys.insert(hotkeys.end(), ids.begin(), ids.end());
  Counts hotkey;
  for (WPARAM id : hotkeys) SendAndPost(main, WM_HOTKEY, id, static_cast<LPARAM>(Random()), hotkey);
  Report("hotkey", hotkey);

  std::string big(kOversized, 'H');
  unsigned carried = 0;
  for (HWND box : boxes) {
    DWORD_PTR result = 0;
    SetLastError(0);
    if (SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(big.c_str()),
                            SMTO_ABORTIFHUNG, kOversizedTimeoutMs, &result)) {
      ++carried;
    }
  }
  std::fprintf(g_report, "settext sent %u carried %u at %llu ms\n",
               static_cast<unsigned>(boxes.size()), carried, GetTickCount64());
  std::fprintf(g_report, "done\n");
  std::fclose(g_report);
  return 0;
}
