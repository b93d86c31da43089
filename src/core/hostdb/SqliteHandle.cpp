#include "hostdb/SqliteHandle.h"

#include <fstream>
#include <stdexcept>

namespace vrelmont {
namespace {

std::string uriEncoded(const std::string &path) {
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
bool isWalFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    char header[20] = {};
    if (!in.read(header, sizeof header))
        return false;
    return header[18] == 2 || header[19] == 2;
}

const char *czechPhrase(int code) {
    switch (code & 0xFF) {
    case SQLITE_CORRUPT:
        return "soubor je poškozený";
    case SQLITE_NOTADB:
        return "soubor není tabulka";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "soubor má právě uzamčen jiný program";
    case SQLITE_IOERR:
        return "chyba při čtení nebo zápisu souboru";
    case SQLITE_CANTOPEN:
        return "soubor nelze otevřít";
    case SQLITE_READONLY:
        return "do souboru nelze zapisovat";
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return "přístup k souboru byl odepřen";
    case SQLITE_NOMEM:
        return "nedostatek paměti";
    case SQLITE_FULL:
        return "disk je plný";
    default:
        return "chyba databáze";
    }
}

} // namespace

std::string DescribeSqliteError(sqlite3 *db, int code) {
    if (db && sqlite3_errcode(db) != SQLITE_OK)
        code = sqlite3_extended_errcode(db);
    return std::string(czechPhrase(code)) + " – " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

SqliteHandle SqliteHandle::openReadOnly(const std::string &path, std::string &reason) {
    const std::string uri = "file:" + uriEncoded(path) + (isWalFile(path) ? "?immutable=1" : "?mode=ro");
    sqlite3 *db = nullptr;
    // A connection is used by one component on one thread: SQLite's own locking would only cost time.
    int code = sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code == SQLITE_OK) {
        // SQLite reads the file lazily; reading the schema now tells a foreign file at once.
        // One read transaction for as long as the table is open: a walk holds its shared lock that long
        // anyway, and the look-ups of a check then skip taking it again for every record.
        code = sqlite3_exec(db, "PRAGMA temp_store=MEMORY; BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                            nullptr);
    }
    if (code != SQLITE_OK) {
        reason = DescribeSqliteError(db, code);
        sqlite3_close_v2(db);
        return {};
    }
    return SqliteHandle(db, path);
}

SqliteHandle SqliteHandle::openReadWrite(const std::string &path) {
    sqlite3 *db = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle handle(db, path);
    if (code != SQLITE_OK)
        handle.fail("Nelze otevřít pro zápis");
    return handle;
}

SqliteHandle SqliteHandle::create(const std::string &path) {
    sqlite3 *db = nullptr;
    const int code =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle handle(db, path);
    if (code != SQLITE_OK)
        handle.fail("Nelze vytvořit");
    return handle;
}

void SqliteHandle::exec(const std::string &sql) {
    char *message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        throw std::runtime_error(path_ + ": " + std::string(czechPhrase(sqlite3_extended_errcode(db_))) + " – " + text);
    }
}

SqliteStatement SqliteHandle::prepare(const std::string &sql) {
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        fail("Nelze číst");
    return SqliteStatement(statement);
}

void SqliteHandle::fail(const std::string &what) const {
    throw std::runtime_error(what + " " + path_ + ": " + DescribeSqliteError(db_, SQLITE_NOMEM));
}

} // namespace vrelmont
