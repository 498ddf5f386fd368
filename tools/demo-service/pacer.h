#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace sorvo::demo {

// Keeps one response's average rate at or below a cap by sleeping before each chunk.
class Pacer {
  public:
    // 0 means no cap; the first `leadBytes` go out at once.
    explicit Pacer(std::int64_t bytesPerSecond, std::int64_t leadBytes = 0);

    // About a twentieth of a second's worth, so a capped transfer moves smoothly.
    std::size_t chunkSize() const;

    // Returns once `bytes` more can go out without the average passing the cap.
    void waitToSend(std::size_t bytes);

  private:
    std::int64_t bytesPerSecond_;
    std::int64_t sent_; // counted from minus the lead
    std::optional<std::chrono::steady_clock::time_point> start_;
};

} // namespace sorvo::demo
