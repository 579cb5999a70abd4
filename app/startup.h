// Start-up of quorvane and quorvane-adif before their first window: quorvane-adif's command line
// (--help and --version, which need no display, a wrong option, the log to open), and one plain
// line instead of Qt's abort when there is no display to show the windows on.
#pragma once

#include <optional>

namespace quorvane::startup {

enum class Program { kQuorvane, kQuorvaneAdif };

// quorvane-adif's usage, shown for --help and after a wrong command line.
extern const char kAdifUsage[];

// What comes before the windows. quorvane-adif's command line is read here, once, before the
// display is looked for: Qt's own options (-platform, -style fusion, ...) are passed over, and
// the one argument left, if any, is the log that `log` is set to. Returns the exit status when
// the program ends here: 0 when quorvane-adif has answered --help or --version (2 when the
// answer could not be written), 1 after a wrong command line, 2 when there is no display (no
// DISPLAY or WAYLAND_DISPLAY, or an empty one); nullopt when the windows are to open, and from
// then on until Started
// Qt's failure to open the display (one that is named but cannot be reached) ends the program
// with a line and status 2 as well, without the warnings Qt gives before it. quorvane has no
// command line: only Qt's own -platform and -display count for it.
std::optional<int> Start(Program program, int argc, char** argv, const char** log = nullptr);

// Once the application has started: Qt's messages go where they went before Start, those it
// gave while starting up first.
void Started();

}  // namespace quorvane::startup
