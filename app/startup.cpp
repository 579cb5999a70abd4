// Start-up of quorvane and quorvane-adif before their first window.
#include "startup.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string_view>

namespace quorvane::startup {

const char kAdifUsage[] =
    "usage: quorvane-adif [LOG]\n"
    "       quorvane-adif --help | --version\n"
    "\n"
    "Shows the band/mode, continent and QSL summaries of an ADIF log, reading it as ADIF\n"
    "fields in any letter case and layout, record by record (<band:3>20m, one field per\n"
    "line). LOG, if given, is opened at start; File > Open ADIF opens another.\n"
    "quorvane shows the same windows counting by its exact rules instead.\n";

namespace {

// How every no-display message ends: what to do instead.
const char kInstead[] = "; quorvane-report counts a log without one\n";

const char* Name(Program program) {
    return program == Program::kQuorvane ? "quorvane" : "quorvane-adif";
}

int Answer(std::ostream& out, std::ostream& err, const char* name, std::string_view text,
           const char* what) {
    out << text;
    out.flush();
    if (out) return 0;
    err << name << ": cannot write the " << what << '\n';
    return 2;
}

// A platform chosen by QT_QPA_PLATFORM or -platform is left to Qt; otherwise the windows need
// an X11 or Wayland display, named in the environment or by -display.
bool HasDisplay(int argc, const char* const* argv, const Environment& environment) {
    if (!environment.qpaPlatform.empty() || !environment.display.empty() ||
        !environment.waylandDisplay.empty())
        return true;
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.starts_with("--")) arg.remove_prefix(1);  // Qt takes --platform as well
        if (arg == "-platform" || arg == "-display") return true;
    }
    return false;
}

const char* startingProgram = "";
QtMessageHandler previousHandler = nullptr;

// Qt ends a program whose display cannot be opened with a fatal message while the application
// starts up; that one ends it with the program's own line and status 2, and no core dump.
void EndWhenTheDisplayFails(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (type == QtFatalMsg && QCoreApplication::startingUp()) {
        std::fprintf(stderr, "%s: cannot open the display to show the windows on%s",
                     startingProgram, kInstead);
        std::fflush(stderr);
        std::_Exit(2);
    }
    previousHandler(type, context, message);
}

}  // namespace

std::optional<int> BeforeWindows(Program program, int argc, const char* const* argv,
                                 const Environment& environment, std::ostream& out,
                                 std::ostream& err) {
    const char* name = Name(program);
    if (program == Program::kQuorvaneAdif) {
        for (int i = 1; i < argc; ++i) {
            const std::string_view arg = argv[i];
            if (arg == "--") break;
            if (arg == "--help") return Answer(out, err, name, kAdifUsage, "help");
            if (arg == "--version")
                return Answer(out, err, name, std::string(name) + " " QUORVANE_VERSION "\n",
                              "version");
        }
    }
    if (HasDisplay(argc, argv, environment)) return std::nullopt;
    err << name << ": no display to show the windows on (DISPLAY and WAYLAND_DISPLAY are unset)"
        << kInstead;
    return 2;
}

std::optional<int> Start(Program program, int argc, char** argv) {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    const Environment environment{variable("QT_QPA_PLATFORM"), variable("DISPLAY"),
                                  variable("WAYLAND_DISPLAY")};
    if (const auto status = BeforeWindows(program, argc, argv, environment, std::cout, std::cerr))
        return status;
    startingProgram = Name(program);
    previousHandler = qInstallMessageHandler(EndWhenTheDisplayFails);
    return std::nullopt;
}

}  // namespace quorvane::startup
