// Start-up of quorvane and quorvane-adif before their first window.
#include "startup.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

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

int Answer(const char* name, const std::string& text, const char* what) {
    std::cout << text << std::flush;
    if (std::cout) return 0;
    std::cerr << name << ": cannot write the " << what << '\n';
    return 2;
}

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// A platform chosen by QT_QPA_PLATFORM or -platform is left to Qt; otherwise the windows need
// an X11 or Wayland display, named in the environment or by -display.
bool HasDisplay(int argc, char** argv) {
    if (IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY")) return true;
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.starts_with("--")) arg.remove_prefix(1);  // Qt takes --platform as well
        if (arg == "-platform" || arg == "-display") return true;
    }
    return false;
}

const char* startingProgram = "";
QtMessageHandler previousHandler = nullptr;
std::vector<QString> heldMessages;  // Qt's, while the application starts up

// Qt ends a program whose display cannot be opened with a fatal message while the application
// starts up, after a few warnings about the plugins it tried; that one ends it with the
// program's own line alone and status 2, and no core dump. The warnings are held back until
// the application has started.
void EndWhenTheDisplayFails(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (!QCoreApplication::startingUp()) {
        previousHandler(type, context, message);
    } else if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s: cannot open the display to show the windows on%s",
                     startingProgram, kInstead);
        std::fflush(stderr);
        std::_Exit(2);
    } else {
        heldMessages.push_back(qFormatLogMessage(type, context, message));
    }
}

}  // namespace

std::optional<int> Start(Program program, int argc, char** argv) {
    const char* name = Name(program);
    if (program == Program::kQuorvaneAdif) {
        for (int i = 1; i < argc; ++i) {
            const std::string_view arg = argv[i];
            if (arg == "--") break;
            if (arg == "--help") return Answer(name, kAdifUsage, "help");
            if (arg == "--version")
                return Answer(name, std::string(name) + " " QUORVANE_VERSION "\n", "version");
        }
    }
    if (!HasDisplay(argc, argv)) {
        std::cerr << name
                  << ": no display to show the windows on (DISPLAY and WAYLAND_DISPLAY are unset)"
                  << kInstead;
        return 2;
    }
    startingProgram = name;
    previousHandler = qInstallMessageHandler(EndWhenTheDisplayFails);
    return std::nullopt;
}

void Started() {
    qInstallMessageHandler(previousHandler);
    for (const QString& message : heldMessages) std::fprintf(stderr, "%s\n", qPrintable(message));
    heldMessages.clear();
}

}  // namespace quorvane::startup
