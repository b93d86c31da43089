#include "writer/RecordWriter.h"
#include "tablefiles/SqliteHandle.h"

#include "platform/FileAccess.h"
#include "platform/Utf8Path.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#ifdef _WIN32
#include <io.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vrelmont {
namespace {

#ifdef _WIN32
// Windows renames no file over one that another program has open and syncs no folder: there a
// table is appended to in place, in one transaction whose rollback journal keeps it all or nothing.
constexpr bool kReplacesTableWhole = false;
#else
constexpr bool kReplacesTableWhole = true;
#endif

std::string insertSql(const TableDef &table) {
    std::string columns, parameters;
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        columns += (i ? ", " : "") + QuoteSqlName(table.fields[i].name);
        parameters += i ? ", ?" : "?";
    }
    return "INSERT INTO " + QuoteSqlName(table.name) + " (" + columns + ") VALUES (" + parameters + ")";
}

std::string directoryOf(const std::string &file) {
    const auto parent = Utf8FromPath(PathFromUtf8(file).parent_path());
    return parent.empty() ? "." : parent;
}

#ifndef _WIN32
// Copies left by an append that was killed: no living writer holds their lock any more.
void removeAbandonedCopies(const std::string &tableFile) {
    const std::string dir = directoryOf(tableFile);
    const std::string prefix = std::filesystem::path(TableCopyPrefix(tableFile)).filename().string();
    DIR *listing = ::opendir(dir.c_str());
    if (!listing)
        return;
    while (const dirent *entry = ::readdir(listing)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) != 0)
            continue;
        const std::string path = dir + "/" + entry->d_name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(listing);
}

[[noreturn]] void failWithErrno(const std::string &what) {
    const int code = errno;
    const bool full = code == ENOSPC || code == EFBIG || code == EDQUOT;
    throw std::runtime_error(what + ": " + (full ? "disk je plný – " : "") + std::strerror(code));
}
#endif

} // namespace

std::string TableCopyPrefix(const std::string &tableFile) {
    return directoryOf(tableFile) + "/." + Utf8FromPath(PathFromUtf8(tableFile).filename()) + ".import-";
}

std::size_t FieldPosition(const TableDef &table, const std::string &fieldName) {
    for (std::size_t i = 0; i < table.fields.size(); ++i)
        if (table.fields[i].name == fieldName)
            return i;
    throw std::logic_error("Table " + table.name + " has no field " + fieldName);
}

RecordWriter::RecordWriter(const std::string &filePath, const TableDef &table, Mode mode)
    : table_(table), mode_(mode), filePath_(filePath) {
    if (mode_ == Mode::Bulk) {
        db_ = SqliteHandle::openReadWrite(filePath);
        // With no journal and one transaction, the sync setting only decides whether the commit
        // reaches the disk (one sync per file): NORMAL costs nothing measurable and keeps a finished
        // build from being lost in a power cut after it was reported done.
        db_.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=NORMAL");
        SqliteStatement indexes = db_.prepare(
            "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL AND tbl_name = ?");
        sqlite3_bind_text(indexes.get(), 1, table_.name.c_str(), -1, SQLITE_TRANSIENT);
        std::vector<std::string> names;
        while (sqlite3_step(indexes.get()) == SQLITE_ROW) {
            names.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(indexes.get(), 0)));
            droppedIndexSql_.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(indexes.get(), 1)));
        }
        db_.exec("BEGIN");
        open_ = true;
        // Building each index once over the whole table is far cheaper than keeping it up to date per record.
        for (const auto &name : names)
            db_.exec("DROP INDEX " + QuoteSqlName(name));
    } else {
        if (IsWriteProtected(filePath))
            throw std::runtime_error("Do souboru " + filePath + " nelze zapisovat");
        original_ = SqliteHandle::openReadWrite(filePath);
        // Other writers wait until the records are in; readers go on reading the table as it was.
        original_.exec("BEGIN IMMEDIATE");
        SqliteStatement journal = original_.prepare("PRAGMA journal_mode");
        const bool wal = sqlite3_step(journal.get()) == SQLITE_ROW &&
                         std::strcmp(reinterpret_cast<const char *>(sqlite3_column_text(journal.get(), 0)), "wal") == 0;
        journal = SqliteStatement();
        if (wal || !kReplacesTableWhole) {
            db_ = std::move(original_);
            open_ = true;
        } else {
#ifndef _WIN32
            startCopy();
#endif
        }
    }
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db_.get(), insertSql(table_).c_str(), -1, &statement, nullptr) != SQLITE_OK)
        db_.fail("Nelze zapsat tabulku " + table_.name + " do");
    insert_ = SqliteStatement(statement);
}

#ifndef _WIN32
void RecordWriter::startCopy() {
    // A table reached through a link is replaced where it stands; the link stays a link.
    std::error_code error;
    replaced_ = filePath_;
    if (std::filesystem::is_symlink(filePath_, error)) {
        const auto target = std::filesystem::canonical(filePath_, error);
        if (!error)
            replaced_ = target.string();
    }
    removeAbandonedCopies(replaced_);
    copyPath_ = TableCopyPrefix(replaced_) + "XXXXXX";
    copyFd_ = ::mkstemp(copyPath_.data());
    if (copyFd_ < 0) {
        copyPath_.clear();
        failWithErrno("Nelze zapisovat vedle souboru " + filePath_);
    }
    // Held until the copy is renamed or removed; a copy whose lock nobody holds was left by a crash.
    ::flock(copyFd_, LOCK_EX);
    // The table's own descriptor stays open until its connection is closed: closing any descriptor
    // of a file drops every lock this process holds on it, SQLite's included.
    originalFd_ = ::open(filePath_.c_str(), O_RDONLY | O_CLOEXEC);
    if (originalFd_ < 0)
        failWithErrno("Nelze číst soubor " + filePath_);
    char buffer[1 << 16];
    while (true) {
        const auto n = ::read(originalFd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failWithErrno("Nelze číst soubor " + filePath_);
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            const auto written = ::write(copyFd_, buffer + done, static_cast<std::size_t>(n - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                failWithErrno("Nelze zapisovat do souboru " + filePath_);
            done += written;
        }
    }
    db_ = SqliteHandle::openReadWrite(copyPath_, filePath_);
    // The copy is thrown away on any failure: it needs no journal of its own.
    db_.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=FULL; BEGIN");
    open_ = true;
}

void RecordWriter::finishCopy() {
    db_ = SqliteHandle();
    struct stat info {};
    if (::fstat(originalFd_, &info) == 0) {
        ::fchmod(copyFd_, info.st_mode & 07777);
        if (::fchown(copyFd_, info.st_uid, info.st_gid) != 0) {
            // Only an administrator may give a file away; the importer then owns the new table.
        }
    }
    if (::fsync(copyFd_) != 0)
        failWithErrno("Nelze zapisovat do souboru " + filePath_);
    if (::rename(copyPath_.c_str(), replaced_.c_str()) != 0)
        failWithErrno("Nelze nahradit soubor " + filePath_);
    copyPath_.clear();
    const int dirFd = ::open(directoryOf(replaced_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd); // the rename itself reaches the disk
        ::close(dirFd);
    }
    dropCopy();
}
#endif

void RecordWriter::dropCopy() noexcept {
    db_ = SqliteHandle();
    if (!copyPath_.empty())
        ::unlink(copyPath_.c_str());
    copyPath_.clear();
    original_ = SqliteHandle(); // ends the lock on the table
    if (originalFd_ >= 0)
        ::close(originalFd_);
    if (copyFd_ >= 0)
        ::close(copyFd_);
    originalFd_ = copyFd_ = -1;
}

RecordWriter::~RecordWriter() {
    insert_ = SqliteStatement();
    // Without a journal there is nothing to roll back with: a bulk build is thrown away whole.
    if (open_ && mode_ == Mode::Safe && copyFd_ < 0)
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    dropCopy();
}

void RecordWriter::bind(int parameter, const FieldDef &field, const FieldValue &value) {
    sqlite3_stmt *statement = insert_.get();
    int code;
    if (const auto *number = std::get_if<std::int32_t>(&value)) {
        if (field.type == FieldType::Text)
            throw std::invalid_argument("Field " + field.name + " of " + table_.name + " takes text");
        code = sqlite3_bind_int(statement, parameter, *number);
    } else {
        if (field.type == FieldType::Integer)
            throw std::invalid_argument("Field " + field.name + " of " + table_.name + " takes an integer");
        const auto &text = std::get<std::string>(value);
        code = sqlite3_bind_text64(statement, parameter, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
    }
    if (code != SQLITE_OK)
        db_.fail("Nelze zapisovat do");
}

void RecordWriter::append(const std::vector<FieldValue> &record) {
    if (record.size() != table_.fields.size())
        throw std::invalid_argument("A record of " + table_.name + " has " + std::to_string(table_.fields.size()) +
                                    " fields, not " + std::to_string(record.size()));
    for (std::size_t i = 0; i < record.size(); ++i)
        bind(static_cast<int>(i + 1), table_.fields[i], record[i]);
    const int code = sqlite3_step(insert_.get());
    sqlite3_reset(insert_.get());
    sqlite3_clear_bindings(insert_.get());
    if (code != SQLITE_DONE)
        db_.fail("Nelze zapisovat do");
    ++appended_;
}

void RecordWriter::removeAllRecords() {
    if (!open_)
        throw std::logic_error("RecordWriter::removeAllRecords after commit");
    db_.exec("DELETE FROM " + QuoteSqlName(table_.name));
}

void RecordWriter::commit() {
    if (!open_)
        throw std::logic_error("RecordWriter::commit called twice");
    insert_ = SqliteStatement();
    for (const auto &sql : droppedIndexSql_)
        db_.exec(sql);
    db_.exec("COMMIT");
    open_ = false;
#ifndef _WIN32
    if (copyFd_ >= 0)
        finishCopy();
#endif
}

} // namespace vrelmont
