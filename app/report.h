// quorvane-report: the three tables of a log as aligned text or as JSON.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvane::report {

// Runs the command with its arguments (without the program name). Returns the exit status:
// 0 done, 1 usage error, 2 the log could not be counted.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quorvane::report
