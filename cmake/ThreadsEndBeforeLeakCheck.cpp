// ThreadsEndBeforeLeakCheck.cpp - linked into the Qt programs of the sanitizer
// build only. Qt paints large areas with a pool of worker threads that is torn
// down among the exit handlers; waiting for a pool thread returns before the
// thread itself has left the kernel. The leak check, the last exit handler,
// stops every thread it finds, and one that vanishes under it crashes the
// checker ("Tracer caught signal 11"), failing a run that found nothing. So an
// exit handler registered before any pool exists, and therefore run after the
// pool is gone, waits until this thread is the last one.
#include <dirent.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

int ThreadCount() {
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return 1;
    int count = 0;
    while (const dirent* entry = readdir(tasks))
        if (entry->d_name[0] != '.') ++count;
    closedir(tasks);
    return count;
}

void WaitForOtherThreadsToEnd() {
    // A thread that never ends (one the leak check can stop safely) costs this much at exit.
    constexpr auto kLongestWait = std::chrono::seconds(2);
    const auto until = std::chrono::steady_clock::now() + kLongestWait;
    while (ThreadCount() > 1 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

[[maybe_unused]] const int kRegistered = std::atexit(WaitForOtherThreadsToEnd);

}  // namespace
