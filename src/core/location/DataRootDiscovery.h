#pragma once
// Finding the host system's DATA directory in its own installation files, for a first start
// without a stored data root. Every failure is silent: the answer is then empty.
#include <string>

namespace vrelmont {

// The Program Files folder from the registry, or empty text.
std::string QueryProgramFilesDir();
// The host's setup.ini under the Program Files folder when that file exists, else empty text.
std::string FindHostSetupIni();
// The DATA directory named by setup.ini and mons3.ini, with its trailing separator, when it exists;
// else empty text. Reads and never writes.
std::string DiscoverDataRoot();

} // namespace vrelmont
