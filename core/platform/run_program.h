// Running a helper program of the desktop (update-mime-database and the
// like) and waiting for it, without a shell in between.
#pragma once

#include <string>
#include <vector>

namespace prambus {

// Runs argv[0], looked up in PATH, with the given arguments; its output goes
// to /dev/null. Returns its exit status, or -1 when it could not be started
// or did not end normally.
int RunProgram(const std::vector<std::string>& argv);

}  // namespace prambus
