#pragma once
// RAII ownership of SQLite connections and statements, with errors that name the file.
#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>

namespace vrelmont {

// How long a reader or a writer waits for a lock that another program holds, before it gives up.
inline constexpr int kLockWaitMilliseconds = 30000;

// A Czech description of an SQLite failure, SQLite's own message after it:
// "soubor je poškozený – database disk image is malformed". `path` names the table file, for the
// failures whose remedy lies in a file beside it.
std::string DescribeSqliteError(sqlite3 *db, int code, const std::string &path = {});

// Why SQLite cannot open a file by `path`, in Czech: "cesta k souboru je příliš dlouhá (…)"; empty when it can.
std::string TooLongPathReason(const std::string &path);

// `name` as an SQL identifier: in double quotes, a double quote inside it doubled.
std::string QuoteSqlName(const std::string &name);

// The text of a column of the statement's row; empty for null.
std::string ColumnText(sqlite3_stmt *statement, int column);

class SqliteStatement {
public:
    SqliteStatement() = default;
    explicit SqliteStatement(sqlite3_stmt *statement) : statement_(statement) {}
    ~SqliteStatement() { sqlite3_finalize(statement_); }
    SqliteStatement(SqliteStatement &&other) noexcept : statement_(std::exchange(other.statement_, nullptr)) {}
    SqliteStatement &operator=(SqliteStatement &&other) noexcept {
        std::swap(statement_, other.statement_);
        return *this;
    }
    sqlite3_stmt *get() const { return statement_; }
    explicit operator bool() const { return statement_ != nullptr; }

private:
    sqlite3_stmt *statement_ = nullptr;
};

class SqliteHandle {
public:
    SqliteHandle() = default;
    ~SqliteHandle() { sqlite3_close_v2(db_); }
    SqliteHandle(SqliteHandle &&other) noexcept
        : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_)),
          waitStart_(std::move(other.waitStart_)) {}
    SqliteHandle &operator=(SqliteHandle &&other) noexcept {
        std::swap(db_, other.db_);
        std::swap(path_, other.path_);
        std::swap(waitStart_, other.waitStart_);
        return *this;
    }

    // Opens an existing file for reading only, in one read transaction, through the read-only file
    // layer: no file is ever created, changed or removed beside it. A table in write-ahead-log mode
    // is read through the -wal and -shm files its writer keeps, or from its file alone when no
    // program keeps it open.
    // Answers an empty handle and the reason when the file cannot be opened.
    static SqliteHandle openReadOnly(const std::string &path, std::string &reason);
    // Opens an existing file for reading and writing; throws std::runtime_error naming the file,
    // or `nameInMessages` when given (the table that a hidden copy stands for).
    static SqliteHandle openReadWrite(const std::string &path, const std::string &nameInMessages = {});
    // Creates a new database file; throws std::runtime_error naming the file.
    static SqliteHandle create(const std::string &path);

    sqlite3 *get() const { return db_; }
    const std::string &path() const { return path_; }
    explicit operator bool() const { return db_ != nullptr; }

    // Throws std::runtime_error with SQLite's message and the file's path.
    void exec(const std::string &sql);
    SqliteStatement prepare(const std::string &sql);
    [[noreturn]] void fail(const std::string &what) const;

    // What tells this state of the file from any other, read in the connection's read transaction:
    // with a rollback journal every commit moves the header's change counter. Empty where that does
    // not hold (a write-ahead log commits without touching the header).
    std::string changeStamp() const;

private:
    SqliteHandle(sqlite3 *db, std::string path) : db_(db), path_(std::move(path)) {}
    sqlite3 *db_ = nullptr;
    std::string path_;
    // When the current wait for a lock began; SQLite's busy handler holds its address.
    std::unique_ptr<std::chrono::steady_clock::time_point> waitStart_ =
        std::make_unique<std::chrono::steady_clock::time_point>();
};

} // namespace vrelmont
