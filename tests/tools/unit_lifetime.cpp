#include "child_process.h"
#include "demo_service.h"

#include <csignal>
#include <gtest/gtest.h>

namespace sorvo::test {
namespace {

using namespace std::chrono_literals;

TEST(ServiceLifetime, EndsWhenTheProcessThatStartedItEnds) {
    // A shell starts the service and reports its id; killing the shell orphans the service.
    ChildProcess shell({"/bin/sh", "-c", "\"$0\" --port 0 --parent-pid $$ & echo \"pid $!\"; wait",
                        SORVO_DEMO_SERVICE});
    pid_t service = 0;
    bool listening = false;
    for (int i = 0; i < 2; ++i) {
        const auto line = shell.readLine(10s);
        ASSERT_TRUE(line);
        if (line->starts_with("pid ")) service = std::stoi(line->substr(4));
        if (line->starts_with("listening on 127.0.0.1:")) listening = true;
    }
    ASSERT_GT(service, 0);
    ASSERT_TRUE(listening);

    kill(shell.pid(), SIGKILL);
    EXPECT_EQ(shell.wait(), -SIGKILL);
    // The service holds the other end of the pipe until it exits.
    const bool ended = shell.outputClosedWithin(10s);
    if (!ended) kill(service, SIGKILL);
    EXPECT_TRUE(ended) << "the service outlived its parent";
}

TEST(ServiceLifetime, RefusesUnknownOptionsWithoutListening) {
    ChildProcess service({SORVO_DEMO_SERVICE, "--port", "0", "--colour", "blue"});
    EXPECT_FALSE(service.readLine(10s));
    EXPECT_EQ(service.wait(), 2);
}

TEST(ServiceLifetime, RefusesAPortAnotherServiceHolds) {
    DemoService first;
    ChildProcess second({SORVO_DEMO_SERVICE, "--port", std::to_string(first.port())});
    EXPECT_FALSE(second.readLine(10s));
    EXPECT_EQ(second.wait(), 1);
}

} // namespace
} // namespace sorvo::test
