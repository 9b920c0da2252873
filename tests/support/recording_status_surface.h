#pragma once
// A StatusSurface that records what the steps show, in order.
#include <string>
#include <vector>

#include "base/window_surfaces.h"

namespace tolvex::testing {

class RecordingStatusSurface : public StatusSurface {
 public:
  void show_status(const char* text) override { events.push_back(std::string("status:") + text); }
  void reset_progress() override { events.push_back("reset_progress"); }
  std::vector<std::string> events;
};

}  // namespace tolvex::testing
