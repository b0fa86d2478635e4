// The cost of one paste on the simulated desktop, against a memcpy of the same
// bytes in the same run.
//
// Paste/N runs the real program and times the paste action alone: from the
// feedback event F1's hotkey raises to the last key of Ctrl+V, with N bytes in
// F1's box and another program in front (so the keys go there, as they would).
// Memcpy/N copies N bytes between two buffers that are already in memory: the
// least any paste of N bytes can cost, since the text has to be copied at least
// once. The two run side by side, size by size, so that a busy machine slows
// both alike; bench/run.py turns them into ratios.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "app/form.h"
#include "app/slots.h"
#include "app/startup.h"
#include "desktop/controls.h"
#include "desktop/win32.h"
#include "sim/desktop.h"

namespace {

constexpr int kBox1Id = 110;  // the child identifier of F1's box

// Minor page faults of the process so far: a fresh page costs more than
// copying it, so each benchmark reports how many of them a round took.
long PageFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

void CountFaults(benchmark::State& state, long before) {
  state.counters["faults"] = benchmark::Counter(static_cast<double>(PageFaults() - before),
                                                benchmark::Counter::kAvgIterations);
}

// Printable lines of 78 characters and CR LF, cut to n bytes: what a box holds.
std::string TextOf(std::size_t n) {
  std::string text(n, ' ');
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t column = i % 80;
    text[i] = column == 78 ? '\r' : column == 79 ? '\n' : static_cast<char>('!' + (i * 7) % 94);
  }
  return text;
}

void Memcpy(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::string text = TextOf(n);
  std::vector<char> target(n + 1);
  const long faults = PageFaults();
  for (auto _ : state) {
    std::memcpy(target.data(), text.c_str(), n + 1);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  CountFaults(state, faults);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(n));
}

void Paste(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::string text = TextOf(n);
  vantrel::ResetProgramForTesting();
  sim::Desktop desk;
  // The measured loop pastes millions of times: the desktop keeps no log of it,
  // and fresh memory costs what it costs on Windows (nothing until it is written).
  desk.setLogging(false);
  desk.setMarkFreshMemory(false);
  const HWND other = desk.otherProgramWindow("Editor");
  bool measured = false;
  desk.onIdle([&] {
    const HWND main = desk.topLevel("Vantrel");
    SetWindowTextA(desk.child(main, kBox1Id), text.c_str());
    desk.activate(other);
    const auto id = static_cast<WPARAM>(vantrel::SlotHotkey(0));
    const std::size_t keysBefore = desk.keysReceivedByOtherProgram().size();
    const long faults = PageFaults();
    for (auto _ : state) {
      vantrel::RaiseFeedbackEvent(vantrel::kMainForm, vantrel::kLabel1, id, 0);
    }
    CountFaults(state, faults);
    measured = true;
    // Every paste put the whole text on the clipboard and sent Ctrl+V.
    const auto block = desk.clipboardBlock(CF_TEXT);
    const std::size_t keys = desk.keysReceivedByOtherProgram().size() - keysBefore;
    if (!block || block->size() != n + 1 || std::memcmp(block->data(), text.c_str(), n + 1) != 0) {
      state.SkipWithError("the clipboard does not hold the box's text");
    } else if (keys != 4 * static_cast<std::size_t>(state.iterations())) {
      state.SkipWithError("not every paste sent Ctrl+V");
    }
    desk.close(main);
  });
  const int exitCode = desk.run(&vantrel::RunProgram);
  if (!measured) {
    state.SkipWithError("the program did not reach its message loop");
  } else if (exitCode != 0) {
    state.SkipWithError("the program did not end cleanly");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(n));
}

// Side by side, size by size.
void Sizes(benchmark::internal::Benchmark* b) {
  for (std::int64_t n : {1LL, 1LL << 10, 64LL << 10, 1LL << 20, 16LL << 20}) b->Arg(n);
}

}  // namespace

BENCHMARK(Memcpy)->Apply(Sizes);
BENCHMARK(Paste)->Apply(Sizes);

int main(int argc, char** argv) {
  // The allocator keeps what is freed instead of handing it back to the kernel
  // and asking for it again on the next paste: what is measured is the copies
  // the paste makes, not how this kernel maps pages (one minor fault costs more
  // than copying the page). memcpy gets memory in place in the same way.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
