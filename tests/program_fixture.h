// Runs the real program on the simulated desktop, one fresh process per test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "sim/desktop.h"

namespace vantrel::testing {

// Child identifiers of the main window: the labels and the text box of each key.
inline constexpr int kLabel1Id = 100;
inline constexpr int kLabel2Id = 160;
// The text box of F1..F10 (F6 is the top of the right column, 编辑框10).
inline constexpr int kBoxId[10] = {110, 120, 130, 140, 150, 170, 180, 190, 200, 210};

class ProgramTest : public ::testing::Test {
 protected:
  explicit ProgramTest(sim::Options options = {}) : desk(options) { ResetProgramForTesting(); }

  ~ProgramTest() override {
    // The process is over: the system takes back what its windows held.
    for (HWND hwnd : desk.createdWindows()) {
      if (desk.exists(hwnd) && !GetParent(hwnd)) DestroyWindow(hwnd);
    }
  }

  int Run() { return desk.run(&RunProgram); }

  HWND Main() const { return desk.topLevel("Vantrel"); }
  HWND Child(int id) const { return desk.child(Main(), id); }
  HWND Box(int key) const { return Child(kBoxId[key - 1]); }  // key 1..10

  // Closes the main window at the next idle moment, after `then` has run.
  template <typename Step>
  void ThenClose(Step then) {
    desk.onIdle([this, then] {
      then();
      desk.close(Main());
    });
  }
  void CloseWhenIdle() {
    desk.onIdle([this] { desk.close(Main()); });
  }

  sim::Desktop desk;
};

}  // namespace vantrel::testing
