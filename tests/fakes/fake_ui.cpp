#include "fakes/fake_ui.h"

#include <chrono>
#include <fstream>
#include <iterator>

namespace tomo::testing {

void FakeUi::PrepareMenu(const std::vector<MenuItem>& items, const std::string& swatchFile) {
  menus.push_back(items);
  std::ifstream in(swatchFile, std::ios::binary);
  swatchFiles.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void FakeUi::PumpMessages() {
  pumpTimes.push_back(NowMicroseconds());
  // A pump inside a pump handles nothing new, as with a real message queue that the outer
  // pump is already emptying.
  if (!onPump || pumping_) return;
  pumping_ = true;
  onPump(static_cast<int>(pumpTimes.size()));
  pumping_ = false;
}

std::int64_t FakeUi::NowMicroseconds() {
  if (clockStep) return fakeClock_ += *clockStep;
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace tomo::testing
