#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace ambrel::test {

// Runs body in a forked child (so it may drop privileges or lower its limits without
// touching the test process) and returns the text it returned, or why it failed. Take no
// file lock around the call: the child would inherit the view that it holds it.
inline std::string inChildProcess(const std::function<std::string()>& body) {
    int out[2];
    if (::pipe(out) != 0) {
        return "no pipe";
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(out[0]);
        std::string report;
        try {
            report = body();
        } catch (const std::exception& e) {
            report = std::string("exception: ") + e.what();
        }
        const char* p = report.data();
        std::size_t left = report.size();
        while (left > 0) {
            const ssize_t n = ::write(out[1], p, left);
            if (n <= 0) {
                break;
            }
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(out[1]);
    std::string report;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return "the child process ended abnormally";
    }
    return report;
}

// Runs work(0) … work(count - 1) in as many child processes, released together so that
// they contend, and expects every one of them to end well (work throws to fail).
inline void runTogether(int count, const std::function<void(int)>& work) {
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(gate[1]);
            char c = 0;
            while (::read(gate[0], &c, 1) < 0 && errno == EINTR) {
            }
            int code = 0;
            try {
                work(i);
            } catch (...) {
                code = 1;
            }
            ::_exit(code);
        }
        children.push_back(pid);
    }
    ::close(gate[1]);  // every child reads the end of the pipe at once
    ::close(gate[0]);
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer process failed";
    }
}

}  // namespace ambrel::test
