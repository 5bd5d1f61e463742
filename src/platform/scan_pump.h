// What a long scan of a database file asks of its host: a clock, and a way to let pending
// window messages be handled so that the window stays live. The viewer's window services
// provide it; a console program lets nothing through.
#pragma once

#include <cstdint>

namespace tomo {

class ScanPump {
 public:
  virtual ~ScanPump() = default;
  // Lets the pending window messages of the thread be handled.
  virtual void PumpMessages() = 0;
  // A monotonic clock in microseconds, for pacing the message pump during scans.
  virtual std::int64_t NowMicroseconds() = 0;
};

}  // namespace tomo
