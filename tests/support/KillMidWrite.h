// Test support: kills a writer process at different points of its work, as a crash or a user
// would, so that tests can check what it leaves in the registry.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// How many kills a test makes, and how far into the writer's work they come: 1 to 8 ms, enough
// to land inside the writes of a whole load or save.
inline constexpr int kKills = 20;
inline constexpr int kLongestDelayMs = 8;

// For each kill: `prepare`, then `writer` in a child process killed after a delay, then
// `check` with the number of the kill.
inline void KillMidWrite(const std::function<void()>& prepare, const std::function<void()>& writer,
                         const std::function<void(int)>& check) {
    for (int kill = 0; kill < kKills; ++kill) {
        prepare();
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            writer();
            ::_exit(0);
        }
        ::usleep(1000 * (1 + kill % kLongestDelayMs));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        check(kill);
    }
}
