#include "hostdb/SqliteHandle.h"

#include "platform/FileIo.h"
#include "platform/Utf8Path.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#ifdef _WIN32
#include <fstream>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vrelmont {
namespace {

std::string uriEncoded(const std::string &path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char byte : path) {
        const auto c = static_cast<unsigned char>(byte);
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

// How a file keeps its changes, and so how it can be read without creating a file beside it.
enum class Journal {
    Rollback,     // changes go through a rollback journal; ordinary locks keep a reader consistent
    WalIdle,      // write-ahead log, but no -wal file (or an empty one without -shm): nothing is writing
    WalLive,      // -wal and -shm beside it: read through them, the -shm read-only
    WalWithoutShm // committed changes in -wal, but no -shm to read them by without making one
};

Journal journalOf(const std::string &path) {
    unsigned char header[20] = {};
#ifdef _WIN32
    // No FIFOs in Windows folders: a plain stream cannot wait for a writer.
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    const bool read = in.read(reinterpret_cast<char *>(header), sizeof header) && in.gcount() == sizeof header;
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    const bool read = fd >= 0 && ::pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header);
    if (fd >= 0)
        ::close(fd);
#endif
    if (!read || (header[18] != 2 && header[19] != 2))
        return Journal::Rollback;
    std::int64_t walSize = 0;
    if (!PathExists(path + "-wal", &walSize))
        return Journal::WalIdle;
    if (PathExists(path + "-shm"))
        return Journal::WalLive;
    return walSize == 0 ? Journal::WalIdle : Journal::WalWithoutShm;
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

std::string QuoteSqlName(const std::string &name) {
    std::string out = "\"";
    for (const char c : name)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string DescribeSqliteError(sqlite3 *db, int code, const std::string &path) {
    if (db && sqlite3_errcode(db) != SQLITE_OK)
        code = sqlite3_extended_errcode(db);
    // A write beyond the file size limit or the user's quota leaves no more room, as a full disk does.
    const int systemError = db ? sqlite3_system_errno(db) : 0;
#ifdef _WIN32
    // SQLite's Windows file layer keeps the system's own error code.
    const bool noRoom = systemError == ERROR_DISK_FULL || systemError == ERROR_HANDLE_DISK_FULL;
#else
    const bool noRoom = systemError == ENOSPC || systemError == EFBIG || systemError == EDQUOT;
#endif
    if ((code & 0xFF) == SQLITE_IOERR && noRoom)
        code = SQLITE_FULL;
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    const std::string file = path.empty() ? std::string("tabulky") : path;
    if (code == SQLITE_READONLY_ROLLBACK)
        return "u souboru zůstal nedokončený zápis jiného programu (deník " + file +
               "-journal); otevřete tabulku programem, který do ní zapisoval, ten zápis dokončí nebo vrátí – " +
               message;
    // A writer that ended in the middle of a write leaves a log that only a writer can set right:
    // reading it without writing would give a torn state.
    if ((code & 0xFF) == SQLITE_PROTOCOL || code == SQLITE_READONLY_RECOVERY || code == SQLITE_READONLY_CANTINIT)
        return "u souboru zůstal nedokončený zápis jiného programu (záznamy " + file +
               "-wal); otevřete tabulku programem, který do ní zapisoval, ten zápis dokončí – " + message;
    if ((code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED)
        return std::string(czechPhrase(code)) + " (čekáno " + std::to_string(kLockWaitMilliseconds / 1000) + " s) – " +
               message;
    return std::string(czechPhrase(code)) + " – " + message;
}

SqliteHandle SqliteHandle::openReadOnly(const std::string &path, std::string &reason) {
    const Journal journal = journalOf(path);
    if (journal == Journal::WalWithoutShm) {
        reason = "změny uložené v souboru " + path + "-wal nelze přečíst bez souboru " + path +
                 "-shm, který chybí, a ten by musel vzniknout v adresáři agendy; otevřete tabulku programem, "
                 "který do ní zapisoval";
        return {};
    }
    // Read-only and creating nothing: a reader of a live write-ahead log uses the writer's -shm
    // read-only; a log that nobody keeps means that nothing is writing, so the file cannot change.
    const char *parameters = journal == Journal::WalIdle   ? "?immutable=1"
                             : journal == Journal::WalLive ? "?mode=ro&readonly_shm=1"
                                                           : "?mode=ro";
    const std::string uri = "file:" + uriEncoded(path) + parameters;
    sqlite3 *db = nullptr;
    // A connection is used by one component on one thread: SQLite's own locking would only cost time.
    int code = sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code == SQLITE_OK) {
        // A writer that holds its lock for a moment is waited for; it costs nothing when there is none.
        sqlite3_busy_timeout(db, kLockWaitMilliseconds);
        // SQLite reads the file lazily; reading the schema now tells a foreign file at once.
        // One read transaction for as long as the table is open: a check sees one state of the table
        // from its first record to its last, and its look-ups skip taking the lock again for every record.
        code = sqlite3_exec(db, "PRAGMA temp_store=MEMORY; BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                            nullptr);
    }
    if (code != SQLITE_OK) {
        reason = DescribeSqliteError(db, code, path);
        sqlite3_close_v2(db);
        return {};
    }
    return SqliteHandle(db, path);
}

SqliteHandle SqliteHandle::openReadWrite(const std::string &path, const std::string &nameInMessages) {
    sqlite3 *db = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle handle(db, nameInMessages.empty() ? path : nameInMessages);
    if (code != SQLITE_OK)
        handle.fail("Nelze otevřít pro zápis");
    // A reader (a check, the host) may hold the file for a moment.
    sqlite3_busy_timeout(db, kLockWaitMilliseconds);
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
    const int code = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        throw std::runtime_error(path_ + ": " + DescribeSqliteError(db_, code, path_));
}

SqliteStatement SqliteHandle::prepare(const std::string &sql) {
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        fail("Nelze číst");
    return SqliteStatement(statement);
}

void SqliteHandle::fail(const std::string &what) const {
    throw std::runtime_error(what + " " + path_ + ": " + DescribeSqliteError(db_, SQLITE_NOMEM, path_));
}

} // namespace vrelmont
