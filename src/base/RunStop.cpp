// SPDX-License-Identifier: Apache-2.0
#include "base/RunStop.h"

#include <condition_variable>
#include <mutex>

namespace ordano {

StopDeadline::StopDeadline(std::stop_source stop, std::chrono::steady_clock::time_point when)
    : timer_([stop, when](const std::stop_token& destroyed) mutable {
          std::mutex mutex;
          std::condition_variable_any never_notified;
          std::unique_lock lock(mutex);
          // Returns at the deadline, or at once when the deadline object goes away.
          never_notified.wait_until(lock, destroyed, when, [] { return false; });
          if (!destroyed.stop_requested()) {
              stop.request_stop();
          }
      }) {}

}  // namespace ordano
