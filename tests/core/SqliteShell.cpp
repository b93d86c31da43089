#include "SqliteShell.h"

#include <stdexcept>
#ifndef _WIN32
#include <algorithm>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vrelmont::test {

#ifdef _WIN32
// There is no sqlite3 shell beside the Windows tests: the tests that need one skip before they start it.
SqliteShell::SqliteShell(const std::string &) {
    throw std::runtime_error("no sqlite3 shell on Windows");
}
SqliteShell::~SqliteShell() = default;
void SqliteShell::send(const std::string &) {}
bool SqliteShell::run(const std::string &, int) {
    return false;
}
bool SqliteShell::readUntil(const std::string &, int) {
    return false;
}
int SqliteShell::close() {
    return -1;
}
#else

SqliteShell::SqliteShell(const std::string &file) {
    int in[2], out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(out[1], 2);
        ::close(in[1]);
        ::close(out[0]);
        ::execlp("sqlite3", "sqlite3", "-batch", "-bail", file.c_str(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    input_ = in[1];
    outputFd_ = out[0];
    // A shell that died must not kill the test with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    // As a host program would: wait a while for a reader's lock rather than fail at once.
    send(".timeout 10000\n");
}

SqliteShell::~SqliteShell() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        close();
    }
}

void SqliteShell::send(const std::string &text) {
    for (std::size_t done = 0; done < text.size();) {
        const auto n = ::write(input_, text.data() + done, text.size() - done);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

bool SqliteShell::run(const std::string &sql, int seconds) {
    const std::string marker = "done-" + std::to_string(++marker_);
    send(sql + "\nSELECT '" + marker + "';\n");
    return readUntil(marker + "\n", seconds);
}

bool SqliteShell::readUntil(const std::string &marker, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (output_.find(marker) == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        pollfd poller{outputFd_, POLLIN, 0};
        if (::poll(&poller, 1, static_cast<int>(std::max<long long>(left, 0))) <= 0)
            return false;
        char buffer[4096];
        const auto n = ::read(outputFd_, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        output_.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

int SqliteShell::close() {
    if (pid_ <= 0)
        return -1;
    ::close(input_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    ::close(outputFd_);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

} // namespace vrelmont::test
