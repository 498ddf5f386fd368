#pragma once

#include <cstdint>

namespace sorvo::update {

// What the update window shows of a download: the decision behind its captions.
enum class UpdatePhase {
    Idle,        // as designed: no download started from this window yet
    Downloading, // the figures follow the download
    Verifying,   // the bar passed 99.0 %: the stored package is checked against its size
    Verified,    // every byte of the package is on disk; the timers have stopped
    Failed,      // the download ended without the package; the start button offers a retry
};

// The update window's phase and its moves, kept apart from the window so that they can be
// followed and tested without one. Each move returns whether the window has something to show
// for it.
class UpdateProgress {
  public:
    UpdatePhase phase() const { return phase_; }

    // The timers run in these phases.
    bool running() const {
        return phase_ == UpdatePhase::Downloading || phase_ == UpdatePhase::Verifying;
    }

    // The start button was pressed: from Idle, or again after a failure.
    bool start();

    // The fast tick left the bar at `position`, in tenths of a percent. True when the display
    // verifies at this tick: above 990, entered and then repeated on every tick.
    bool barAt(int position);

    // The status tick found `stored` bytes of this download on disk, of `total`: all of them end
    // the check.
    bool stored(std::int64_t stored, std::int64_t total);

    // The download failed for good. A failure matters only to a window that started one.
    bool failed();

  private:
    UpdatePhase phase_ = UpdatePhase::Idle;
};

} // namespace sorvo::update
