#pragma once
// The engine test run before the agendas are listed: one call on the main table component, which
// also connects it to the engine, tells whether the engine can be reached and is recent enough.
#include <optional>
#include <string>

namespace vrelmont {

class TBFTable;

// Calls QueryGuid with kEngineFeatureGuid on `table`; the answer text is not needed.
// Answers the error's message when the call or the connection before it fails, else nothing.
std::optional<std::string> RunEngineTest(TBFTable &table);

// The text of the "Error" box shown when the test fails: the Czech first sentence, two carriage
// returns, the error's own text, two carriage returns, the advice and the support address.
std::string EngineTestFailureText(const std::string &errorMessage, const std::string &supportEmail);

} // namespace vrelmont
