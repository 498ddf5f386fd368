#pragma once

#include <chrono>

namespace sorvo::download::testing {

// A name whose lookup never answers while a HangingLookups lives, as with a name server that
// is gone. libcurl looks names up with getaddrinfo on a thread of its own; this test program
// defines getaddrinfo itself, which takes the place of the C library's, and passes every other
// name on to it.
inline constexpr char hangingHost[] = "lookup-hangs.test";

class HangingLookups {
  public:
    HangingLookups();
    // Lets the hanging lookups fail, as for a name that does not exist.
    ~HangingLookups();
    HangingLookups(const HangingLookups&) = delete;
    HangingLookups& operator=(const HangingLookups&) = delete;

    // Waits until a lookup of hangingHost has begun since the last wait.
    bool waitForLookup(std::chrono::milliseconds limit = std::chrono::seconds(10));

  private:
    int seen_ = 0;
};

} // namespace sorvo::download::testing
