#include "tablefiles/ReadOnlyVfs.h"

#include "platform/FileAccess.h"
#include "platform/FileIo.h"

#include <chrono>
#include <cstddef>
#include <new>
#include <thread>

namespace vrelmont {
namespace {

constexpr const char *kName = "vrelmont-readonly";
// File systems stamp a change with a clock that moves in ticks of a few milliseconds: a state is
// told from a later one by its time only once that time lies a tick or more in the past.
constexpr std::int64_t kClockTickNanoseconds = 30'000'000;
constexpr auto kTickWaitLimit = std::chrono::milliseconds(200);

struct Layer {
    sqlite3_vfs vfs{};
    sqlite3_vfs *below = nullptr;
    sqlite3_io_methods tableMethods{};
};

Layer &layerOf(sqlite3_vfs *vfs) {
    return *static_cast<Layer *>(vfs->pAppData);
}

// A table file: SQLite's own file object below it, in the same block of memory.
struct TableFile {
    sqlite3_file base{};
    sqlite3_vfs *below = nullptr;
    std::string path;
    bool decided = false;        // the header of this read transaction has been looked at
    bool readWithoutLog = false; // a write-ahead-log table that no program keeps open
    bool changedUnderRead = false;
    bool sharedMemoryLooked = false;
    int lockLevel = SQLITE_LOCK_NONE;
    bool logReadersJoined = false; // attached to the writer's -shm, to hold its read locks
    bool backfillBlocked = false;  // holding the log's file-only read lock there
    bool restartBlocked = false;   // holding its first read lock of the log
    FileState stateRead;           // the file's state when this read transaction began on it

    sqlite3_file *file() { return reinterpret_cast<sqlite3_file *>(reinterpret_cast<char *>(this) + belowOffset()); }
    static std::size_t belowOffset() {
        constexpr std::size_t align = alignof(std::max_align_t);
        return (sizeof(TableFile) + align - 1) / align * align;
    }
};

TableFile &tableOf(sqlite3_file *file) {
    return *reinterpret_cast<TableFile *>(file);
}

bool isRegularOrAbsent(const std::string &path) {
    const FileKind kind = ExamineFile(path);
    return kind == FileKind::Regular || kind == FileKind::Missing || kind == FileKind::NoPermission;
}

// Whether a program keeps the table in write-ahead-log mode: it has a log beside it. An empty log
// without its shared memory holds nothing and is read as no log: reading through it would need
// the shared memory created.
bool logIsKept(const std::string &tablePath) {
    std::int64_t size = 0;
    if (!PathExists(tablePath + "-wal", &size))
        return false;
    return size > 0 || PathExists(tablePath + "-shm");
}

// --- The table file's operations: SQLite's own, but for what reading without a log needs -------------

// SQLite's lock slots in a log's shared memory: the first read lock is held by readers of the file
// alone and keeps every writer from moving its log into the file (a checkpoint); any of the others
// keeps a writer from starting its log over (a restart).
constexpr int kFileOnlyReadLock = 3;
constexpr int kFirstLogReadLock = 4;

void releaseLogLocks(TableFile &table) {
    sqlite3_file *below = table.file();
    if (table.backfillBlocked)
        below->pMethods->xShmLock(below, kFileOnlyReadLock, 1, SQLITE_SHM_UNLOCK | SQLITE_SHM_SHARED);
    if (table.restartBlocked)
        below->pMethods->xShmLock(below, kFirstLogReadLock, 1, SQLITE_SHM_UNLOCK | SQLITE_SHM_SHARED);
    table.backfillBlocked = table.restartBlocked = false;
}

void leaveLogReaders(TableFile &table) {
    releaseLogLocks(table);
    if (table.logReadersJoined)
        table.file()->pMethods->xShmUnmap(table.file(), 0);
    table.logReadersJoined = false;
}

// While a table is read, its writer's log stays as it is: neither moved into the file nor started
// over. A read of the file alone needs the first (a writer that opens the table meanwhile makes a
// log and its shared memory, and could move the log into the file under the read). SQLite's own
// read of a log whose writer has gone needs the second: it reads the log's records holding only
// the file-only read lock, which lets a returning writer start the log over once everything in it
// has been moved into the file, overwriting the records being read. So the reader joins the log's
// readers through SQLite's own shared-memory layer, read-only, and holds both read locks: as a
// long reader would, it keeps the log growing until it is done. (SQLite keeps a process's locks on
// the -shm in one place: its own descriptor is the only one ever opened.)
void keepTheLogStill(TableFile &table) {
    if (table.backfillBlocked && table.restartBlocked)
        return;
    // Not a FIFO either: SQLite's open of it would wait for a writer.
    if (ExamineFile(table.path + "-shm") != FileKind::Regular)
        return;
    sqlite3_file *below = table.file();
    if (!table.logReadersJoined) {
        void volatile *memory = nullptr;
        const int mapped = below->pMethods->xShmMap(below, 0, 32 * 1024, 0, &memory);
        // Read-only, SQLite answers that the memory cannot be written, or that no writer keeps it.
        if (mapped != SQLITE_OK && mapped != SQLITE_READONLY && mapped != SQLITE_READONLY_CANTINIT)
            return;
        table.logReadersJoined = true;
    }
    // A writer holds a slot alone only while it moves or restarts its log: a moment.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (true) {
        if (!table.backfillBlocked)
            table.backfillBlocked = below->pMethods->xShmLock(below, kFileOnlyReadLock, 1,
                                                              SQLITE_SHM_LOCK | SQLITE_SHM_SHARED) == SQLITE_OK;
        if (!table.restartBlocked)
            table.restartBlocked = below->pMethods->xShmLock(below, kFirstLogReadLock, 1,
                                                             SQLITE_SHM_LOCK | SQLITE_SHM_SHARED) == SQLITE_OK;
        if ((table.backfillBlocked && table.restartBlocked) || std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int tableClose(sqlite3_file *file) {
    TableFile &table = tableOf(file);
    leaveLogReaders(table);
    const int code = table.file()->pMethods ? table.file()->pMethods->xClose(table.file()) : SQLITE_OK;
    table.~TableFile();
    return code;
}

// The first read of the header in a read transaction decides how the table is read, under the
// shared lock that SQLite takes first: a log that exists then stays while the lock is held (a
// writer removes it only under an exclusive lock). A table whose header asks for a log that nobody
// keeps is shown to SQLite as a rollback table, which reads the file alone under its shared lock.
int decideHowToRead(TableFile &table, void *buffer, int amount, sqlite3_int64 offset) {
    sqlite3_file *below = table.file();
    const auto deadline = std::chrono::steady_clock::now() + kTickWaitLimit;
    while (true) {
        // The clock is read before the file's state: a change made after this moment gets a later
        // time than a state that was already a tick old then. Read after the state, a slow thread
        // would take a change made meanwhile in the same tick for a settled state.
        const std::int64_t lookedAt = FileClockNow();
        FileState before;
        const bool known = StateOfFile(table.path, before);
        const int code = below->pMethods->xRead(below, buffer, amount, offset);
        if (code != SQLITE_OK)
            return code;
        auto *header = static_cast<unsigned char *>(buffer) - offset;
        table.readWithoutLog = header[18] == 2 && header[19] == 2 && !logIsKept(table.path);
        if (!table.readWithoutLog) {
            table.decided = true;
            return code;
        }
        header[18] = header[19] = 1;
        FileState after;
        const bool steady = known && StateOfFile(table.path, after) && after == before;
        const bool settled = lookedAt - before.changedAt >= kClockTickNanoseconds;
        if (steady && settled) {
            table.stateRead = before;
            table.decided = true;
            return code;
        }
        // A file that keeps changing cannot be read alone: the open tries again, or says so.
        if (std::chrono::steady_clock::now() >= deadline) {
            table.changedUnderRead = true;
            return SQLITE_IOERR_READ;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int tableRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset) {
    TableFile &table = tableOf(file);
    const bool coversHeader = offset <= 18 && offset + amount >= 20;
    if (coversHeader && !table.decided)
        return decideHowToRead(table, buffer, amount, offset);
    sqlite3_file *below = table.file();
    const int code = below->pMethods->xRead(below, buffer, amount, offset);
    if (!table.readWithoutLog || (code != SQLITE_OK && code != SQLITE_IOERR_SHORT_READ))
        return code;
    if (coversHeader) {
        auto *header = static_cast<unsigned char *>(buffer) - offset;
        header[18] = header[19] = 1;
    }
    keepTheLogStill(table);
    // A writer that opened the table after this transaction began may have moved its log into the
    // file (a checkpoint) before the reader could keep it out: the pages read would mix two states.
    FileState now;
    if (!StateOfFile(table.path, now) || !(now == table.stateRead)) {
        table.changedUnderRead = true;
        return SQLITE_IOERR_READ;
    }
    return code;
}

int tableWrite(sqlite3_file *, const void *, int, sqlite3_int64) {
    return SQLITE_IOERR_WRITE;
}

int tableTruncate(sqlite3_file *, sqlite3_int64) {
    return SQLITE_IOERR_TRUNCATE;
}

int tableSync(sqlite3_file *, int) {
    return SQLITE_OK;
}

int tableFileSize(sqlite3_file *file, sqlite3_int64 *size) {
    sqlite3_file *below = tableOf(file).file();
    return below->pMethods->xFileSize(below, size);
}

// A reader takes the shared lock only: more would keep the host out, or let SQLite undo its journal.
int tableLock(sqlite3_file *file, int level) {
    TableFile &table = tableOf(file);
    if (level > SQLITE_LOCK_SHARED) {
        // Asked only as SQLite closes its log, after its last read: the log may move on.
        releaseLogLocks(table);
        return SQLITE_BUSY;
    }
    const int code = table.file()->pMethods->xLock(table.file(), level);
    if (code == SQLITE_OK && table.lockLevel == SQLITE_LOCK_NONE) {
        // A read transaction begins: its header decides again (the one read before the lock does not count).
        table.decided = false;
        table.lockLevel = level;
        keepTheLogStill(table);
    }
    return code;
}

int tableUnlock(sqlite3_file *file, int level) {
    TableFile &table = tableOf(file);
    if (level == SQLITE_LOCK_NONE)
        leaveLogReaders(table);
    const int code = table.file()->pMethods->xUnlock(table.file(), level);
    if (level == SQLITE_LOCK_NONE) {
        table.decided = false;
        table.lockLevel = SQLITE_LOCK_NONE;
    }
    return code;
}

int tableCheckReservedLock(sqlite3_file *file, int *reserved) {
    sqlite3_file *below = tableOf(file).file();
    return below->pMethods->xCheckReservedLock(below, reserved);
}

int tableFileControl(sqlite3_file *file, int operation, void *argument) {
    sqlite3_file *below = tableOf(file).file();
    return below->pMethods->xFileControl(below, operation, argument);
}

int tableSectorSize(sqlite3_file *file) {
    sqlite3_file *below = tableOf(file).file();
    return below->pMethods->xSectorSize(below);
}

int tableDeviceCharacteristics(sqlite3_file *file) {
    sqlite3_file *below = tableOf(file).file();
    return below->pMethods->xDeviceCharacteristics(below);
}

// SQLite opens the -shm itself, below the file layer: it is looked at first, as every other file.
int tableShmMap(sqlite3_file *file, int page, int pageSize, int extend, void volatile **memory) {
    TableFile &table = tableOf(file);
    if (!table.sharedMemoryLooked) {
        if (!isRegularOrAbsent(table.path + "-shm"))
            return SQLITE_IOERR_SHMOPEN;
        table.sharedMemoryLooked = true;
    }
    const int code = table.file()->pMethods->xShmMap(table.file(), page, pageSize, extend, memory);
    // SQLite reads through the writer's log: a log and its -shm that came after the read
    // transaction began (a writer that opened the table meanwhile) are held still from here on,
    // before SQLite reads the first record from the log.
    if ((code == SQLITE_OK || code == SQLITE_READONLY || code == SQLITE_READONLY_CANTINIT) &&
        table.lockLevel != SQLITE_LOCK_NONE) {
        table.logReadersJoined = true;
        keepTheLogStill(table);
    }
    return code;
}

int tableShmLock(sqlite3_file *file, int offset, int count, int flags) {
    sqlite3_file *below = tableOf(file).file();
    return below->pMethods->xShmLock(below, offset, count, flags);
}

void tableShmBarrier(sqlite3_file *file) {
    sqlite3_file *below = tableOf(file).file();
    below->pMethods->xShmBarrier(below);
}

// Never removes the -shm: it belongs to its writer.
int tableShmUnmap(sqlite3_file *file, int) {
    sqlite3_file *below = tableOf(file).file();
    return below->pMethods->xShmUnmap(below, 0);
}

// No memory mapping: every page is read through tableRead, and memory does not grow with the table.
int tableFetch(sqlite3_file *, sqlite3_int64, int, void **page) {
    *page = nullptr;
    return SQLITE_OK;
}

int tableUnfetch(sqlite3_file *file, sqlite3_int64 offset, void *page) {
    sqlite3_file *below = tableOf(file).file();
    return below->pMethods->xUnfetch(below, offset, page);
}

// --- The layer's operations ------------------------------------------------------------------------

int layerOpen(sqlite3_vfs *vfs, const char *name, sqlite3_file *file, int flags, int *outFlags) {
    Layer &layer = layerOf(vfs);
    file->pMethods = nullptr;
    // Nameless files are SQLite's temporary ones, made in the temporary folder, not in the agenda.
    if (!name)
        return layer.below->xOpen(layer.below, name, file, flags, outFlags);
    // Nothing is created: a file that is missing stays missing, and one that is no regular file
    // (a FIFO would block the open) is not opened.
    if (ExamineFile(name) != FileKind::Regular)
        return SQLITE_CANTOPEN;
    flags &= ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE | SQLITE_OPEN_DELETEONCLOSE);
    flags |= SQLITE_OPEN_READONLY;
    if ((flags & SQLITE_OPEN_MAIN_DB) == 0)
        return layer.below->xOpen(layer.below, name, file, flags, outFlags);
    auto *table = new (file) TableFile;
    table->below = layer.below;
    table->path = name;
    const int code = layer.below->xOpen(layer.below, name, table->file(), flags, outFlags);
    if (code != SQLITE_OK) {
        table->~TableFile();
        file->pMethods = nullptr;
        return code;
    }
    file->pMethods = &layer.tableMethods;
    return code;
}

int layerDelete(sqlite3_vfs *, const char *, int) {
    return SQLITE_IOERR_DELETE;
}

int layerAccess(sqlite3_vfs *vfs, const char *name, int flags, int *result) {
    const std::string path = name;
    constexpr std::string_view kLog = "-wal";
    if (flags == SQLITE_ACCESS_EXISTS && path.size() > kLog.size() && path.ends_with(kLog)) {
        *result = logIsKept(path.substr(0, path.size() - kLog.size())) ? 1 : 0;
        return SQLITE_OK;
    }
    Layer &layer = layerOf(vfs);
    return layer.below->xAccess(layer.below, name, flags, result);
}

int layerFullPathname(sqlite3_vfs *vfs, const char *name, int size, char *out) {
    Layer &layer = layerOf(vfs);
    return layer.below->xFullPathname(layer.below, name, size, out);
}

void *layerDlOpen(sqlite3_vfs *vfs, const char *name) {
    Layer &layer = layerOf(vfs);
    return layer.below->xDlOpen(layer.below, name);
}

void layerDlError(sqlite3_vfs *vfs, int size, char *message) {
    Layer &layer = layerOf(vfs);
    layer.below->xDlError(layer.below, size, message);
}

void (*layerDlSym(sqlite3_vfs *vfs, void *library, const char *symbol))() {
    Layer &layer = layerOf(vfs);
    return layer.below->xDlSym(layer.below, library, symbol);
}

void layerDlClose(sqlite3_vfs *vfs, void *library) {
    Layer &layer = layerOf(vfs);
    layer.below->xDlClose(layer.below, library);
}

int layerRandomness(sqlite3_vfs *vfs, int size, char *out) {
    Layer &layer = layerOf(vfs);
    return layer.below->xRandomness(layer.below, size, out);
}

int layerSleep(sqlite3_vfs *vfs, int microseconds) {
    Layer &layer = layerOf(vfs);
    return layer.below->xSleep(layer.below, microseconds);
}

int layerCurrentTime(sqlite3_vfs *vfs, double *now) {
    Layer &layer = layerOf(vfs);
    return layer.below->xCurrentTime(layer.below, now);
}

int layerGetLastError(sqlite3_vfs *vfs, int size, char *message) {
    Layer &layer = layerOf(vfs);
    return layer.below->xGetLastError ? layer.below->xGetLastError(layer.below, size, message) : 0;
}

int layerCurrentTimeInt64(sqlite3_vfs *vfs, sqlite3_int64 *now) {
    Layer &layer = layerOf(vfs);
    if (layer.below->iVersion >= 2 && layer.below->xCurrentTimeInt64)
        return layer.below->xCurrentTimeInt64(layer.below, now);
    double days = 0;
    const int code = layer.below->xCurrentTime(layer.below, &days);
    *now = static_cast<sqlite3_int64>(days * 86400000.0);
    return code;
}

Layer &registeredLayer() {
    static Layer layer = [] {
        Layer made;
        sqlite3_initialize();
        made.below = sqlite3_vfs_find(nullptr);
        return made;
    }();
    static const bool registered = [] {
        sqlite3_vfs &vfs = layer.vfs;
        vfs.iVersion = 2;
        vfs.szOsFile = static_cast<int>(TableFile::belowOffset()) + layer.below->szOsFile;
        // Not more than below: SQLite's own layer copies paths into buffers of that size.
        vfs.mxPathname = layer.below->mxPathname;
        vfs.zName = kName;
        vfs.pAppData = &layer;
        vfs.xOpen = layerOpen;
        vfs.xDelete = layerDelete;
        vfs.xAccess = layerAccess;
        vfs.xFullPathname = layerFullPathname;
        vfs.xDlOpen = layerDlOpen;
        vfs.xDlError = layerDlError;
        vfs.xDlSym = layerDlSym;
        vfs.xDlClose = layerDlClose;
        vfs.xRandomness = layerRandomness;
        vfs.xSleep = layerSleep;
        vfs.xCurrentTime = layerCurrentTime;
        vfs.xGetLastError = layerGetLastError;
        vfs.xCurrentTimeInt64 = layerCurrentTimeInt64;

        sqlite3_io_methods &methods = layer.tableMethods;
        methods.iVersion = 3;
        methods.xClose = tableClose;
        methods.xRead = tableRead;
        methods.xWrite = tableWrite;
        methods.xTruncate = tableTruncate;
        methods.xSync = tableSync;
        methods.xFileSize = tableFileSize;
        methods.xLock = tableLock;
        methods.xUnlock = tableUnlock;
        methods.xCheckReservedLock = tableCheckReservedLock;
        methods.xFileControl = tableFileControl;
        methods.xSectorSize = tableSectorSize;
        methods.xDeviceCharacteristics = tableDeviceCharacteristics;
        methods.xShmMap = tableShmMap;
        methods.xShmLock = tableShmLock;
        methods.xShmBarrier = tableShmBarrier;
        methods.xShmUnmap = tableShmUnmap;
        methods.xFetch = tableFetch;
        methods.xUnfetch = tableUnfetch;
        return sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
    }();
    (void)registered;
    return layer;
}

TableFile *tableFileOf(sqlite3 *db) {
    sqlite3_file *file = nullptr;
    if (!db || sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        file->pMethods != &registeredLayer().tableMethods)
        return nullptr;
    return &tableOf(file);
}

} // namespace

const char *ReadOnlyVfsName() {
    return registeredLayer().vfs.zName;
}

int ReadOnlyVfsMaxPath() {
    // SQLite keeps room for the longest suffix it appends ("-journal").
    return registeredLayer().vfs.mxPathname - 8;
}

bool ReadOnlyFileChangedUnderRead(sqlite3 *db) {
    const TableFile *table = tableFileOf(db);
    return table && table->changedUnderRead;
}

std::string TableFileHeader(sqlite3 *db) {
    sqlite3_file *file = nullptr;
    if (!db || sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return {};
    // A read through the layer's methods would decide again: a log that appeared meanwhile would
    // turn the reader's guard off in the middle of a transaction that SQLite reads from the file.
    if (file->pMethods == &registeredLayer().tableMethods)
        file = tableOf(file).file();
    std::string header(100, '\0');
    if (file->pMethods->xRead(file, header.data(), static_cast<int>(header.size()), 0) != SQLITE_OK)
        return {};
    return header;
}

bool ReadOnlyFileReadWithoutLog(sqlite3 *db) {
    const TableFile *table = tableFileOf(db);
    return table && table->readWithoutLog;
}

} // namespace vrelmont
