// Waiting on game processes the tests start: limits that only end a hang, never a timing.
#pragma once

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

// Waits up to two minutes (a loaded machine under a sanitizer is slow) for what check says.
template <typename Check>
bool wait_for(Check check) {
    for (int i = 0; i < 1200 && !check(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return check();
}

// The exit code, or -1 when the process had to be killed after two minutes.
inline int finish(pid_t pid) {
    for (int i = 0; i < 1200; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}
