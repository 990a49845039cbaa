#pragma once

#include <csignal>
#include <string>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

// An X server of the test's own (Xvfb) on a display number that the server picks itself
// and reports through a pipe. Ended with the object. Start it before the QApplication and
// keep it alive until the QApplication is gone.
class XvfbDisplay
{
public:
    XvfbDisplay() = default;
    XvfbDisplay(const XvfbDisplay &) = delete;
    XvfbDisplay &operator=(const XvfbDisplay &) = delete;
    ~XvfbDisplay() { stop(); }

    // On failure returns false and says why in error. The bound is a safety net: a busy machine
    // starts the server late, and a late start is no reason to skip a test.
    bool start(std::string &error, const char *screen = "1280x800x24", int timeoutMs = 60000)
    {
        int report[2];
        if (pipe(report) != 0) {
            error = "no pipe for Xvfb";
            return false;
        }
        const std::string reportFd = std::to_string(report[1]);
        const char *argv[] = {"Xvfb", "-displayfd", reportFd.c_str(), "-screen",
                              "0",    screen,       "-nolisten",      "tcp",
                              "-br",  "-noreset",   nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, report[0]);
        const int spawned =
            posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, const_cast<char **>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(report[1]);
        if (spawned != 0) {
            close(report[0]);
            m_pid = -1;
            error = "Xvfb is not installed";
            return false;
        }
        m_display = readDisplay(report[0], timeoutMs);
        close(report[0]);
        if (m_display.empty()) {
            error = "Xvfb reported no display in time";
            stop();
            return false;
        }
        return true;
    }

    void stop()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    // ":N", empty before a successful start.
    const std::string &display() const { return m_display; }
    // The server's process id, -1 when it does not run.
    pid_t pid() const { return m_pid; }

private:
    static std::string readDisplay(int fd, int timeoutMs)
    {
        std::string text;
        pollfd readable{fd, POLLIN, 0};
        while (text.find('\n') == std::string::npos && poll(&readable, 1, timeoutMs) > 0) {
            char buffer[32];
            const ssize_t n = read(fd, buffer, sizeof(buffer));
            if (n <= 0)
                break;
            text.append(buffer, size_t(n));
        }
        const size_t end = text.find('\n');
        return end == std::string::npos ? std::string() : ":" + text.substr(0, end);
    }

    pid_t m_pid = -1;
    std::string m_display;
};
