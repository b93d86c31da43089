#pragma once
// A directory built beside its target under a hidden name and renamed into place only when it is
// complete, so that the target never holds half-written data. Without commit() it is removed again.
#include <filesystem>

namespace vrelmont::cli {

class StagingDir {
public:
    // Throws std::runtime_error when `target` exists and is not an empty directory, or when the
    // staging directory cannot be made. Missing parent directories are created.
    explicit StagingDir(const std::filesystem::path &target);
    ~StagingDir();
    StagingDir(const StagingDir &) = delete;
    StagingDir &operator=(const StagingDir &) = delete;

    const std::filesystem::path &path() const { return staging_; }
    const std::filesystem::path &target() const { return target_; }

    // Moves the finished directory to the target. Throws std::runtime_error when it cannot.
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path staging_;
    bool committed_ = false;
};

// Throws std::runtime_error naming `target` when it exists and is anything but an empty directory.
void RequireMissingOrEmptyDir(const std::filesystem::path &target);

} // namespace vrelmont::cli
