#pragma once
// A real second process holding a table file: the sqlite3 shell, fed SQL through a pipe, as a host
// program that writes to the table while the checks read it.
#include <string>
#include <sys/types.h>

namespace vrelmont::test {

class SqliteShell {
public:
    // Starts `sqlite3 FILE`; the process keeps the file open until it is closed or killed.
    explicit SqliteShell(const std::string &file);
    ~SqliteShell();
    SqliteShell(const SqliteShell &) = delete;
    SqliteShell &operator=(const SqliteShell &) = delete;

    // Sends SQL (or dot commands) without waiting for them.
    void send(const std::string &text);
    // Sends SQL and waits until the shell has run it; false when it did not within `seconds`.
    // Collects what the shell printed so far on the way.
    bool run(const std::string &sql, int seconds = 30);
    // Reads what the shell has printed meanwhile, without waiting.
    void collect() { readUntil("\n\n\n-never-", 0); }
    // Everything the shell has printed so far, errors included.
    const std::string &output() const { return output_; }
    // Ends the shell by closing its input and waits for it; its exit status.
    int close();
    pid_t pid() const { return pid_; }

private:
    bool readUntil(const std::string &marker, int seconds);

    pid_t pid_ = -1;
    int input_ = -1;
    int outputFd_ = -1;
    int marker_ = 0;
    std::string output_;
};

} // namespace vrelmont::test
