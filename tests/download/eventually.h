#pragma once

#include <chrono>
#include <thread>

namespace sorvo::download::testing {

// Waits until condition holds, looking every few milliseconds; false if it did not within limit.
template <typename Condition>
bool eventually(Condition&& condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace sorvo::download::testing
