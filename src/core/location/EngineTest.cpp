#include "location/EngineTest.h"

#include "engine/Engine.h"
#include "engine/TBFTable.h"

#include <exception>

namespace vrelmont {

std::optional<std::string> RunEngineTest(TBFTable &table) {
    try {
        table.QueryGuid(kEngineFeatureGuid);
        return std::nullopt;
    } catch (const std::exception &error) {
        return std::string(error.what());
    }
}

std::string EngineTestFailureText(const std::string &errorMessage, const std::string &supportEmail) {
    return "Při pokusu o přístup na databázový objekt Money došlo k následující chybě:"
           "\r\r" +
           errorMessage +
           "\r\r"
           "Pravděpodobně používáte starší verzi knihovny mon2kdbe.dll a bude nutné provést její inovaci. "
           "Kontaktujte prosím technickou podporu na adrese" +
           " " + supportEmail;
}

} // namespace vrelmont
