// demo_fixture.h — common ground for the demo's tests: resets the demo's globals, the recording
// engine and the fake window before each test, and prints recorded calls with the demo's names
// for its handles ("PositionEntity(SUNSPRITE, 0, 0, 99, 0) -> ...") so sequences read as text.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine_recorder.h"
#include "fake_window.h"
#include "sky.h"

class DemoTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Recorded calls as text, from index `from` on, optionally only those named in `only`.
  std::vector<std::string> CallTexts(std::size_t from = 0,
                                     const std::vector<std::string>& only = {}) const;
  std::string Text(const recorder::Call& call) const;
  // Names the demo's globals (and any extra handles given) for Text().
  void NameHandles(const std::map<std::uintptr_t, std::string>& extra = {});

  std::map<std::uintptr_t, std::string> names_;
};

// Resets every demo global to its value at program start.
void ResetDemoGlobals();
