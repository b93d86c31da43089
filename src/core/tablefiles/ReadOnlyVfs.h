#pragma once
// The SQLite file layer through which the program reads table files. It stands on the platform's
// own layer and keeps every promise a reader of a live agenda makes, whatever SQLite would do:
// - nothing is created, written or removed in the agenda (SQLite would create a missing -wal for a
//   table in write-ahead-log mode, and remove a -wal beside an empty table file);
//   a file SQLite opens is opened read-only, and it must be a regular file (a FIFO would block);
// - a table in write-ahead-log mode that no program keeps open (no -wal) is read from its file
//   alone, under the ordinary shared lock, instead of through a log that would have to be created;
//   every page read then confirms that no writer has since moved records into the file, and a
//   read that finds it changed fails (ReadOnlyFileChangedUnderRead) rather than give a torn state;
// - while a table is read, its writer's log is neither moved into the file nor started over: the
//   reader holds two of the log's read locks, taken read-only through SQLite's own shared memory.
//
// While the process may hold a connection to a table file, that file is opened only through
// SQLite: POSIX record locks belong to the process, and closing any other descriptor of the file
// would drop the shared lock of a connection that is reading it, letting a host commit under it.
// (Windows locks belong to the handle that took them, so another handle's close leaves them; a
// region that another process holds exclusively cannot be read through any handle, which SQLite's
// lock bytes beyond the first gigabyte keep away from the pages. The rule holds there alike.)
#include <sqlite3.h>

#include <string>

namespace vrelmont {

// The name to pass to sqlite3_open_v2; registers the layer on first use (thread-safe).
const char *ReadOnlyVfsName();

// The longest path, in bytes, that SQLite opens a table file by (its own layer's limit).
int ReadOnlyVfsMaxPath();

// Whether the table file of `db` (opened through this layer) was changed by a writer while its
// read transaction was reading it from the file alone.
bool ReadOnlyFileChangedUnderRead(sqlite3 *db);

// Whether `db` reads a write-ahead-log table from its file alone, because no program keeps it open.
bool ReadOnlyFileReadWithoutLog(sqlite3 *db);

// The first 100 bytes of the table file of `db`, as they stand in the file, read through the
// connection's own file handle; empty when they cannot be read. Unlike a read through SQLite's
// file methods, it never decides anew how the current read transaction reads the table.
std::string TableFileHeader(sqlite3 *db);

} // namespace vrelmont
