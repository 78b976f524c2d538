#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace ambrel::test {

// A test server run as a child process on 127.0.0.1, stopped (and waited for) when this
// object goes. The servers live in tests/servers/.
class ServerProcess {
public:
    ServerProcess() = default;
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    ~ServerProcess() { stop(); }

    // Starts argv; when portFromOutput, the child prints its port on its first output line,
    // otherwise the port is the one given and the server is ready once it accepts.
    void start(const std::vector<std::string>& argv, bool portFromOutput, int port = 0) {
        int out[2];
        if (::pipe(out) != 0) {
            throw std::runtime_error("pipe failed");
        }
        m_pid = ::fork();
        if (m_pid < 0) {
            throw std::runtime_error("fork failed");
        }
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            // The servers' own chatter would drown the test output.
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, STDERR_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> args;
            for (const std::string& a : argv) {
                args.push_back(const_cast<char*>(a.c_str()));
            }
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_output = out[0];
        if (portFromOutput) {
            m_port = readPort();
        } else {
            m_port = port;
            waitUntilAccepting();
        }
    }

    void stop() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            int status = 0;
            for (int i = 0; i < 100 && ::waitpid(m_pid, &status, WNOHANG) == 0; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            if (::waitpid(m_pid, &status, WNOHANG) == 0) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, &status, 0);
            }
            m_pid = -1;
        }
        if (m_output >= 0) {
            ::close(m_output);
            m_output = -1;
        }
    }

    int port() const { return m_port; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port); }

    // A port free right now on 127.0.0.1, for servers that cannot pick their own.
    static int freePort() {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        int port = 0;
        if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
            port = ntohs(a.sin_port);
        }
        ::close(s);
        return port;
    }

private:
    int readPort() {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        char c = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(m_output, &set);
            timeval tv{0, 100000};
            if (::select(m_output + 1, &set, nullptr, nullptr, &tv) <= 0) {
                continue;
            }
            if (::read(m_output, &c, 1) != 1) {
                break;
            }
            if (c == '\n') {
                return std::stoi(line);
            }
            line += c;
        }
        stop();
        throw std::runtime_error("test server did not report its port");
    }

    void waitUntilAccepting() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            const int s = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            a.sin_port = htons(static_cast<uint16_t>(m_port));
            const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
            ::close(s);
            if (ok) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        stop();
        throw std::runtime_error("test server did not start");
    }

    pid_t m_pid = -1;
    int m_output = -1;
    int m_port = 0;
};

inline std::string serversDir() {
    return AMBREL_TEST_SERVERS;
}

}  // namespace ambrel::test
