#include "hostdb/SqliteHandle.h"

#include <fstream>
#include <stdexcept>

namespace vrelmont {
namespace {

std::string uriEncoded(const std::string &path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (c == '%' || c == '?' || c == '#' || c < 33 || c >= 127) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// A file in write-ahead-log mode would make even a reader create its -shm and -wal files;
// such a file is read as immutable instead.
bool isWalFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    char header[20] = {};
    if (!in.read(header, sizeof header))
        return false;
    return header[18] == 2 || header[19] == 2;
}

std::string messageOf(sqlite3 *db, int code)
{
    return db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
}

} // namespace

SqliteHandle SqliteHandle::openReadOnly(const std::string &path, std::string &reason)
{
    const std::string uri =
        "file:" + uriEncoded(path) + (isWalFile(path) ? "?immutable=1" : "?mode=ro");
    sqlite3 *db = nullptr;
    // A connection is used by one component on one thread: SQLite's own locking would only cost time.
    int code = sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code == SQLITE_OK) {
        // SQLite reads the file lazily; reading the schema now tells a foreign file at once.
        // One read transaction for as long as the table is open: a walk holds its shared lock that long
        // anyway, and the look-ups of a check then skip taking it again for every record.
        code = sqlite3_exec(db, "PRAGMA temp_store=MEMORY; BEGIN; SELECT count(*) FROM sqlite_master", nullptr,
                            nullptr, nullptr);
    }
    if (code != SQLITE_OK) {
        reason = messageOf(db, code);
        sqlite3_close_v2(db);
        return {};
    }
    return SqliteHandle(db, path);
}

SqliteHandle SqliteHandle::openReadWrite(const std::string &path)
{
    sqlite3 *db = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle handle(db, path);
    if (code != SQLITE_OK)
        handle.fail("Cannot open for writing");
    return handle;
}

SqliteHandle SqliteHandle::create(const std::string &path)
{
    sqlite3 *db = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                     nullptr);
    SqliteHandle handle(db, path);
    if (code != SQLITE_OK)
        handle.fail("Cannot create");
    return handle;
}

void SqliteHandle::exec(const std::string &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        throw std::runtime_error(path_ + ": " + text);
    }
}

SqliteStatement SqliteHandle::prepare(const std::string &sql)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        fail("Cannot read");
    return SqliteStatement(statement);
}

void SqliteHandle::fail(const std::string &what) const
{
    throw std::runtime_error(what + " " + path_ + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory"));
}

} // namespace vrelmont
