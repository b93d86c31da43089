#include "cli/StagingDir.h"

#include "platform/Utf8Path.h"

#include <chrono>
#include <random>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace vrelmont::cli {
namespace {

// Hidden, so that agenda discovery (which skips hidden entries) never lists a directory in the making.
fs::path stagingPathFor(const fs::path &target) {
    std::random_device device;
    const auto noise = device() ^ static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::string name = "." + Utf8FromPath(target.filename()) + ".partial-" + std::to_string(noise);
    return target.parent_path() / PathFromUtf8(name);
}

// "DIR/" and "DIR" name the same directory; the file name of the former is empty.
fs::path withoutTrailingSeparator(const fs::path &path) {
    fs::path absolute = fs::absolute(path).lexically_normal();
    if (!absolute.has_filename() && absolute.has_parent_path() && absolute != absolute.root_path())
        absolute = absolute.parent_path();
    return absolute;
}

} // namespace

void RequireMissingOrEmptyDir(const fs::path &target) {
    std::error_code error;
    const auto status = fs::symlink_status(target, error);
    if (status.type() == fs::file_type::not_found)
        return;
    if (error)
        throw std::runtime_error(Utf8FromPath(target) + " nelze prozkoumat: " + error.message());
    if (status.type() != fs::file_type::directory)
        throw std::runtime_error(Utf8FromPath(target) + " existuje a není to složka");
    if (!fs::is_empty(target, error) || error)
        throw std::runtime_error("složka " + Utf8FromPath(target) + " existuje a není prázdná");
}

StagingDir::StagingDir(const fs::path &target) : target_(withoutTrailingSeparator(target)) {
    if (!target_.has_filename())
        throw std::runtime_error(Utf8FromPath(target) + " není cesta ke složce, kterou lze vytvořit");
    RequireMissingOrEmptyDir(target_);
    std::error_code error;
    fs::create_directories(target_.parent_path(), error);
    if (error)
        throw std::runtime_error("složku " + Utf8FromPath(target_.parent_path()) +
                                 " nelze vytvořit: " + error.message());
    staging_ = stagingPathFor(target_);
    if (!fs::create_directory(staging_, error))
        throw std::runtime_error("složku " + Utf8FromPath(staging_) +
                                 " nelze vytvořit: " + (error ? error.message() : "už existuje"));
}

StagingDir::~StagingDir() {
    if (committed_)
        return;
    std::error_code ignored;
    fs::remove_all(staging_, ignored);
}

void StagingDir::commit() {
    // Checked again: someone may have put something there while the directory was being built.
    RequireMissingOrEmptyDir(target_);
    std::error_code error;
    if (fs::exists(target_))
        fs::remove(target_, error); // an empty directory, as checked just above
    if (!error)
        fs::rename(staging_, target_, error);
    if (error)
        throw std::runtime_error("složku " + Utf8FromPath(staging_) + " nelze přesunout na " + Utf8FromPath(target_) +
                                 ": " + error.message());
    committed_ = true;
}

} // namespace vrelmont::cli
