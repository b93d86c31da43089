#pragma once
// The one engine object of the process. Table components attach to it on their first operation.
#include <functional>
#include <memory>
#include <string>

namespace vrelmont {

// GUID whose answer tells that the engine knows every operation the program uses.
inline constexpr const char *kEngineFeatureGuid = "{5B1E7C40-2D93-4F6A-9E18-C7A24D06B3F1}";

class Engine {
public:
    virtual ~Engine() = default;
    // The engine's version text for a GUID it knows; EngineError for any other.
    virtual std::string queryGuid(const std::string &guid) const;

    // Attaches to the running engine object, creating it when there is none.
    // Throws EngineError when the engine cannot be created.
    static std::shared_ptr<Engine> runningOrNew();

    // A process-wide test seam: tests replace how the engine object is created (for example with one
    // that fails to start).
    // An empty function restores the real engine. Also drops the running object.
    using Factory = std::function<std::shared_ptr<Engine>()>;
    static void setFactory(Factory factory);
};

} // namespace vrelmont
