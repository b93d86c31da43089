#include "engine/Engine.h"

#include "engine/EngineError.h"

#include <sqlite3.h>

#include <mutex>

namespace vrelmont {
namespace {
// Table components of several threads (the command line's parallel checks) attach at once.
std::mutex engineMutex;
Engine::Factory factory;
std::weak_ptr<Engine> running;
} // namespace

std::string Engine::queryGuid(const std::string &guid) const {
    if (guid == kEngineFeatureGuid)
        return std::string("Vrelmont table engine 1.0 (SQLite ") + sqlite3_libversion() + ")";
    throw EngineError("Databázový stroj nezná rozhraní " + guid);
}

std::shared_ptr<Engine> Engine::runningOrNew() {
    std::lock_guard lock(engineMutex);
    if (auto engine = running.lock())
        return engine;
    auto engine = factory ? factory() : std::make_shared<Engine>();
    if (!engine)
        throw EngineError("Databázový stroj nelze spustit");
    running = engine;
    return engine;
}

void Engine::setFactory(Factory newFactory) {
    std::lock_guard lock(engineMutex);
    factory = std::move(newFactory);
    running.reset();
}

} // namespace vrelmont
