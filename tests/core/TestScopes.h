#pragma once
// Scope objects for the temporary changes a test makes: each restores what it changed on every way
// out of the test, a failed assertion included.
#include "engine/Engine.h"
#include "engine/EngineError.h"
#include "engine/TableBackend.h"
#include "platform/Registry.h"

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <utility>

namespace vrelmont::test {

// Replaces how the one engine object of the process is made; the default factory comes back at the end.
class EngineFactoryScope {
public:
    explicit EngineFactoryScope(Engine::Factory factory) { Engine::setFactory(std::move(factory)); }
    ~EngineFactoryScope() { Engine::setFactory({}); }
    EngineFactoryScope(const EngineFactoryScope &) = delete;
    EngineFactoryScope &operator=(const EngineFactoryScope &) = delete;
};

// Stands in for the registry; the platform's comes back at the end. `use` changes the stand-in.
class RegistryReaderScope {
public:
    explicit RegistryReaderScope(RegistryReader reader = {}) { use(std::move(reader)); }
    ~RegistryReaderScope() { SetRegistryReader({}); }
    RegistryReaderScope(const RegistryReaderScope &) = delete;
    RegistryReaderScope &operator=(const RegistryReaderScope &) = delete;
    void use(RegistryReader reader) { SetRegistryReader(std::move(reader)); }
};

// Gives the table components a stand-in backend; the table files come back at the end.
class TableBackendFactoryScope {
public:
    explicit TableBackendFactoryScope(TableBackendFactory factory) { SetTableBackendFactory(std::move(factory)); }
    ~TableBackendFactoryScope() { SetTableBackendFactory({}); }
    TableBackendFactoryScope(const TableBackendFactoryScope &) = delete;
    TableBackendFactoryScope &operator=(const TableBackendFactoryScope &) = delete;
};

// A factory whose engine cannot start: every connection fails with `message`.
inline Engine::Factory FailingEngineFactory(std::string message) {
    return [message = std::move(message)]() -> std::shared_ptr<Engine> { throw EngineError(message); };
}

// Sets a file's or directory's permissions; the previous ones come back at the end.
class PermissionScope {
public:
    PermissionScope(std::filesystem::path path, std::filesystem::perms perms) : path_(std::move(path)) {
        previous_ = std::filesystem::status(path_).permissions();
        std::filesystem::permissions(path_, perms);
    }
    ~PermissionScope() {
        std::error_code ignored; // a restore that fails leaves the rest to the temporary directory's removal
        std::filesystem::permissions(path_, previous_, ignored);
    }
    PermissionScope(const PermissionScope &) = delete;
    PermissionScope &operator=(const PermissionScope &) = delete;

private:
    std::filesystem::path path_;
    std::filesystem::perms previous_{};
};

inline constexpr auto kReadOnlyDir = std::filesystem::perms(0555);
inline constexpr auto kReadOnlyFile = std::filesystem::perms(0444);

} // namespace vrelmont::test
