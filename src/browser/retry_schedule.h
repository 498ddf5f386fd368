#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

namespace sorvo::browser {

// How long to wait before each new try of a page that could not be loaded: 2, 4, 8, 16, 30 and
// 60 seconds, then 60 seconds for ever. A page that loads starts the count again.
class RetrySchedule {
  public:
    using Delays = std::vector<std::chrono::milliseconds>;

    RetrySchedule();
    // The last delay repeats; `delays` must not be empty.
    explicit RetrySchedule(Delays delays);

    // The wait before the next try; each call counts one failure.
    std::chrono::milliseconds next();
    void restart();

  private:
    Delays delays_;
    std::size_t failures_ = 0;
};

} // namespace sorvo::browser
