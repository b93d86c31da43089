#pragma once
// A unique temporary directory, removed with everything in it when the test ends.
#include "text/PathText.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <unistd.h>

namespace vrelmont::test {

class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("vrelmont-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        // Tests may leave entries read-only; Windows removes none of those.
        std::error_code error;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     error);
        for (const auto &entry : std::filesystem::recursive_directory_iterator(path_, error))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(path_, error);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return path_; }
    // The directory as the program writes it: ending in the separator.
    std::string dir() const { return path_.string() + kDirSeparator; }
    std::string file(const std::string &name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A path written with "/" in the platform's separators.
inline std::string Native(std::string path) {
    for (char &c : path)
        if (c == '/')
            c = kDirSeparator;
    return path;
}

// The platform's separator as text.
inline std::string Sep() {
    return std::string(1, kDirSeparator);
}

inline std::string ReadBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Runs `action`, ending the whole test program if it hangs: a hang is the fault looked for there.
template <typename Action> auto Promptly(Action action) {
    auto result = std::async(std::launch::async, action);
    if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        std::fprintf(stderr, "hung for 10 s\n");
        std::_Exit(1);
    }
    return result.get();
}

} // namespace vrelmont::test
