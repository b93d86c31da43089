#include "tablefiles/SqliteHandle.h"

#include "platform/FileAccess.h"
#include "platform/FileIo.h"
#include "platform/Utf8Path.h"
#include "tablefiles/ReadOnlyVfs.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

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

// A lock that another program holds is asked for again every millisecond or so: a host that commits
// back to back leaves gaps of about that length between its commits, which a longer sleep misses.
int waitForLock(void *waitStart, int attempt) {
    auto &start = *static_cast<std::chrono::steady_clock::time_point *>(waitStart);
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0)
        start = now;
    if (now - start >= std::chrono::milliseconds(kLockWaitMilliseconds))
        return 0;
    // A little unevenly, so as not to fall into step with a writer that commits at a steady beat.
    std::this_thread::sleep_for(std::chrono::microseconds(500 + 250 * (attempt % 5)));
    return 1;
}

// What stands beside a table file and would keep it from being read as it is, in Czech; empty when nothing.
std::string lookBeside(const std::string &path) {
    for (const char *suffix : {"-journal", "-wal", "-shm"}) {
        const FileKind kind = ExamineFile(path + suffix);
        if (kind != FileKind::Regular && kind != FileKind::Missing && kind != FileKind::NoPermission)
            return "soubor " + path + suffix + " vedle tabulky nelze číst: " + DescribeFileKind(kind);
    }
    std::int64_t size = 0, logSize = 0;
    // SQLite would remove a log beside an empty file: the log is the only copy of what it holds.
    if (PathExists(path, &size) && size == 0 && PathExists(path + "-wal", &logSize) && logSize > 0)
        return "soubor je prázdný a změny tabulky jsou jen v souboru " + path +
               "-wal; otevřete tabulku programem, který do ní zapisoval";
    return {};
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

std::string TooLongPathReason(const std::string &path) {
    std::error_code error;
    const auto absolute = Utf8FromPath(std::filesystem::absolute(PathFromUtf8(path), error));
    const auto length = std::max(path.size(), absolute.size());
    if (static_cast<int>(length) <= ReadOnlyVfsMaxPath())
        return {};
    return "cesta k souboru je příliš dlouhá (" + std::to_string(length) + " bajtů, nejvýše " +
           std::to_string(ReadOnlyVfsMaxPath()) + ")";
}

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
    const bool noRoom = IsNoRoomError(systemError);
    if ((code & 0xFF) == SQLITE_IOERR && noRoom)
        code = SQLITE_FULL;
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    const std::string file = path.empty() ? std::string("tabulky") : path;
    if (ReadOnlyFileChangedUnderRead(db))
        return "tabulku během čtení změnil jiný program (přenesl do ní změny ze souboru " + file +
               "-wal); spusťte kontrolu znovu";
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
    reason = TooLongPathReason(path);
    if (reason.empty())
        reason = lookBeside(path);
    if (!reason.empty())
        return {};
    // A write-ahead-log table is read through the -wal and -shm that its writer keeps, the -shm
    // read-only; how a table is read is decided by the layer below, under SQLite's shared lock.
    const std::string uri = "file:" + uriEncoded(path) + "?readonly_shm=1";
    // A log's shared memory being set right by its writer, or a writer moving its log into the file
    // as the table is opened, passes in a moment.
    const auto settleBy = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (true) {
        sqlite3 *db = nullptr;
        // A connection is used by one component on one thread: SQLite's own locking would only cost time.
        int code = sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                                   ReadOnlyVfsName());
        SqliteHandle handle(db, path);
        if (code == SQLITE_OK) {
            sqlite3_busy_handler(db, waitForLock, handle.waitStart_.get());
            // SQLite reads the file lazily; reading the schema now tells a foreign file at once.
            // One read transaction for as long as the table is open: a check sees one state of the table
            // from its first record to its last, and its look-ups skip taking the lock again for every record.
            code = sqlite3_exec(db, "PRAGMA temp_store=MEMORY; BEGIN; SELECT count(*) FROM sqlite_master", nullptr,
                                nullptr, nullptr);
        }
        if (code == SQLITE_OK)
            return handle;
        const int extended = db ? sqlite3_extended_errcode(db) : code;
        const bool passing = extended == SQLITE_READONLY_RECOVERY || extended == SQLITE_READONLY_CANTINIT ||
                             ReadOnlyFileChangedUnderRead(db);
        if (passing && std::chrono::steady_clock::now() < settleBy) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        std::int64_t logSize = 0;
        if ((extended & 0xFF) == SQLITE_CANTOPEN && PathExists(path + "-wal", &logSize) && logSize > 0 &&
            !PathExists(path + "-shm")) {
            reason = "změny uložené v souboru " + path + "-wal nelze přečíst bez souboru " + path +
                     "-shm, který chybí, a ten by musel vzniknout v adresáři agendy; otevřete tabulku programem, "
                     "který do ní zapisoval";
            return {};
        }
        reason = DescribeSqliteError(db, code, path);
        return {};
    }
}

SqliteHandle SqliteHandle::openReadWrite(const std::string &path, const std::string &nameInMessages) {
    sqlite3 *db = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle handle(db, nameInMessages.empty() ? path : nameInMessages);
    if (code != SQLITE_OK)
        handle.fail("Nelze otevřít pro zápis");
    // A reader (a check, the host) may hold the file for a moment.
    sqlite3_busy_handler(db, waitForLock, handle.waitStart_.get());
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

std::string ColumnText(sqlite3_stmt *statement, int column) {
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

std::string SqliteHandle::changeStamp() const {
    // Through the connection's own file handle: closing another handle of the file would drop the
    // process's locks on it.
    const std::string header = TableFileHeader(db_);
    if (header.empty())
        return {};
    constexpr std::size_t kWriteVersion = 18, kReadVersion = 19; // 1: rollback journal, 2: write-ahead log
    if (header[kWriteVersion] != 1 || header[kReadVersion] != 1)
        return {};
    // The file's size and time as well: another file copied over this one may repeat its header.
    std::error_code error;
    const auto path = PathFromUtf8(path_);
    const auto size = std::filesystem::file_size(path, error);
    const auto time = std::filesystem::last_write_time(path, error);
    if (error)
        return {};
    return header + std::to_string(size) + ':' + std::to_string(time.time_since_epoch().count());
}

} // namespace vrelmont
